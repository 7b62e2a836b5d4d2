#pragma once

#include "foundation/Configs.h"
#include "foundation/DataSet.h"
#include "foundation/Database.h"

#include <memory>

// The data module of each program: the shared connection over which every window issues
// its SQL, the connection strings of the secondary databases, and the shared data sets
// with their record rules (defaults when a record is started, checks before it is posted).
class TDM1
{
public:
    TDM1();
    virtual ~TDM1();
    TDM1(const TDM1&) = delete;
    TDM1& operator=(const TDM1&) = delete;

    // Reads the connection settings, connects and sets CurrentDB and CardStoreEnabled.
    // On failure shows the one connection error box and returns false.
    bool ConnDB(TConfigManager& config);
    bool ConnDB() { return ConnDB(ConfigManager()); }
    // Takes an already open connection as the shared one (tools and tests) and sets
    // CurrentDB and CardStoreEnabled from it.
    void UseConnection(std::unique_ptr<Database> connection);

    bool isConnected() const { return m_codexaConn != nullptr; }
    // The shared connection; only valid after a successful ConnDB.
    Database& CodexaConn();
    void CloseConnection();

    // The local catalogue database on the same server; prepared here, opened by its users.
    const QString& BookDBServerConnString() const { return m_bookDBServerConnString; }
    // Opened on first use with BookDBServerConnString.
    Database& BookDBServerConn();
    // The reader source database of the synchronisation: (re)connected with its string.
    void ConnectReaderSyncDB(const QString& connectionString);
    Database& ReaderSyncDBConn();
    void CloseSecondaryConnections();

    DataSet UserQuery;
    DataSet PubQuery;
    DataSet FunQuery;
    DataSet ParQuery;
    DataSet ItemsQuery;
    DataSet UserLogQuery;
    DataSet AccQuery;
    DataSet ReadersQuery;
    DataSet BooksQuery;
    DataSet ReaderCateQuery;
    DataSet PublishersQuery;
    DataSet BookCateQuery;
    DataSet LoanListQuery;
    DataSet BookLoanStatQuery;
    DataSet ReaderLoanStatQuery;
    DataSet BylawQuery;
    DataSet CopiesQuery;
    DataSet TempQuery;
    DataSet BookFindQuery;
    DataSet PicturesQuery;
    DataSet BookCopyListQuery;
    DataSet ReaderSyncQuery;
    DataSet BookInfoQuery;

    // Every shared data set, for closing them together.
    QList<DataSet*> dataSets();

private:
    void setUpDataSets();
    void setUpRecordRules();
    void closeDataSets();

    std::unique_ptr<Database> m_codexaConn;
    std::unique_ptr<Database> m_bookDBServerConn;
    std::unique_ptr<Database> m_readerSyncDBConn;
    QString m_bookDBServerConnString;
};

// Set by ConnDB and read everywhere.
extern TCurrentDBInfo CurrentDB;
extern bool CardStoreEnabled;
// The program's data module, created by its main block.
extern TDM1* DM1;

// DM1 and its shared connection; both throw DatabaseError while there is no data module.
TDM1& DataModule();
Database& SharedConnection();

inline const QString ConnectionFailedMessage = QStringLiteral(
    "连接数据库失败。请根据以下错误信息检查数据库、网络以及客户端配置是否正确。\n详细错误信息如下：\n%1");

// The legacy file name is moved to the current one when only the former exists.
void MoveLegacyDatabaseFile(const QString& folder);
