#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;
class Dialect;

enum class ColumnType { Identity, Int, SmallInt, Bool, DateTime, Money, Text, Memo, Blob };

struct ColumnDef
{
    QString name;
    ColumnType type;
    int width = 0;          // characters, for Text
    QString label;          // caption shown to users; empty means never shown
    QString defaultValue;   // SQL literal, empty for none
};

struct TableDef
{
    QString name;
    QList<ColumnDef> columns;
    QList<QStringList> indexes;  // searched columns, one index per entry

    const ColumnDef* column(const QString& name) const;
    QString keyColumn() const;   // the identity column, empty when there is none
};

struct ViewDef
{
    QString name;
    QString baseTable;          // the table a row of the view posts to
    QString (*sql)(const Dialect&);
    QList<ColumnDef> extraColumns;  // computed or joined columns with their labels
};

// The one definition of every table, column, view and index of the library database.
class Schema
{
public:
    static const Schema& instance();

    const QList<TableDef>& tables() const { return m_tables; }
    const QList<ViewDef>& views() const { return m_views; }
    const TableDef* table(const QString& name) const;
    const ViewDef* view(const QString& name) const;

    // The label of a column of a table or view; for a bare field name (no table given)
    // the first table that has it. Empty when the column has no label.
    QString label(const QString& table, const QString& column) const;
    QString label(const QString& column) const;

    // DDL for a new database, in execution order.
    QStringList createStatements(const Dialect& dialect) const;

private:
    Schema();
    QList<TableDef> m_tables;
    QList<ViewDef> m_views;
};

// Creates every table, view and index and fills the seed rows, in one transaction.
// Throws when the database already has the tables.
void CreateDatabaseSchema(Database& database);
void SeedDatabase(Database& database);
