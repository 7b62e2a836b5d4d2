#include "foundation/DataModule.h"

#include "foundation/Errors.h"
#include "foundation/Messages.h"

#include <QFile>

TCurrentDBInfo CurrentDB;
bool CardStoreEnabled = false;
TDM1* DM1 = nullptr;

TDM1::~TDM1() = default;

void MoveLegacyDatabaseFile(const QString& folder)
{
    const QString current = folder + DefaultDatabaseFileName;
    const QString legacy = folder + LegacyDatabaseFileName;
    if (!QFile::exists(current) && QFile::exists(legacy))
        QFile::rename(legacy, current); // a failure shows up as the missing file when connecting
}

bool TDM1::ConnDB(TConfigManager& config)
{
    CurrentDB = config.ReadCurrentDBInfo();
    if (CurrentDB.CurrentDBIsFile)
        MoveLegacyDatabaseFile(config.folder());

    bool connected = false;
    m_codexaConn.reset();
    try {
        m_codexaConn = Database::open(CurrentDB.ConnectionString);
        CardStoreEnabled = m_codexaConn->hasTable(QStringLiteral("CardStore"));
        connected = true;
    } catch (const AppError& error) {
        m_codexaConn.reset();
        ShowError(ConnectionFailedMessage.arg(error.message()));
    }

    QString catalogue = CurrentDB.ConnectionString;
    const qsizetype at = catalogue.indexOf(DefaultServerDatabaseName);
    if (at >= 0)
        catalogue.replace(at, DefaultServerDatabaseName.size(), QStringLiteral("tempdbs"));
    m_bookDBServerConnString = catalogue;
    return connected;
}

Database& TDM1::CodexaConn()
{
    if (!m_codexaConn)
        throw DatabaseError(QStringLiteral("数据库尚未连接。"));
    return *m_codexaConn;
}

void TDM1::CloseConnection()
{
    m_codexaConn.reset();
}
