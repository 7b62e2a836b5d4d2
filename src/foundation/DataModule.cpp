#include "foundation/DataModule.h"

#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"

#include <QFile>

TCurrentDBInfo CurrentDB;
bool CardStoreEnabled = false;
TDM1* DM1 = nullptr;

TDM1& DataModule()
{
    if (!DM1)
        throw DatabaseError(QStringLiteral("数据库尚未连接。"));
    return *DM1;
}

Database& SharedConnection()
{
    return DataModule().CodexaConn();
}

namespace {

void setIfPresent(DataSet& dataSet, const QString& field, const QVariant& value)
{
    const DataField f = dataSet.findField(field);
    if (f.isValid())
        DataField(f).setValue(value);
}

void stampNewRecord(DataSet& dataSet)
{
    setIfPresent(dataSet, QStringLiteral("RegDate"), ServerNow().date());
    setIfPresent(dataSet, QStringLiteral("Operator"), CurrentUser.UserCode);
}

} // namespace

TDM1::TDM1()
    : UserQuery(QStringLiteral("UserQuery"))
    , PubQuery(QStringLiteral("PubQuery"))
    , FunQuery(QStringLiteral("FunQuery"))
    , ParQuery(QStringLiteral("ParQuery"))
    , ItemsQuery(QStringLiteral("ItemsQuery"))
    , UserLogQuery(QStringLiteral("UserLogQuery"))
    , AccQuery(QStringLiteral("AccQuery"))
    , ReadersQuery(QStringLiteral("ReadersQuery"))
    , BooksQuery(QStringLiteral("BooksQuery"))
    , ReaderCateQuery(QStringLiteral("ReaderCateQuery"))
    , PublishersQuery(QStringLiteral("PublishersQuery"))
    , BookCateQuery(QStringLiteral("BookCateQuery"))
    , LoanListQuery(QStringLiteral("LoanListQuery"))
    , BookLoanStatQuery(QStringLiteral("BookLoanStatQuery"))
    , ReaderLoanStatQuery(QStringLiteral("ReaderLoanStatQuery"))
    , BylawQuery(QStringLiteral("BylawQuery"))
    , CopiesQuery(QStringLiteral("CopiesQuery"))
    , TempQuery(QStringLiteral("TempQuery"))
    , BookFindQuery(QStringLiteral("BookFindQuery"))
    , PicturesQuery(QStringLiteral("PicturesQuery"))
    , BookCopyListQuery(QStringLiteral("BookCopyListQuery"))
    , ReaderSyncQuery(QStringLiteral("ReaderSyncQuery"))
    , BookInfoQuery(QStringLiteral("BookInfoQuery"))
{
    setUpDataSets();
    setUpRecordRules();
}

TDM1::~TDM1()
{
    closeDataSets();
}

QList<DataSet*> TDM1::dataSets()
{
    return {&UserQuery,       &PubQuery,           &FunQuery,          &ParQuery,          &ItemsQuery,
            &UserLogQuery,    &AccQuery,           &ReadersQuery,      &BooksQuery,        &ReaderCateQuery,
            &PublishersQuery, &BookCateQuery,      &LoanListQuery,     &BookLoanStatQuery, &ReaderLoanStatQuery,
            &BylawQuery,      &CopiesQuery,        &TempQuery,         &BookFindQuery,     &PicturesQuery,
            &BookCopyListQuery, &ReaderSyncQuery,  &BookInfoQuery};
}

void TDM1::setUpDataSets()
{
    for (DataSet* dataSet : dataSets())
        dataSet->setConnection([this]() -> Database& { return CodexaConn(); });
    ReaderSyncQuery.setConnection([this]() -> Database& { return ReaderSyncDBConn(); });
    BookInfoQuery.setConnection([this]() -> Database& { return BookDBServerConn(); });

    UserQuery.setSQL(QStringLiteral("Select * from Users_tab"));
    FunQuery.setSQL(QStringLiteral("SELECT FunName,IsOpen,IsOperate,IsPrint,FunCate\r\n"
                                   "FROM UserFun_tab LEFT JOIN UserAccredit_tab\r\n"
                                   "ON UserFun_tab.FunID=UserAccredit_tab.FunID"));
    ParQuery.setSQL(QStringLiteral("SELECT * FROM Par_tab"));
    ItemsQuery.setSQL(QStringLiteral("SELECT * FROM Items_tab"));
    UserLogQuery.setSQL(QStringLiteral("SELECT * FROM UserLog_tab"));
    UserLogQuery.setReadOnly(true);
    AccQuery.setSQL(QStringLiteral("SELECT UserFun_tab.*,UserAccredit_tab.* \r\n"
                                   "FROM UserFun_tab LEFT JOIN UserAccredit_tab \r\n"
                                   "ON UserFun_tab.FunID=UserAccredit_tab.FunID"));
    AccQuery.setCachedUpdates(true);
    ReadersQuery.setSQL(QStringLiteral("SELECT * FROM Readers_view"));
    BooksQuery.setSQL(QStringLiteral("SELECT * FROM Books_view"));
    ReaderCateQuery.setSQL(QStringLiteral("SELECT * FROM ReaderCate_tab"));
    PublishersQuery.setSQL(QStringLiteral("SELECT * FROM Publishers_tab"));
    BookCateQuery.setSQL(QStringLiteral("SELECT * FROM BookCate_tab"));
    BookLoanStatQuery.setSQL(QStringLiteral("SELECT COUNT(*)AS LoanCount,BookName,BookType\r\n"
                                            "FROM LoanList_view\r\n"
                                            "GROUP BY BookID,BookName,BookType"));
    ReaderLoanStatQuery.setSQL(
        QStringLiteral("SELECT COUNT(*)AS LoanCount,ReaderCode,CardID,ReaderName,Sex,ReaderCateName,DeptName\r\n"
                       "FROM LoanList_view\r\n"
                       "GROUP BY ReaderID,ReaderCode,CardID,ReaderName,Sex,ReaderCateName,DeptName"));
    BylawQuery.setSQL(QStringLiteral("SELECT * FROM Bylaw_tab"));
    CopiesQuery.setSQL(QStringLiteral("SELECT * FROM Copies_tab"));
    CopiesQuery.setCachedUpdates(true);
    BookFindQuery.setSQL(QStringLiteral("SELECT * FROM Books_view"));
    PicturesQuery.setSQL(QStringLiteral("SELECT * FROM Pictures_tab"));
    BookCopyListQuery.setSQL(SqliteDialect().copyListSelect());
    ReaderSyncQuery.setReadOnly(true);
    BookInfoQuery.setSQL(QStringLiteral("SELECT * FROM BookInfo LIMIT 10"));
    BookInfoQuery.setReadOnly(true);
}

void TDM1::setUpRecordRules()
{
    UserQuery.onNewRecord = [](DataSet& q) { q.fieldByName(QStringLiteral("IsLock")).setValue(0); };
    UserQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("UserCode")));
        CheckUnique(q.fieldByName(QStringLiteral("UserCode")), QStringLiteral("Users_tab"));
        CheckRequired(q.fieldByName(QStringLiteral("UserName")));
    };

    ItemsQuery.beforePost = [](DataSet& q) { CheckRequired(q.fieldByName(QStringLiteral("ItemName"))); };

    ReaderCateQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("ReaderCateName")));
        CheckUnique(q.fieldByName(QStringLiteral("ReaderCateName")), QStringLiteral("ReaderCate_tab"));
    };

    ReadersQuery.onNewRecord = [](DataSet& q) {
        q.fieldByName(QStringLiteral("Sex")).setValue(1);
        stampNewRecord(q);
        if (HasBookRoom())
            q.fieldByName(QStringLiteral("HomePhone")).setValue(CurrentUser.BookRoom);
    };
    ReadersQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("ReaderName")));
        CheckUnique(q.fieldByName(QStringLiteral("ReaderCode")), QStringLiteral("Readers_tab"));
        const DataField cardId = q.fieldByName(QStringLiteral("CardID"));
        if (CardStoreEnabled) {
            CheckRequired(cardId);
            if (!RecordExists(cardId.asString().trimmed(), QStringLiteral("CardID"), QStringLiteral("CardStore"))) {
                ShowInfo(QStringLiteral("无效的证卡编码。"));
                throw SilentAbort(cardId.name());
            }
        }
        CheckUnique(cardId, QStringLiteral("Readers_tab"));
        CheckRequired(q.fieldByName(QStringLiteral("ReaderCateID")), QStringLiteral("读者类别"));
        CheckRequired(q.fieldByName(QStringLiteral("Sex")));
    };

    PublishersQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("PublisherName")));
        CheckUnique(q.fieldByName(QStringLiteral("PublisherName")), QStringLiteral("Publishers_tab"));
    };

    BookCateQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("BookCateCode")));
        CheckUnique(q.fieldByName(QStringLiteral("BookCateCode")), QStringLiteral("BookCate_tab"));
        CheckRequired(q.fieldByName(QStringLiteral("BookCateName")));
    };

    BooksQuery.onNewRecord = [](DataSet& q) {
        q.fieldByName(QStringLiteral("LoanCount")).setValue(0);
        stampNewRecord(q);
    };
    BooksQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("BookName")));
        CheckRequired(q.fieldByName(QStringLiteral("Author")));
        CheckRequired(q.fieldByName(QStringLiteral("BookType")));
    };

    BylawQuery.onNewRecord = [](DataSet& q) { stampNewRecord(q); };
    BylawQuery.beforePost = [](DataSet& q) {
        CheckRequired(q.fieldByName(QStringLiteral("BylawTitle")));
        CheckUnique(q.fieldByName(QStringLiteral("BylawTitle")), QStringLiteral("Bylaw_tab"));
        CheckRequired(q.fieldByName(QStringLiteral("BylawContent")));
    };

    CopiesQuery.onNewRecord = [this](DataSet& q) {
        // A title still being inserted has no key yet; its copies get it when it is saved.
        QVariant bookId = 0;
        if (BooksQuery.isActive() && BooksQuery.state() != DataSetState::Insert && !BooksQuery.isEmpty())
            bookId = BooksQuery.value(QStringLiteral("BookID"));
        q.fieldByName(QStringLiteral("BookID")).setValue(bookId);
        q.fieldByName(QStringLiteral("BookState")).setValue(QStringLiteral("可借"));
        stampNewRecord(q);
        if (HasBookRoom())
            q.fieldByName(QStringLiteral("BookRoom")).setValue(CurrentUser.BookRoom);
    };
}

void TDM1::closeDataSets()
{
    for (DataSet* dataSet : dataSets())
        dataSet->close();
}

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
    closeDataSets();
    m_codexaConn.reset();
    try {
        m_codexaConn = Database::open(CurrentDB.ConnectionString);
        CardStoreEnabled = m_codexaConn->hasTable(QStringLiteral("CardStore"));
        LoanListQuery.setSQL(m_codexaConn->dialect().loanListSelect());
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
    m_bookDBServerConn.reset();
    return connected;
}

void TDM1::UseConnection(std::unique_ptr<Database> connection)
{
    closeDataSets();
    m_codexaConn = std::move(connection);
    CurrentDB.CurrentDBIsFile = m_codexaConn->isFileDatabase();
    CurrentDB.CurrentDBType = CurrentDB.CurrentDBIsFile ? QStringLiteral("文件数据库") : QStringLiteral("PostgreSQL");
    CurrentDB.ConnectionString = m_codexaConn->connectionString();
    CardStoreEnabled = m_codexaConn->hasTable(QStringLiteral("CardStore"));
    LoanListQuery.setSQL(m_codexaConn->dialect().loanListSelect());
}

Database& TDM1::CodexaConn()
{
    if (!m_codexaConn)
        throw DatabaseError(QStringLiteral("数据库尚未连接。"));
    return *m_codexaConn;
}

void TDM1::CloseConnection()
{
    closeDataSets();
    m_codexaConn.reset();
}

Database& TDM1::BookDBServerConn()
{
    if (!m_bookDBServerConn)
        m_bookDBServerConn = Database::open(m_bookDBServerConnString);
    return *m_bookDBServerConn;
}

void TDM1::ConnectReaderSyncDB(const QString& connectionString)
{
    ReaderSyncQuery.close();
    m_readerSyncDBConn.reset();
    m_readerSyncDBConn = Database::open(connectionString);
}

Database& TDM1::ReaderSyncDBConn()
{
    if (!m_readerSyncDBConn)
        throw DatabaseError(QStringLiteral("读者同步数据库尚未连接。"));
    return *m_readerSyncDBConn;
}

void TDM1::CloseSecondaryConnections()
{
    ReaderSyncQuery.close();
    BookInfoQuery.close();
    m_readerSyncDBConn.reset();
    m_bookDBServerConn.reset();
}
