#include "foundation/ConnectionString.h"

#include "foundation/Configs.h"

namespace {

// Splits at ';' outside double quotes.
QStringList splitItems(const QString& text)
{
    QStringList items;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += QLatin1String("\"\"");
                ++i;
                continue;
            }
            quoted = !quoted;
        }
        if (c == ';' && !quoted) {
            items.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    items.append(current);
    return items;
}

QString unquote(const QString& raw)
{
    const QString value = raw.trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        return value.mid(1, value.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    return value;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString result;
    for (const QString& item : splitItems(text)) {
        const qsizetype equals = item.indexOf('=');
        if (equals < 0)
            continue;
        const QString key = item.left(equals).trimmed();
        if (!key.isEmpty())
            result.m_items.append({key, unquote(item.mid(equals + 1))});
    }
    return result;
}

QString ConnectionString::value(const QString& key) const
{
    for (const auto& [name, value] : m_items) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool ConnectionString::contains(const QString& key) const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [&](const auto& item) { return item.first.compare(key, Qt::CaseInsensitive) == 0; });
}

void ConnectionString::set(const QString& key, const QString& value)
{
    for (auto& item : m_items) {
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) {
            item.second = value;
            return;
        }
    }
    m_items.append({key, value});
}

void ConnectionString::remove(const QString& key)
{
    m_items.removeIf([&](const auto& item) { return item.first.compare(key, Qt::CaseInsensitive) == 0; });
}

QString ConnectionString::toString() const
{
    QStringList parts;
    for (const auto& [name, value] : m_items)
        parts.append(name + QStringLiteral(" = ") + ConnectionStringValue(value));
    return parts.join(QStringLiteral("; "));
}
