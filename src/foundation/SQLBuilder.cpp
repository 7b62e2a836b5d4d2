#include "foundation/SQLBuilder.h"

#include <QStringList>

namespace {

QStringList linesOf(const QString& sql)
{
    QString text = sql;
    text.replace(TSQLBuilder::LineBreak, QStringLiteral("\n"));
    return text.split('\n');
}

QString joined(const QStringList& lines)
{
    return lines.join(TSQLBuilder::LineBreak);
}

QString conditionOrNone(const QString& condition)
{
    return condition.trimmed().isEmpty() ? TSQLBuilder::NoCondition : condition;
}

qsizetype firstLineStartingWith(const QStringList& lines, const QString& prefix)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(prefix, Qt::CaseSensitive))
            return i;
    }
    return -1;
}

struct WhereLine
{
    QString condition;
    QString always;  // empty when the line has no always-condition

    static WhereLine parse(const QString& line)
    {
        const QString rest = line.mid(TSQLBuilder::WherePrefix.size());
        const qsizetype separator = rest.indexOf(TSQLBuilder::AlwaysSeparator);
        if (separator < 0)
            return {rest, {}};
        return {rest.left(separator), rest.mid(separator + TSQLBuilder::AlwaysSeparator.size())};
    }

    QString text() const
    {
        QString line = TSQLBuilder::WherePrefix + conditionOrNone(condition);
        if (!always.isEmpty())
            line += TSQLBuilder::AlwaysSeparator + always;
        return line;
    }
};

} // namespace

QString TSQLBuilder::SQL(const QString& ASelect, const QString& AWhere, const QString& AWhereAlways,
                         const QString& AOrderBy)
{
    QStringList lines{ASelect, WhereLine{AWhere, AWhereAlways}.text()};
    if (!AOrderBy.isEmpty())
        lines.append(OrderByPrefix + AOrderBy);
    return joined(lines);
}

QString TSQLBuilder::SelectList(const QString& sql, const QString& ASelectList)
{
    if (!sql.startsWith(SelectPrefix, Qt::CaseSensitive))
        return sql;
    const qsizetype from = sql.indexOf(QStringLiteral(" FROM "), SelectPrefix.size(), Qt::CaseSensitive);
    if (from < 0)
        return sql;
    const QString list = ASelectList.isEmpty() ? QStringLiteral("*") : ASelectList;
    return SelectPrefix + list + sql.mid(from);
}

namespace {

// Rewrites the first WHERE line with `change`; a text without one is returned unchanged.
template <typename Change>
QString changeWhereLine(const QString& sql, Change change)
{
    QStringList lines = linesOf(sql);
    const qsizetype at = firstLineStartingWith(lines, TSQLBuilder::WherePrefix);
    if (at < 0)
        return sql;
    WhereLine line = WhereLine::parse(lines[at]);
    change(line);
    lines[at] = line.text();
    return joined(lines);
}

} // namespace

QString TSQLBuilder::Where(const QString& sql, const QString& AWhere)
{
    return changeWhereLine(sql, [&](WhereLine& line) { line.condition = AWhere; });
}

QString TSQLBuilder::WhereAlways(const QString& sql, const QString& AWhereAlways)
{
    return changeWhereLine(sql, [&](WhereLine& line) { line.always = AWhereAlways; });
}

QString TSQLBuilder::OrderBy(const QString& sql, const QString& AOrderBy)
{
    QStringList lines = linesOf(sql);
    const qsizetype at = firstLineStartingWith(lines, OrderByPrefix);
    if (at >= 0) {
        if (AOrderBy.isEmpty())
            lines.removeAt(at);
        else
            lines[at] = OrderByPrefix + AOrderBy;
    } else if (!AOrderBy.isEmpty()) {
        lines.append(OrderByPrefix + AOrderBy);
    }
    return joined(lines);
}
