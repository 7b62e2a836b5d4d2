#include "foundation/Database.h"

#include "foundation/ConnectionString.h"
#include "foundation/Errors.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

namespace {

QString newConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("velmora-%1").arg(counter.fetchAndAddRelaxed(1));
}

DatabaseEngine engineOf(const QString& provider)
{
    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0)
        return DatabaseEngine::SQLite;
    if (provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
        return DatabaseEngine::PostgreSQL;
    if (provider.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0)
        return DatabaseEngine::ODBC;
    throw DatabaseError(QStringLiteral("不支持的数据库类型：%1").arg(provider));
}

QString driverOf(DatabaseEngine engine)
{
    switch (engine) {
    case DatabaseEngine::SQLite: return QStringLiteral("QSQLITE");
    case DatabaseEngine::PostgreSQL: return QStringLiteral("QPSQL");
    case DatabaseEngine::ODBC: return QStringLiteral("QODBC");
    }
    return {};
}

void applySettings(QSqlDatabase& db, DatabaseEngine engine, const ConnectionString& settings,
                   Database::OpenMode mode)
{
    switch (engine) {
    case DatabaseEngine::SQLite: {
        const QString path = settings.value(QStringLiteral("Data Source"));
        if (path.isEmpty())
            throw DatabaseError(QStringLiteral("未指定数据库文件。"));
        // The engine would quietly create an empty database for a missing file.
        if (mode == Database::OpenMode::Existing && !QFileInfo::exists(path))
            throw DatabaseError(QStringLiteral("找不到数据库文件“%1”。").arg(path));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        break;
    }
    case DatabaseEngine::PostgreSQL: {
        db.setHostName(settings.value(QStringLiteral("Data Source")));
        const QString port = settings.value(QStringLiteral("Port"));
        if (!port.isEmpty())
            db.setPort(port.toInt());
        db.setDatabaseName(settings.value(QStringLiteral("Initial Catalog")));
        db.setUserName(settings.value(QStringLiteral("User ID")));
        db.setPassword(settings.value(QStringLiteral("Password")));
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        break;
    }
    case DatabaseEngine::ODBC: {
        ConnectionString rest = settings;
        rest.remove(QStringLiteral("Provider"));
        db.setDatabaseName(rest.toString());
        break;
    }
    }
}

std::unique_ptr<Dialect> dialectOf(DatabaseEngine engine)
{
    if (engine == DatabaseEngine::PostgreSQL)
        return std::make_unique<PostgresDialect>();
    return std::make_unique<SqliteDialect>();
}

} // namespace

QString databaseErrorText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty())
        text = driver;
    return text.isEmpty() ? error.text() : text;
}

Database::Database(QString connectionName, DatabaseEngine engine, QString connectionString)
    : m_connectionName(std::move(connectionName))
    , m_engine(engine)
    , m_connectionString(std::move(connectionString))
    , m_dialect(dialectOf(engine))
{
}

std::unique_ptr<Database> Database::open(const QString& connectionString, OpenMode mode)
{
    const ConnectionString settings = ConnectionString::parse(connectionString);
    const DatabaseEngine engine = engineOf(settings.provider());
    std::unique_ptr<Database> database(new Database(newConnectionName(), engine, connectionString));
    database->m_db = QSqlDatabase::addDatabase(driverOf(engine), database->m_connectionName);
    if (!database->m_db.isValid())
        throw DatabaseError(QStringLiteral("数据库驱动 %1 不可用。").arg(driverOf(engine)));
    applySettings(database->m_db, engine, settings, mode);
    if (!database->m_db.open())
        throw DatabaseError(databaseErrorText(database->m_db.lastError()));
    database->configure();
    return database;
}

Database::~Database()
{
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::configure()
{
    switch (m_engine) {
    case DatabaseEngine::SQLite:
        // Reading the catalogue proves the file is a database at all.
        exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        break;
    case DatabaseEngine::PostgreSQL:
        exec(QStringLiteral("SET client_min_messages = warning"));
        exec(QStringLiteral("SET DateStyle = ISO, YMD"));
        break;
    case DatabaseEngine::ODBC:
        break;
    }
}

QSqlQuery Database::exec(const QString& sql)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // Numbers as numbers on both engines (QPSQL would hand numeric columns over as text).
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!query.exec(m_dialect->translate(sql)))
        throw DatabaseError(databaseErrorText(query.lastError()));
    return query;
}

QVariant Database::scalar(const QString& sql)
{
    QSqlQuery query = exec(sql);
    if (!query.next())
        return {};
    return query.value(0);
}

QStringList Database::tables()
{
    return m_db.tables(QSql::Tables);
}

bool Database::hasTable(const QString& name)
{
    return tables().contains(name, Qt::CaseInsensitive);
}

void Database::beginTransaction()
{
    if (!m_db.transaction())
        throw DatabaseError(databaseErrorText(m_db.lastError()));
}

void Database::commit()
{
    if (!m_db.commit())
        throw DatabaseError(databaseErrorText(m_db.lastError()));
}

void Database::rollback()
{
    m_db.rollback();
}

TransactionGuard::TransactionGuard(Database& database) : m_database(database)
{
    m_database.beginTransaction();
}

TransactionGuard::~TransactionGuard()
{
    if (!m_done)
        m_database.rollback();
}

void TransactionGuard::commit()
{
    m_database.commit();
    m_done = true;
}
