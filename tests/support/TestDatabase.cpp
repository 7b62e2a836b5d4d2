#include "TestDatabase.h"

#include "foundation/ConnectionString.h"
#include "foundation/Errors.h"
#include "foundation/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

const QString ServerTemplate = QStringLiteral("velmora_template");

QString sqliteConnection(const QString& path)
{
    return QStringLiteral("Provider = SQLite; Data Source = ") + path;
}

// Built once per process; every test copies it.
QString sqliteTemplate()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("template.db"));
        auto database = Database::open(sqliteConnection(file), Database::OpenMode::CreateIfMissing);
        CreateDatabaseSchema(*database);
        return file;
    }();
    return path;
}

// Built once per cluster, under an advisory lock because test processes run in parallel.
void ensureServerTemplate(Database& server)
{
    server.exec(QStringLiteral("SELECT pg_advisory_lock(775501)"));
    try {
        if (!server.scalar(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(ServerTemplate)).isValid()) {
            server.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(ServerTemplate));
            auto database = Database::open(testServerConnection(ServerTemplate));
            CreateDatabaseSchema(*database);
        }
    } catch (...) {
        server.exec(QStringLiteral("SELECT pg_advisory_unlock(775501)"));
        throw;
    }
    server.exec(QStringLiteral("SELECT pg_advisory_unlock(775501)"));
}

QString uniqueServerName()
{
    static int counter = 0;
    return QStringLiteral("test_%1_%2_%3")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch() % 100000000)
        .arg(++counter);
}

} // namespace

QString testEngine()
{
    const QString engine = qEnvironmentVariable("VELMORA_TEST_ENGINE", QStringLiteral("sqlite"));
    return engine.isEmpty() ? QStringLiteral("sqlite") : engine;
}

QString testServerConnection(const QString& databaseName)
{
    ConnectionString settings = ConnectionString::parse(qEnvironmentVariable("VELMORA_TEST_PG"));
    if (settings.provider().isEmpty())
        throw AppError(QStringLiteral("VELMORA_TEST_PG is not set: run the postgres tests through ctest"));
    settings.set(QStringLiteral("Initial Catalog"), databaseName);
    return settings.toString();
}

std::unique_ptr<TestDatabase> TestDatabase::create()
{
    std::unique_ptr<TestDatabase> test(new TestDatabase);
    if (testEngine() == QLatin1String("postgres")) {
        auto server = Database::open(testServerConnection());
        ensureServerTemplate(*server);
        test->m_serverDatabase = uniqueServerName();
        server->exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(test->m_serverDatabase, ServerTemplate));
        test->m_connectionString = testServerConnection(test->m_serverDatabase);
    } else {
        test->m_folder = std::make_unique<QTemporaryDir>();
        const QString file = test->m_folder->filePath(QStringLiteral("Codexa.DB"));
        if (!QFile::copy(sqliteTemplate(), file))
            throw AppError(QStringLiteral("cannot copy the template database"));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        test->m_connectionString = sqliteConnection(file);
    }
    test->m_database = Database::open(test->m_connectionString);
    return test;
}

std::unique_ptr<Database> TestDatabase::openAnother() const
{
    return Database::open(m_connectionString);
}

TestDatabase::~TestDatabase()
{
    m_database.reset();
    if (m_serverDatabase.isEmpty())
        return;
    try {
        auto server = Database::open(testServerConnection());
        server->exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_serverDatabase));
    } catch (...) {
        // The cluster is thrown away at the end of the run anyway.
    }
}

std::unique_ptr<TDM1> InstallDataModule(const TestDatabase& test)
{
    auto dataModule = std::make_unique<TDM1>();
    dataModule->UseConnection(test.openAnother());
    DM1 = dataModule.get();
    return dataModule;
}
