#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

struct ColumnDef;

// Every place where the SQL of the two engines differs. The SQL texts of the program are
// otherwise written once; `translate` adapts what the server engine cannot read as is.
class Dialect
{
public:
    virtual ~Dialect() = default;

    virtual bool isFileDatabase() const = 0;
    virtual QString engineName() const = 0;

    // DDL
    virtual QString columnDefinition(const ColumnDef& column) const = 0;
    virtual QStringList prepareDatabase() const { return {}; }

    // Literals and expressions
    static QString quote(const QString& value);
    // Any value as an SQL literal: NULL, a number, 1/0 for booleans, quoted text or date.
    QString literal(const QVariant& value) const;
    virtual QString blobLiteral(const QByteArray& bytes) const = 0;
    QString dateLiteral(const QDate& date) const;
    QString dateTimeLiteral(const QDateTime& dateTime) const;
    virtual QString nowExpression() const = 0;                 // server date and time
    virtual QString todayExpression() const = 0;               // server date
    virtual QString dateDiffDays(const QString& from, const QString& to) const = 0;
    virtual QString addDays(const QString& dateExpression, const QString& days) const = 0;
    QString ifNull(const QString& expression, const QString& replacement) const;
    QString limit(const QString& select, int rows) const;
    QString randomFunction() const { return QStringLiteral("RANDOM()"); }
    QString quoteAlias(const QString& alias) const;

    // Statements
    virtual QString emptyTable(const QString& table) const = 0;
    // After rows were inserted with explicit identity values.
    virtual QStringList afterExplicitIdentity(const QString& table, const QString& column) const = 0;

    virtual QString translate(const QString& sql) const { return sql; }

    // Texts written once for both engines where the two original dialects differed.
    // The loan records with ExceedDays: days from the due date to the return, or to today.
    QString loanListSelect() const;
    // Copies joined to their titles; the columns both tables have are also given under
    // the aliases "Copies_tab.BookID", "Copies_tab.RegDate", "Copies_tab.Operator",
    // "Books_tab.RegDate" and "Books_tab.Operator".
    QString copyListSelect() const;
    QString nullToEmpty(const QString& expression) const { return ifNull(expression, QStringLiteral("''")); }
    // UPDATE target SET assignments FROM source WHERE condition (both engines read this form).
    QString updateFrom(const QString& target, const QString& assignments, const QString& source,
                       const QString& condition) const;
    // The next call number of a class: the largest number following "<class>/" among the
    // copies' call numbers, plus 1 (1 when there is none).
    virtual QString nextCallNumberSql(const QString& classCode) const = 0;
    // Statements before rows are inserted with explicit identity values (none is needed:
    // both engines accept them; afterExplicitIdentity moves the counters on).
    QStringList beforeExplicitIdentity(const QString&) const { return {}; }
    // Paging of a list: the exact count and one page of any SELECT (ORDER BY included).
    QString countSql(const QString& select) const;
    QString pageSql(const QString& select, qint64 offset, int rows) const;
};

class SqliteDialect final : public Dialect
{
public:
    bool isFileDatabase() const override { return true; }
    QString engineName() const override { return QStringLiteral("SQLite"); }
    QString columnDefinition(const ColumnDef& column) const override;
    QString nowExpression() const override;
    QString todayExpression() const override;
    QString dateDiffDays(const QString& from, const QString& to) const override;
    QString addDays(const QString& dateExpression, const QString& days) const override;
    QString emptyTable(const QString& table) const override;
    QStringList afterExplicitIdentity(const QString& table, const QString& column) const override;
    QString blobLiteral(const QByteArray& bytes) const override;
    QString nextCallNumberSql(const QString& classCode) const override;
};

class PostgresDialect final : public Dialect
{
public:
    bool isFileDatabase() const override { return false; }
    QString engineName() const override { return QStringLiteral("PostgreSQL"); }
    QString columnDefinition(const ColumnDef& column) const override;
    QStringList prepareDatabase() const override;
    QString nowExpression() const override;
    QString todayExpression() const override;
    QString dateDiffDays(const QString& from, const QString& to) const override;
    QString addDays(const QString& dateExpression, const QString& days) const override;
    QString emptyTable(const QString& table) const override;
    QStringList afterExplicitIdentity(const QString& table, const QString& column) const override;
    QString blobLiteral(const QByteArray& bytes) const override;
    QString nextCallNumberSql(const QString& classCode) const override;
    // Square-bracketed names ([Memo]) become plain names.
    QString translate(const QString& sql) const override;
};
