#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/DataModule.h"
#include "foundation/Errors.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"

#include <QtTest>

// Query helpers, date literals, the book-room condition and the dialect texts, on the
// engine of this run.
class UtilsDbTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    std::unique_ptr<TDM1> m_dm;

    Database& db() { return m_dm->CodexaConn(); }
    void exec(const QString& sql) { db().exec(sql); }

    // Text that must survive every helper: quotes, backslashes, LIKE wildcards, Chinese.
    static QString hostile() { return QStringLiteral("O'Re\\il%l_y ''出版社'"); }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_dm = InstallDataModule(*m_test);
        CurrentUser = TUserInfo();
    }
    void cleanup()
    {
        DM1 = nullptr;
        m_dm.reset();
        m_test.reset();
    }

    void scalarTexts_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << "SELECT NULL" << "";
        QTest::newRow("null column") << "SELECT Memo FROM Users_tab WHERE 1=0 UNION ALL SELECT NULL" << "";
        QTest::newRow("no row") << "SELECT ParID FROM Par_tab WHERE 1=0" << "";
        QTest::newRow("boolean column") << "SELECT IsMaxBookManager FROM Par_tab" << "1";
        QTest::newRow("boolean expression") << "SELECT 1=1" << "1";
        QTest::newRow("false expression") << "SELECT 1=0" << "0";
        QTest::newRow("count") << "SELECT COUNT(*) FROM ReaderCate_tab" << "3";
        QTest::newRow("colons are text") << "SELECT ':name' || ':1'" << ":name:1";
        QTest::newRow("chinese") << "SELECT SystemName FROM Par_tab" << "图书馆管理系统";
    }
    void scalarTexts()
    {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QCOMPARE(QueryScalar(sql), text);
    }

    void valuesReadTheSameOnBothEngines()
    {
        exec("INSERT INTO Books_tab (BookName, BookPrice, RegDate) VALUES ('a', 12.5, " + DateLiteral(QDate(2024, 1, 2)) + ")");
        exec("INSERT INTO Books_tab (BookName, BookPrice, RegDate) VALUES ('b', 3, " +
             DateTimeLiteral(QDateTime(QDate(2024, 1, 2), QTime(10, 20, 30))) + ")");
        QCOMPARE(QueryScalar("SELECT BookPrice FROM Books_tab WHERE BookName = 'a'"), QString("12.5"));
        QCOMPARE(QueryScalar("SELECT RegDate FROM Books_tab WHERE BookName = 'a'"), QString("2024-01-02"));
        QCOMPARE(QueryScalar("SELECT RegDate FROM Books_tab WHERE BookName = 'b'"), QString("2024-01-02 10:20:30"));
        // A midnight date-time literal finds a stored date: one stored form per date.
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Books_tab WHERE RegDate = " +
                             DateTimeLiteral(QDateTime(QDate(2024, 1, 2), QTime(0, 0)))),
                 QString("1"));
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Books_tab WHERE RegDate >= " + DateLiteral(QDate(2024, 1, 2))),
                 QString("2"));
    }

    void listsInRowOrder()
    {
        QStringList list{"已有"};
        QueryList(list, "SELECT ReaderCateName, LimitDays FROM ReaderCate_tab ORDER BY LimitDays DESC");
        QCOMPARE(list, (QStringList{"已有", "教师", "学生", "临时读者"}));
        QStringList days;
        QueryList(days, "SELECT ReaderCateName, LimitDays FROM ReaderCate_tab ORDER BY LimitDays", "limitdays");
        QCOMPARE(days, (QStringList{"15", "30", "60"}));
        QVERIFY_THROWS_EXCEPTION(AppError, QueryList(days, "SELECT ReaderCateName FROM ReaderCate_tab", "Nope"));
    }

    void freeStandingQueries()
    {
        auto query = NewQuery();
        OpenSQL(*query, "SELECT ItemName FROM Items_tab WHERE ItemCate = 2 ORDER BY ItemCode");
        QCOMPARE(query->recordCount(), 5);
        QCOMPARE(query->value("ItemName").toString(), QString("图书"));
        query->setFilter([](const DataSet&, const QVariantList&) { return false; });
        OpenSQL(*query, "SELECT ItemName FROM Items_tab WHERE ItemCate = 3");
        QVERIFY(!query->isFiltered());
        QCOMPARE(query->recordCount(), 4);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, OpenSQL(*query, "SELECT * FROM Nowhere"));
        FreeQuery(query);
        QVERIFY(!query);
    }

    void tablesAndErrors()
    {
        QVERIFY(TableExists("Books_tab"));
        QVERIFY(TableExists("BOOKS_TAB"));
        QVERIFY(!TableExists("CardStore"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, QueryScalar("SELECT * FROM NoSuchTable"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, RecordExists("x", "NoColumn", "Books_tab"));
    }

    void recordExistsQuotesValues()
    {
        exec("INSERT INTO Publishers_tab (PublisherName, PublisherPlace) VALUES ('O''Reilly', '北京')");
        QVERIFY(RecordExists("O'Reilly", "PublisherName", "Publishers_tab"));
        QVERIFY(RecordExists("o'reilly", "PublisherName", "Publishers_tab"));  // case ignored
        QVERIFY(RecordExists("O'Reilly", "PublisherName", "Publishers_tab", "PublisherPlace = '北京'"));
        QVERIFY(!RecordExists("O'Reilly", "PublisherName", "Publishers_tab", "PublisherPlace = '上海'"));
        QVERIFY(RecordExists("1", "ParID", "Par_tab", {}, false));
        QVERIFY(!RecordExists("2", "ParID", "Par_tab", {}, false));
        // Text given as unquoted never becomes SQL.
        QVERIFY(!RecordExists("x' OR '1'='1", "PublisherName", "Publishers_tab", {}, false));
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Publishers_tab"), QString("1"));
    }

    void hostileTextRoundTrips()
    {
        const QString text = hostile();
        exec("INSERT INTO Publishers_tab (PublisherName) VALUES (" + Dialect::quote(text) + ")");
        exec("INSERT INTO Publishers_tab (PublisherName) VALUES ('O''Rexilxlxy ''出版社''')");
        QCOMPARE(QueryScalar("SELECT PublisherName FROM Publishers_tab WHERE PublisherName = " + Dialect::quote(text)), text);
        QVERIFY(RecordExists(text, "PublisherName", "Publishers_tab"));
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Publishers_tab WHERE PublisherName = " + Dialect::quote(text)), QString("1"));
        QStringList names;
        QueryList(names, "SELECT PublisherName FROM Publishers_tab ORDER BY PublisherID");
        QCOMPARE(names.first(), text);

        CurrentUser.BookRoom = text;
        exec("INSERT INTO Copies_tab (BookID, BookBarCode, BookRoom) VALUES (1, 'A1', " + Dialect::quote(text) + ")");
        exec("INSERT INTO Copies_tab (BookID, BookBarCode, BookRoom) VALUES (1, 'A2', 'O''Rexilxlxy')");
        QCOMPARE(QueryScalar("SELECT BookBarCode FROM Copies_tab WHERE " + BookRoomCondition()), QString("A1"));
    }

    void bookRoomCondition()
    {
        CurrentUser.BookRoom = "   ";
        QVERIFY(!HasBookRoom());
        QCOMPARE(BookRoomCondition("BookID IN(SELECT BookID FROM Copies_tab WHERE ", ")"), QString());
        CurrentUser.BookRoom = "二楼";
        QVERIFY(HasBookRoom());
        QCOMPARE(BookRoomCondition("BookID IN(SELECT BookID FROM Copies_tab WHERE ", ")"),
                 QString("BookID IN(SELECT BookID FROM Copies_tab WHERE BookRoom = '二楼')"));
        QCOMPARE(BookRoomCondition({}, {}, true), QString("HomePhone = '二楼'"));
    }

    void serverClockAndLiterals()
    {
        const QDateTime now = ServerNow();
        QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) < 60);
        QCOMPARE(now.time().msec(), 0);
        QCOMPARE(ServerDateText(), now.date().toString("yyyy-MM-dd"));
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(ServerDateText(true)).hasMatch());
        QCOMPARE(ServerDateLiteral(), "'" + now.date().toString("yyyy-MM-dd") + "'");
        QCOMPARE(DateLiteral(QDate(2024, 2, 29)), QString("'2024-02-29'"));
        QCOMPARE(DateTimeLiteral(QDateTime(QDate(2024, 2, 29), QTime(8, 5, 9))), QString("'2024-02-29 08:05:09'"));
        QCOMPARE(QueryScalar("SELECT " + db().dialect().todayExpression()), now.date().toString("yyyy-MM-dd"));
    }

    void loanListOverdueDays()
    {
        const QDate today = ServerNow().date();
        exec("INSERT INTO Books_tab (BookName, BookType) VALUES ('书', '图书')");
        exec("INSERT INTO Copies_tab (BookID, BookBarCode) VALUES (1, 'B1')");
        exec("INSERT INTO Readers_tab (ReaderName, ReaderCateID, Sex) VALUES ('张三', 1, 1)");
        exec("INSERT INTO LoanList_tab (CopyID, BookID, ReaderID, LoanDate, ShouldReturnDate) VALUES (1, 1, 1, " +
             DateLiteral(today.addDays(-40)) + ", " + DateLiteral(today.addDays(-10)) + ")");
        exec("INSERT INTO LoanList_tab (CopyID, BookID, ReaderID, LoanDate, ShouldReturnDate, IsReturn, FactReturnDate) "
             "VALUES (1, 1, 1, '2024-01-01', '2024-01-31', 1, '2024-02-03')");
        QStringList days;
        QueryList(days, db().dialect().loanListSelect() + " ORDER BY LoanListID", "ExceedDays");
        QCOMPARE(days, (QStringList{"10", "3"}));
        QCOMPARE(QueryScalar("SELECT ReaderCateName FROM (" + db().dialect().loanListSelect() + ") AS L"), QString("教师"));
    }

    void dialectStatementsRun()
    {
        const Dialect& dialect = db().dialect();
        exec("INSERT INTO Books_tab (BookName, CateCode) VALUES ('a', 'I24')");
        exec("INSERT INTO Copies_tab (BookID, BookCode) VALUES (1, 'I24/7'), (1, 'i24/12'), (1, 'I24/x'), (1, 'I247/99'), (1, 'I24')");
        QCOMPARE(QueryScalar(dialect.nextCallNumberSql("I24")), QString("13"));
        QCOMPARE(QueryScalar(dialect.nextCallNumberSql("K8")), QString("1"));
        QCOMPARE(QueryScalar(dialect.nextCallNumberSql("I2'4")), QString("1"));

        exec(dialect.updateFrom("Books_tab", "CateName = BookCateName", "BookCate_tab", "CateCode = BookCateCode"));
        QCOMPARE(QueryScalar("SELECT CateName FROM Books_tab"),
                 QueryScalar("SELECT BookCateName FROM BookCate_tab WHERE BookCateCode = 'I24'"));
        QCOMPARE(QueryScalar("SELECT " + dialect.nullToEmpty("[Memo]") + " || 'x' FROM Books_tab"), QString("x"));

        const QString select = "SELECT BookCateCode FROM BookCate_tab ORDER BY BookCateCode";
        QCOMPARE(QueryScalar(dialect.countSql(select)), QueryScalar("SELECT COUNT(*) FROM BookCate_tab"));
        QStringList page;
        QueryList(page, dialect.pageSql(select, 2, 3));
        QStringList all;
        QueryList(all, select);
        QCOMPARE(page, all.mid(2, 3));
    }
};

QTEST_GUILESS_MAIN(UtilsDbTest)
#include "tst_utilsdb.moc"
