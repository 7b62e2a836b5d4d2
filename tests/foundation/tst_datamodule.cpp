#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/DataModule.h"
#include "foundation/Errors.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"

#include <QtTest>

// The shared data sets of the data module with their defaults and record rules.
class DataModuleTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    std::unique_ptr<TDM1> m_dm;
    std::unique_ptr<RecordingPresenter> m_messages;

    Database& db() { return m_dm->CodexaConn(); }

    DataSet& dataSet(const QString& name)
    {
        for (DataSet* d : m_dm->dataSets()) {
            if (d->name() == name)
                return *d;
        }
        qFatal("no data set %s", qPrintable(name));
    }

    // A post that a record rule stops: its box, the field it names, the record still open.
    void expectRejected(DataSet& query, const QString& message, const QString& field)
    {
        const qsizetype before = m_messages->messages.size();
        try {
            query.post();
            QFAIL(qPrintable("posted although it should fail with " + message));
        } catch (const SilentAbort& abort) {
            QCOMPARE(abort.field(), field);
        }
        QCOMPARE(m_messages->messages.size(), before + 1);
        QCOMPARE(m_messages->messages.last().kind, MessageKind::Info);
        QCOMPARE(m_messages->messages.last().text, message);
        QVERIFY(query.isEditing());
    }

    void expectPosted(DataSet& query)
    {
        const qsizetype before = m_messages->messages.size();
        query.post();
        QCOMPARE(m_messages->messages.size(), before);
        QCOMPARE(query.state(), DataSetState::Browse);
    }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_dm = InstallDataModule(*m_test);
        m_messages = std::make_unique<RecordingPresenter>();
        CurrentUser = TUserInfo();
        CurrentUser.UserCode = "clerk";
    }
    void cleanup()
    {
        m_messages.reset();
        DM1 = nullptr;
        m_dm.reset();
        m_test.reset();
        CurrentUser = TUserInfo();
    }

    void everySharedDataSetOpens()
    {
        for (DataSet* query : m_dm->dataSets()) {
            if (query->sql().isEmpty() || query == &m_dm->ReaderSyncQuery || query == &m_dm->BookInfoQuery)
                continue;
            query->open();
            QVERIFY2(query->isActive(), qPrintable(query->name()));
        }
        QCOMPARE(m_dm->FunQuery.fieldCount(), 5);
        QCOMPARE(m_dm->LoanListQuery.fieldByName("ExceedDays").displayLabel(), QString("逾期天数"));
        QCOMPARE(m_dm->LoanListQuery.fieldByName("ReLoanTimes").displayLabel(), QString("已续借次数"));
        QVERIFY(m_dm->LoanListQuery.updateTable().isEmpty());
        QCOMPARE(m_dm->ReaderLoanStatQuery.fieldByName("LoanCount").name(), QString("LoanCount"));
        QVERIFY(m_dm->BookCopyListQuery.findField("Books_tab.Operator").isValid());
        QVERIFY(m_dm->CopiesQuery.cachedUpdates());
        QVERIFY(m_dm->UserLogQuery.isReadOnly());
    }

    void requiredAndUniqueRules_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("requiredMessage");
        QTest::addColumn<QString>("uniqueMessage");
        QTest::newRow("items") << "ItemsQuery" << "ItemName" << "" << "名称不能为空。" << "";
        QTest::newRow("reader categories") << "ReaderCateQuery" << "ReaderCateName" << "教师" << "读者类别名称不能为空。"
                                           << "您输入的读者类别名称已存在。";
        QTest::newRow("publishers") << "PublishersQuery" << "PublisherName" << "人民出版社" << "出版单位名称不能为空。"
                                    << "您输入的出版单位名称已存在。";
        QTest::newRow("classes") << "BookCateQuery" << "BookCateCode" << "A" << "书刊类别编码不能为空。"
                                 << "您输入的书刊类别编码已存在。";
        QTest::newRow("bylaws") << "BylawQuery" << "BylawTitle" << "借阅须知" << "规章制度标题不能为空。"
                                << "您输入的规章制度标题已存在。";
    }
    void requiredAndUniqueRules()
    {
        QFETCH(QString, query);
        QFETCH(QString, field);
        QFETCH(QString, existing);
        QFETCH(QString, requiredMessage);
        QFETCH(QString, uniqueMessage);
        db().exec("INSERT INTO Publishers_tab (PublisherName) VALUES ('人民出版社')");
        db().exec("INSERT INTO Bylaw_tab (BylawTitle, BylawContent) VALUES ('借阅须知', '按时归还')");
        if (QueryScalar("SELECT COUNT(*) FROM BookCate_tab WHERE BookCateCode = 'A'") == "0")
            db().exec("INSERT INTO BookCate_tab (BookCateCode, BookCateName) VALUES ('A', '马列主义')");

        DataSet& q = dataSet(query);
        q.open();
        q.append();
        // Everything else the table requires, so that only `field` decides.
        for (const char* other : {"BookCateName", "BylawContent"}) {
            if (q.findField(other).isValid())
                q.fieldByName(other).setValue("内容");
        }
        q.fieldByName(field).setValue("   ");
        expectRejected(q, requiredMessage, field);
        if (!uniqueMessage.isEmpty()) {
            q.fieldByName(field).setValue("  " + existing.toLower() + " ");
            expectRejected(q, uniqueMessage, field);
        }
        const QString hostile = "新值'\\%_\"";
        q.fieldByName(field).setValue(hostile);
        expectPosted(q);
        QVERIFY(RecordExists(hostile, field, q.updateTable()));
        if (!uniqueMessage.isEmpty()) {
            q.append();
            q.fieldByName(field).setValue(" " + hostile);
            for (const char* other : {"BookCateName", "BylawContent"}) {
                if (q.findField(other).isValid())
                    q.fieldByName(other).setValue("内容");
            }
            expectRejected(q, uniqueMessage, field);
            q.cancel();
        }
    }

    void userCodeUniqueIgnoringBlanksAndCase()
    {
        db().exec("INSERT INTO Users_tab (UserCode, UserName) VALUES ('Admin', '管理员')");
        DataSet& users = m_dm->UserQuery;
        users.open();
        users.append();
        QCOMPARE(users.value("IsLock").toInt(), 0);
        expectRejected(users, "登录代号不能为空。", "UserCode");  // the first failing check only
        users.fieldByName("UserCode").setValue(" Admin ");
        expectRejected(users, "您输入的登录代号已存在。", "UserCode");
        users.fieldByName("UserCode").setValue("ADMIN");
        expectRejected(users, "您输入的登录代号已存在。", "UserCode");
        users.fieldByName("UserCode").setValue("zhang");
        expectRejected(users, "真实姓名不能为空。", "UserName");
        users.fieldByName("UserName").setValue("张三");
        expectPosted(users);

        // Saving a record again, or with only case and blanks changed, is no duplicate of itself.
        users.edit();
        expectPosted(users);
        users.edit();
        users.fieldByName("UserCode").setValue(" ZHANG ");
        expectPosted(users);
        users.edit();
        users.fieldByName("UserCode").setValue("admin");
        expectRejected(users, "您输入的登录代号已存在。", "UserCode");
        users.cancel();
    }

    void readerDefaultsAndCardStore()
    {
        CurrentUser.BookRoom = "二楼";
        DataSet& readers = m_dm->ReadersQuery;
        readers.open();
        readers.append();
        QCOMPARE(readers.value("Sex").toInt(), 1);
        QCOMPARE(readers.value("RegDate").toDateTime().date(), ServerNow().date());
        QCOMPARE(readers.value("Operator").toString(), QString("clerk"));
        QCOMPARE(readers.value("HomePhone").toString(), QString("二楼"));
        expectRejected(readers, "读者姓名不能为空。", "ReaderName");
        readers.fieldByName("ReaderName").setValue("张三");
        expectRejected(readers, "读者类别不能为空。", "ReaderCateID");
        readers.fieldByName("ReaderCateID").setValue(1);
        readers.fieldByName("Sex").clear();
        expectRejected(readers, "性别不能为空。", "Sex");
        readers.fieldByName("Sex").setValue(false);
        expectPosted(readers);  // no card store: no card number needed
        QCOMPARE(readers.value("ReaderCateName").toString(), QString("教师"));
        QCOMPARE(QueryScalar("SELECT Sex FROM Readers_tab"), QString("0"));

        db().exec("CREATE TABLE CardStore(CardID varchar(20) PRIMARY KEY)");
        db().exec("INSERT INTO CardStore VALUES ('C-001')");
        CardStoreEnabled = true;
        readers.append();
        readers.fieldByName("ReaderName").setValue("李四");
        readers.fieldByName("ReaderCateID").setValue(2);
        readers.fieldByName("ReaderCode").setValue("R1");
        expectRejected(readers, "证卡编码不能为空。", "CardID");
        readers.fieldByName("CardID").setValue("C-999");
        expectRejected(readers, "无效的证卡编码。", "CardID");
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Readers_tab"), QString("1"));
        readers.fieldByName("CardID").setValue("C-001");
        expectPosted(readers);

        readers.append();
        readers.fieldByName("ReaderName").setValue("王五");
        readers.fieldByName("ReaderCateID").setValue(2);
        readers.fieldByName("ReaderCode").setValue(" r1 ");
        expectRejected(readers, "您输入的读者编码已存在。", "ReaderCode");
        readers.fieldByName("ReaderCode").setValue("R2");
        readers.fieldByName("CardID").setValue("C-001");
        expectRejected(readers, "您输入的证卡编码已存在。", "CardID");
        readers.cancel();
        CardStoreEnabled = false;
    }

    void bookAndCopyDefaults()
    {
        DataSet& books = m_dm->BooksQuery;
        books.open();
        books.append();
        QCOMPARE(books.value("LoanCount").toInt(), 0);
        QCOMPARE(books.value("Operator").toString(), QString("clerk"));
        QCOMPARE(books.value("RegDate").toDateTime().date(), ServerNow().date());
        expectRejected(books, "书刊名称不能为空。", "BookName");
        books.fieldByName("BookName").setValue("史记");
        expectRejected(books, "著者不能为空。", "Author");
        books.fieldByName("Author").setValue("司马迁");
        expectRejected(books, "馆藏类型不能为空。", "BookType");

        // Copies started while the title is still being inserted wait for its key.
        DataSet& copies = m_dm->CopiesQuery;
        OpenSQL(copies, "SELECT * FROM Copies_tab WHERE BookID = 0");
        copies.append();
        QCOMPARE(copies.value("BookID").toInt(), 0);
        QCOMPARE(copies.value("BookState").toString(), QString("可借"));
        QVERIFY(copies.fieldByName("BookRoom").isNull());
        copies.cancel();

        books.fieldByName("BookType").setValue("图书");
        expectPosted(books);
        const int bookId = books.value("BookID").toInt();
        QVERIFY(bookId > 0);
        CurrentUser.BookRoom = "二楼";
        copies.append();
        QCOMPARE(copies.value("BookID").toInt(), bookId);
        QCOMPARE(copies.value("BookRoom").toString(), QString("二楼"));
        QCOMPARE(copies.value("Operator").toString(), QString("clerk"));
        copies.fieldByName("BookBarCode").setValue("000001");
        copies.post();
        QCOMPARE(QueryScalar("SELECT COUNT(*) FROM Copies_tab"), QString("0"));  // held
        copies.applyUpdates();
        QCOMPARE(QueryScalar("SELECT BookRoom FROM Copies_tab WHERE BookID = " + QString::number(bookId)), QString("二楼"));
    }

    void reopenQuery()
    {
        DataSet& items = m_dm->ItemsQuery;
        items.open();
        items.setFilter([](const DataSet&, const QVariantList&) { return false; });
        ReopenQuery(items, "SELECT * FROM Items_tab WHERE ItemCate = 2");
        QVERIFY(!items.isFiltered());
        QCOMPARE(items.recordCount(), 5);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, ReopenQuery(items, "SELECT * FROM Nowhere"));
        QVERIFY(!items.isActive());
    }
};

QTEST_GUILESS_MAIN(DataModuleTest)
#include "tst_datamodule.moc"
