#pragma once

#include "foundation/Configs.h"
#include "foundation/Database.h"

#include <memory>

// The data module of each program: the shared connection over which every window issues
// its SQL, and the connection strings of the secondary databases.
class TDM1
{
public:
    TDM1() = default;
    virtual ~TDM1();

    // Reads the connection settings, connects and sets CurrentDB and CardStoreEnabled.
    // On failure shows the one connection error box and returns false.
    bool ConnDB(TConfigManager& config);
    bool ConnDB() { return ConnDB(ConfigManager()); }

    bool isConnected() const { return m_codexaConn != nullptr; }
    // The shared connection; only valid after a successful ConnDB.
    Database& CodexaConn();
    void CloseConnection();

    // The local catalogue database on the same server; prepared here, opened by its users.
    const QString& BookDBServerConnString() const { return m_bookDBServerConnString; }

private:
    std::unique_ptr<Database> m_codexaConn;
    QString m_bookDBServerConnString;
};

// Set by ConnDB and read everywhere.
extern TCurrentDBInfo CurrentDB;
extern bool CardStoreEnabled;
// The program's data module, created by its main block.
extern TDM1* DM1;

inline const QString ConnectionFailedMessage = QStringLiteral(
    "连接数据库失败。请根据以下错误信息检查数据库、网络以及客户端配置是否正确。\n详细错误信息如下：\n%1");

// The legacy file name is moved to the current one when only the former exists.
void MoveLegacyDatabaseFile(const QString& folder);
