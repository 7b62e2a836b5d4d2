#pragma once

#include <QString>

// Composes the SELECT of the list windows. A built text has up to three lines separated
// by CR LF: the SELECT part; "WHERE " with the condition (or "1=1") and, after the
// separator, the always-condition; and "ORDER BY " with the order when one is given.
// The later operations find these lines again by their exact prefixes, so the layout is
// a contract: the user's filter lives in the condition, the book-room restriction in the
// always-condition, and changing one never loses the other.
class TSQLBuilder
{
public:
    TSQLBuilder() = delete;

    static inline const QString LineBreak = QStringLiteral("\r\n");
    static inline const QString SelectPrefix = QStringLiteral("SELECT ");
    static inline const QString WherePrefix = QStringLiteral("WHERE ");
    static inline const QString OrderByPrefix = QStringLiteral("ORDER BY ");
    static inline const QString AlwaysSeparator = QStringLiteral("     AND     ");
    static inline const QString NoCondition = QStringLiteral("1=1");

    static QString SQL(const QString& ASelect, const QString& AWhere = {}, const QString& AWhereAlways = {},
                       const QString& AOrderBy = {});
    // Each of these returns `sql` with one part replaced.
    static QString SelectList(const QString& sql, const QString& ASelectList);
    static QString Where(const QString& sql, const QString& AWhere);
    static QString WhereAlways(const QString& sql, const QString& AWhereAlways);
    static QString OrderBy(const QString& sql, const QString& AOrderBy);
};
