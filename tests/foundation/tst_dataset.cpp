#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/DataModule.h"
#include "foundation/DataSet.h"
#include "foundation/Errors.h"
#include "foundation/UtilsDB.h"

#include <QtTest>

// The data set on each engine: field description, values, posting to the base table,
// held changes, and navigation helpers.
class DataSetTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    std::unique_ptr<TDM1> m_dm;

    Database& db() { return m_dm->CodexaConn(); }
    QString scalar(const QString& sql) { return QueryScalar(sql); }

    static QString hostile() { return QStringLiteral("O'Re\\il%l_y \"出版\" ''"); }

    void addBook(const QString& name, int total = 0, int onLoan = 0)
    {
        db().exec(QStringLiteral("INSERT INTO Books_tab (BookName, Author, BookType, TotalCount, LoanCount, BookPrice, RegDate) "
                                 "VALUES (%1, '佚名', '图书', %2, %3, 12.5, '2024-01-02')")
                      .arg(Dialect::quote(name))
                      .arg(total)
                      .arg(onLoan));
    }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_dm = InstallDataModule(*m_test);
    }
    void cleanup()
    {
        DM1 = nullptr;
        m_dm.reset();
        m_test.reset();
    }

    void describesFieldsFromTheSchema()
    {
        addBook("史记", 3, 1);
        DataSet books("Books", {});
        books.setSQL("SELECT * FROM Books_view");
        books.open();
        QCOMPARE(books.updateTable(), QString("Books_tab"));
        QCOMPARE(books.keyFieldName(), QString("BookID"));
        const DataField name = books.fieldByName("bookname");
        QCOMPARE(name.name(), QString("BookName"));  // the schema's spelling on every engine
        QCOMPARE(name.displayLabel(), QString("书刊名称"));
        QVERIFY(!name.def().readOnly);
        const DataField remain = books.fieldByName("RemainCount");
        QCOMPARE(remain.displayLabel(), QString("剩余册数"));
        QVERIFY(remain.def().readOnly);
        QVERIFY(!remain.def().posted);
        QVERIFY(books.fieldByName("BookID").def().readOnly);
        QVERIFY(!books.findField("NoSuchField").isValid());
        QVERIFY_THROWS_EXCEPTION(AppError, books.fieldByName("NoSuchField"));

        // One presentation of values on both engines.
        QCOMPARE(books.value("RegDate").typeId(), int(QMetaType::QDateTime));
        QCOMPARE(books.value("RegDate").toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(0, 0)));
        QCOMPARE(books.value("BookPrice").typeId(), int(QMetaType::Double));
        QCOMPARE(books.value("BookPrice").toDouble(), 12.5);
        QCOMPARE(books.value("TotalCount").typeId(), int(QMetaType::Int));
        QCOMPARE(books.value("RemainCount").toInt(), 2);
        QCOMPARE(books.fieldByName("RegDate").asString(), QString("2024-01-02"));
        QVERIFY(books.fieldByName("Memo").isNull());
        QCOMPARE(books.fieldByName("Memo").asString(), QString());
    }

    void postsToTheBaseTableOfAView()
    {
        DataSet books("Books", {});
        books.setSQL("SELECT * FROM Books_view");
        books.open();
        QVERIFY(books.isEmpty());
        books.append();
        QCOMPARE(books.state(), DataSetState::Insert);
        books.fieldByName("BookName").setValue(hostile());
        books.fieldByName("Author").setValue("司马迁");
        books.fieldByName("TotalCount").setValue(4);
        books.fieldByName("RegDate").setValue(QDate(2024, 3, 1));
        books.fieldByName("BookPrice").setValue(19.9);
        books.post();
        QCOMPARE(books.state(), DataSetState::Browse);
        QCOMPARE(books.recordCount(), 1);
        const int id = books.value("BookID").toInt();
        QVERIFY(id > 0);
        QCOMPARE(books.value("RemainCount").toInt(), 4);  // computed by the view, read back
        QCOMPARE(scalar(QString("SELECT BookName FROM Books_tab WHERE BookID = %1").arg(id)), hostile());
        QCOMPARE(scalar("SELECT RegDate FROM Books_tab"), QString("2024-03-01"));
        QCOMPARE(scalar("SELECT BookPrice FROM Books_tab"), QString("19.9"));

        // Only the changed columns are written: another user's change elsewhere survives.
        db().exec("UPDATE Books_tab SET Keywords = '别人改的'");
        books.edit();
        books.fieldByName("Author").setValue("班固");
        books.post();
        QCOMPARE(scalar("SELECT Author FROM Books_tab"), QString("班固"));
        QCOMPARE(scalar("SELECT Keywords FROM Books_tab"), QString("别人改的"));

        books.edit();
        books.fieldByName("Author").setValue("不保存");
        QCOMPARE(books.fieldByName("Author").oldValue().toString(), QString("班固"));
        books.cancel();
        QCOMPARE(books.value("Author").toString(), QString("班固"));

        books.close();
        books.open();
        QVERIFY(books.locate("BookName", hostile()));
        books.remove();
        QVERIFY(books.isEmpty());
        QCOMPARE(scalar("SELECT COUNT(*) FROM Books_tab"), QString("0"));
    }

    void databaseErrorsReachTheCallerAndKeepTheEdit()
    {
        DataSet users("Users", {});
        users.setSQL("SELECT * FROM Users_tab");
        users.open();
        users.append();
        users.fieldByName("UserCode").setValue("abc");
        users.fieldByName("UserName").setValue(QString(11, QChar(u'名')));  // one more than the column takes
        QVERIFY_THROWS_EXCEPTION(DatabaseError, users.post());
        QCOMPARE(users.state(), DataSetState::Insert);
        QCOMPARE(users.fieldByName("UserCode").asString(), QString("abc"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Users_tab"), QString("0"));
        users.fieldByName("UserName").setValue("张三");
        users.post();
        QCOMPARE(scalar("SELECT UserName FROM Users_tab"), QString("张三"));

        // The record went away under us: the save fails instead of writing nothing quietly.
        db().exec("DELETE FROM Users_tab");
        users.edit();
        users.fieldByName("UserName").setValue("李四");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, users.post());
        QCOMPARE(users.state(), DataSetState::Edit);
    }

    void readOnlyAndUnkeyedDataSetsRefuseChanges()
    {
        DataSet log("Log", {});
        log.setSQL("SELECT * FROM UserLog_tab");
        log.setReadOnly(true);
        log.open();
        QVERIFY_THROWS_EXCEPTION(AppError, log.append());
        DataSet stats("Stats", {});
        stats.setSQL("SELECT COUNT(*) AS Total, BookType FROM Books_tab GROUP BY BookType");
        addBook("a");
        stats.open();
        QCOMPARE(stats.fieldByName("total").asInteger(), 1);
        stats.edit();
        stats.fieldByName("BookType").setValue("x");
        QVERIFY_THROWS_EXCEPTION(AppError, stats.post());
    }

    void heldChangesApplyTogether()
    {
        addBook("a");
        db().exec("INSERT INTO Copies_tab (BookID, BookBarCode, BookState) VALUES (1, 'C1', '可借'), (1, 'C2', '可借')");
        DataSet copies("Copies", {});
        copies.setSQL("SELECT * FROM Copies_tab WHERE BookID = 1 ORDER BY CopyID");
        copies.setCachedUpdates(true);
        copies.open();
        copies.edit();
        copies.fieldByName("BookState").setValue("破损");
        copies.post();
        copies.next();
        copies.remove();
        for (const char* code : {"C3", "C4"}) {
            copies.append();
            copies.fieldByName("BookID").setValue(1);
            copies.fieldByName("BookBarCode").setValue(code);
            copies.post();
        }
        QVERIFY(copies.updatesPending());
        QCOMPARE(copies.recordCount(), 3);
        QCOMPARE(scalar("SELECT COUNT(*) FROM Copies_tab WHERE BookState = '破损'"), QString("0"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Copies_tab"), QString("2"));

        // One bad row: nothing is written and every change is still held.
        copies.last();
        copies.edit();
        copies.fieldByName("BookBarCode").setValue(QString(41, 'x'));
        copies.post();
        QVERIFY_THROWS_EXCEPTION(DatabaseError, copies.applyUpdates());
        QVERIFY(copies.updatesPending());
        QCOMPARE(scalar("SELECT COUNT(*) FROM Copies_tab"), QString("2"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM Copies_tab WHERE BookState = '破损'"), QString("0"));

        copies.edit();
        copies.fieldByName("BookBarCode").setValue("C4");
        copies.post();
        copies.applyUpdates();
        QVERIFY(!copies.updatesPending());
        QStringList codes;
        QueryList(codes, "SELECT BookBarCode || ':' || COALESCE(BookState, '') FROM Copies_tab ORDER BY BookBarCode");
        QCOMPARE(codes, (QStringList{"C1:破损", "C3:", "C4:"}));
        copies.last();
        QCOMPARE(copies.value("CopyID").toString(), scalar("SELECT CopyID FROM Copies_tab WHERE BookBarCode = 'C4'"));

        // Cancelling held changes brings back what was loaded.
        copies.first();
        copies.remove();
        copies.edit();
        copies.fieldByName("BookState").setValue("遗失");
        copies.post();
        copies.append();
        copies.fieldByName("BookBarCode").setValue("C9");
        copies.post();
        copies.cancelUpdates();
        QVERIFY(!copies.updatesPending());
        QCOMPARE(copies.recordCount(), 3);
        copies.first();
        QCOMPARE(copies.value("BookBarCode").toString(), QString("C1"));
        copies.next();
        QCOMPARE(copies.value("BookState").toString(), QString());
    }

    void copyListNamesItsDuplicateColumns()
    {
        addBook("a");
        db().exec("UPDATE Books_tab SET Operator = 'cataloguer', RegDate = '2023-05-06'");
        db().exec("INSERT INTO Copies_tab (BookID, BookBarCode, Operator, RegDate) VALUES (1, 'C1', 'clerk', '2024-07-08')");
        DataSet list("BookCopyList", {});
        list.setSQL(db().dialect().copyListSelect());
        list.open();
        QCOMPARE(list.updateTable(), QString("Copies_tab"));
        QCOMPARE(list.value("Copies_tab.BookID").toInt(), 1);
        QCOMPARE(list.value("Copies_tab.Operator").toString(), QString("clerk"));
        QCOMPARE(list.value("Books_tab.Operator").toString(), QString("cataloguer"));
        QCOMPARE(list.fieldByName("Copies_tab.RegDate").asString(), QString("2024-07-08"));
        QCOMPARE(list.fieldByName("Books_tab.RegDate").asString(), QString("2023-05-06"));
        QCOMPARE(list.fieldByName("Copies_tab.RegDate").displayLabel(), QString("登记日期"));
        QCOMPARE(list.value("Operator").toString(), QString("clerk"));  // the first of the two
        QCOMPARE(list.value("BookName").toString(), QString("a"));

        list.edit();
        list.fieldByName("BookState").setValue("遗失");
        list.post();
        QCOMPARE(scalar("SELECT BookState FROM Copies_tab"), QString("遗失"));
        QCOMPARE(scalar("SELECT Operator FROM Books_tab"), QString("cataloguer"));
    }

    void navigationLocateFilterAndBookmarks()
    {
        for (const char* name : {"Alpha", "beta", "Gamma", "gamma ray"})
            addBook(name);
        DataSet books("Books", {});
        books.setSQL("SELECT BookID, BookName FROM Books_tab WHERE BookName <> ':x' ORDER BY BookID");
        books.open();
        QVERIFY(books.bof());
        QStringList seen;
        while (!books.eof()) {
            seen.append(books.value("BookName").toString());
            books.next();
        }
        QCOMPARE(seen, (QStringList{"Alpha", "beta", "Gamma", "gamma ray"}));

        QVERIFY(!books.locate("BookName", "GAMMA"));
        QVERIFY(books.locate("BookName", "GAMMA", DataSet::CaseInsensitive));
        QCOMPARE(books.recNo(), 2);
        QVERIFY(books.locate("BookName", "gamma r", DataSet::PartialKey));
        QCOMPARE(books.recNo(), 3);
        QVERIFY(books.locate("BookID", "2"));
        const DataSet::Bookmark beta = books.bookmark();

        books.setFilter([](const DataSet& ds, const QVariantList& values) {
            return ds.valueIn(values, "BookName").toString().startsWith('G', Qt::CaseInsensitive);
        });
        QCOMPARE(books.recordCount(), 2);
        QVERIFY(!books.gotoBookmark(beta));
        books.clearFilter();
        QVERIFY(books.gotoBookmark(beta));
        QCOMPARE(books.value("BookName").toString(), QString("beta"));
        books.first();
        const DataSet::Bookmark alpha = books.bookmark();
        books.setFilterBookmarks({beta, alpha});
        QCOMPARE(books.recordCount(), 2);
        OpenSQL(books, "SELECT BookID, BookName FROM Books_tab");
        QVERIFY(!books.isFiltered());
        QCOMPARE(books.recordCount(), 4);
    }
};

QTEST_GUILESS_MAIN(DataSetTest)
#include "tst_dataset.moc"
