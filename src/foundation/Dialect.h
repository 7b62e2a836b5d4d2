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
    // Square-bracketed names ([Memo]) become plain names.
    QString translate(const QString& sql) const override;
};
