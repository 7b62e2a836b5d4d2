#pragma once

#include "foundation/Dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <memory>

enum class DatabaseEngine { SQLite, PostgreSQL, ODBC };

// One open connection, made from a "Provider = …; …" connection string, with the dialect
// of its engine. Statements that fail throw DatabaseError carrying the driver's message.
// A Qt connection belongs to the thread that opened it.
class Database
{
public:
    enum class OpenMode { Existing, CreateIfMissing };

    // Throws DatabaseError when the connection cannot be opened.
    static std::unique_ptr<Database> open(const QString& connectionString, OpenMode mode = OpenMode::Existing);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QSqlDatabase& sql() { return m_db; }
    DatabaseEngine engine() const { return m_engine; }
    const Dialect& dialect() const { return *m_dialect; }
    bool isFileDatabase() const { return m_engine == DatabaseEngine::SQLite; }
    const QString& connectionString() const { return m_connectionString; }

    QSqlQuery exec(const QString& sql);
    // First column of the first row; an invalid QVariant when there is no row.
    QVariant scalar(const QString& sql);
    QStringList tables();
    bool hasTable(const QString& name);

    void beginTransaction();
    void commit();
    void rollback();

private:
    Database(QString connectionName, DatabaseEngine engine, QString connectionString);
    void configure();

    QString m_connectionName;
    DatabaseEngine m_engine;
    QString m_connectionString;
    std::unique_ptr<Dialect> m_dialect;
    QSqlDatabase m_db;
};

// Rolls back unless commit() was reached, so that an exception leaving a multi-statement
// change undoes all of it.
class TransactionGuard
{
public:
    explicit TransactionGuard(Database& database);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit();

private:
    Database& m_database;
    bool m_done = false;
};

QString databaseErrorText(const QSqlError& error);
