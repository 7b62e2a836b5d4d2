#pragma once

#include "foundation/DataModule.h"
#include "foundation/Database.h"

#include <QTemporaryDir>
#include <memory>

// A fresh library database (schema and seed rows) for one test, on the engine this test run
// selects with VELMORA_TEST_ENGINE (sqlite, the default, or postgres against the cluster in
// VELMORA_TEST_PG). The schema is built once per run and copied for every test.
class TestDatabase
{
public:
    static std::unique_ptr<TestDatabase> create();
    ~TestDatabase();

    Database& db() { return *m_database; }
    const QString& connectionString() const { return m_connectionString; }
    bool isPostgres() const { return !m_serverDatabase.isEmpty(); }
    // A second connection to the same database (as another workstation or thread would use).
    std::unique_ptr<Database> openAnother() const;

private:
    TestDatabase() = default;
    QString m_connectionString;
    QString m_serverDatabase;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Database> m_database;
};

// A data module on a connection of its own to the test database, installed as DM1.
std::unique_ptr<TDM1> InstallDataModule(const TestDatabase& test);

// "sqlite" or "postgres".
QString testEngine();
// Connection string of the test cluster's maintenance database (postgres runs only).
QString testServerConnection(const QString& databaseName = QStringLiteral("postgres"));
