#include "TestDatabase.h"

#include "foundation/BulkInsert.h"
#include "foundation/DataModule.h"
#include "foundation/Errors.h"
#include "foundation/DataSetModel.h"
#include "foundation/PagedQueryModel.h"
#include "foundation/UtilsDB.h"

#include <QSignalSpy>
#include <QtTest>

// The list models: the paged one of grid mode (pages on demand, exact counts, bounded
// memory, answers of replaced queries dropped) and the one over a data set.
class PagedModelTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    static constexpr int Titles = 1000;

private slots:
    void initTestCase()
    {
        m_test = TestDatabase::create();
        BulkInsert insert(m_test->db(), "Books_tab", {"BookName", "RegDate", "TotalCount"});
        for (int i = 1; i <= Titles; ++i)
            insert.add({QStringLiteral("书%1").arg(i, 4, 10, QChar('0')), QDate(2024, 1, 1).addDays(i % 30), i % 5});
        insert.flush();
    }
    void cleanupTestCase() { m_test.reset(); }

    void readsOnlyThePagesAskedFor()
    {
        PagedQueryModel model;
        model.setConnection(&m_test->db());
        model.setPageSize(50);
        model.setMaxCachedPages(3);
        QSignalSpy counted(&model, &PagedQueryModel::countReady);
        model.setQuery("SELECT * FROM Books_view ORDER BY BookID");
        QVERIFY(model.countKnown());
        QCOMPARE(model.exactCount(), qint64(Titles));
        QCOMPARE(model.rowCount(), Titles);
        QCOMPARE(counted.size(), 1);
        QCOMPARE(model.cachedPageCount(), 1);
        const int name = model.fieldIndex("bookname");
        QCOMPARE(model.headerData(name, Qt::Horizontal).toString(), QString("书刊名称"));
        QCOMPARE(model.headerData(model.fieldIndex("RemainCount"), Qt::Horizontal).toString(), QString("剩余册数"));

        QCOMPARE(model.data(model.index(Titles - 1, name)).toString(), QString("书1000"));
        QCOMPARE(model.cachedPageCount(), 2);
        QCOMPARE(model.data(model.index(0, name)).toString(), QString("书0001"));
        for (int row = 0; row < Titles; row += 50)
            QCOMPARE(model.data(model.index(row, name)).toString(), QStringLiteral("书%1").arg(row + 1, 4, 10, QChar('0')));
        QVERIFY(model.cachedPageCount() <= 3);
        const QVariant date = model.data(model.index(0, model.fieldIndex("RegDate")), Qt::EditRole);
        QCOMPARE(date.typeId(), int(QMetaType::QDateTime));
        QCOMPARE(model.data(model.index(0, model.fieldIndex("RegDate"))).toString(), QString("2024-01-02"));
    }

    void moneyShowsTwoDecimals()
    {
        auto connection = m_test->openAnother();
        connection->exec("UPDATE Books_tab SET BookPrice = 90.2 WHERE BookID = 1");
        connection->exec("UPDATE Books_tab SET BookPrice = 12 WHERE BookID = 2");
        PagedQueryModel model;
        model.setConnection(connection.get());
        model.setQuery("SELECT BookPrice, TotalCount FROM Books_tab WHERE BookID <= 3 ORDER BY BookID");
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("90.20"));
        QCOMPARE(model.data(model.index(1, 0)).toString(), QString("12.00"));
        QCOMPARE(model.data(model.index(2, 0)).toString(), QString());
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString("2"));
        QCOMPARE(model.data(model.index(0, 0), Qt::EditRole).toDouble(), 90.2);
        connection->exec("UPDATE Books_tab SET BookPrice = NULL WHERE BookID <= 2");
    }

    void aPageThatCannotBeReadIsTriedOncePerQuery()
    {
        auto connection = m_test->openAnother();
        PagedQueryModel model;
        model.setConnection(connection.get());
        model.setPageSize(50);
        QSignalSpy failed(&model, &PagedQueryModel::readFailed);
        model.setQuery("SELECT * FROM Books_view ORDER BY BookID");
        const int name = model.fieldIndex("BookName");
        connection->sql().close();
        for (int paint = 0; paint < 20; ++paint)
            QVERIFY(model.data(model.index(Titles - 1, name)).toString().isEmpty());
        QTRY_COMPARE(failed.size(), 1);

        QVERIFY(connection->sql().open());
        model.setQuery("SELECT * FROM Books_view ORDER BY BookID");
        QCOMPARE(model.data(model.index(Titles - 1, name)).toString(), QString("书1000"));
        QCOMPARE(failed.size(), 1);
    }

    void pagesOfAnUnorderedSelectFollowTheKey()
    {
        PagedQueryModel model;
        model.setConnection(&m_test->db());
        model.setPageSize(64);
        model.setQuery("SELECT * FROM Books_view");
        const int id = model.fieldIndex("BookID");
        QCOMPARE(model.data(model.index(777, id)).toInt(), 778);
        QCOMPARE(model.exactCount(), qint64(Titles));
        // Pages are reached from the nearer end, far ones through their first key; the
        // rows are the same whichever way a page is read.
        for (int pageSize : {64, 8}) {
            model.setPageSize(pageSize);
            model.setQuery("SELECT * FROM Books_view WHERE BookID <> 5");
            QCOMPARE(model.rowCount(), Titles - 1);
            for (int row : {Titles - 2, Titles - 64, Titles - 65, Titles / 2, Titles / 2 - 1, 700, 300, 960, 4, 3, 0}) {
                const int expected = row < 4 ? row + 1 : row + 2;
                QCOMPARE(model.data(model.index(row, id)).toInt(), expected);
            }
        }
    }

    void ownOrdersAndGroupsArePagedAsTheyAre_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("lastValue");
        QTest::newRow("builder order on the key") << "SELECT * FROM Books_view\r\nWHERE 1=1\r\nORDER BY BookID" << Titles << "1000";
        QTest::newRow("descending") << "SELECT * FROM Books_view\r\nWHERE 1=1\r\nORDER BY BookID DESC" << Titles << "1";
        QTest::newRow("other order") << "SELECT * FROM Books_view ORDER BY BookName DESC" << Titles << "1";
        QTest::newRow("grouped") << "SELECT COUNT(*) AS N, TotalCount AS BookID FROM Books_tab GROUP BY TotalCount" << 5 << "";
        QTest::newRow("distinct") << "SELECT DISTINCT TotalCount FROM Books_tab" << 5 << "";
    }
    void ownOrdersAndGroupsArePagedAsTheyAre()
    {
        QFETCH(QString, sql);
        QFETCH(int, rows);
        QFETCH(QString, lastValue);
        PagedQueryModel model;
        model.setConnection(&m_test->db());
        model.setPageSize(8);
        model.setQuery(sql);
        QCOMPARE(model.rowCount(), rows);
        if (lastValue.isEmpty())
            return;
        const int id = model.fieldIndex("BookID");
        QCOMPARE(model.data(model.index(rows - 1, id)).toString(), lastValue);
        QCOMPARE(model.data(model.index(rows / 2, id)).toString(),
                 QString::number(lastValue == "1" ? rows / 2 : rows / 2 + 1));
    }

    void shortResultsAreCountedFromTheirOnlyPage()
    {
        PagedQueryModel model;
        model.setConnection(&m_test->db());
        model.setBackgroundCount(m_test->connectionString());
        model.setQuery("SELECT BookName FROM Books_tab WHERE BookID <= 7");
        QVERIFY(model.countKnown());
        QCOMPARE(model.rowCount(), 7);
        QVERIFY(!model.canFetchMore());
        model.setQuery("SELECT BookName FROM Books_tab WHERE 1 = 0");
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 1);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, model.setQuery("SELECT * FROM Nowhere"));
    }

    void backgroundCountOfAReplacedQueryIsDropped()
    {
        PagedQueryModel model;
        model.setConnection(&m_test->db());
        model.setPageSize(100);
        model.setBackgroundCount(m_test->connectionString());
        QSignalSpy counted(&model, &PagedQueryModel::countReady);

        model.setQuery("SELECT * FROM Books_view ORDER BY BookID");
        QCOMPARE(model.rowCount(), 100);  // the first screen, before any count
        QVERIFY(!model.countKnown());
        QVERIFY(model.canFetchMore());
        model.fetchMore();
        QCOMPARE(model.rowCount(), 200);

        model.setQuery("SELECT * FROM Books_view WHERE BookID <= 350 ORDER BY BookID DESC");
        QVERIFY(counted.wait(10000));
        QCOMPARE(counted.last().first().toLongLong(), qint64(350));
        QCOMPARE(model.rowCount(), 350);
        QTest::qWait(300);  // the first query's count may arrive late: it must change nothing
        QCOMPARE(counted.size(), 1);
        QCOMPARE(model.rowCount(), 350);
        QCOMPARE(model.data(model.index(349, model.fieldIndex("BookID"))).toString(), QString("1"));
    }

    void dataSetModelFollowsTheDataSet()
    {
        DataSet books("Books", [this]() -> Database& { return m_test->db(); });
        DataSetModel model(&books);
        QCOMPARE(model.rowCount(), 0);
        books.setSQL("SELECT BookID, BookName, RegDate FROM Books_tab WHERE BookID <= 3 ORDER BY BookID");
        books.open();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("书刊名称"));
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("2024-01-02"));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        books.edit();
        books.fieldByName("BookName").setValue("改名");
        books.post();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("改名"));
        books.append();
        books.fieldByName("BookName").setValue("新书");
        books.post();
        QCOMPARE(model.rowCount(), 4);
        books.setFilter([](const DataSet& ds, const QVariantList& values) {
            return ds.valueIn(values, "BookName").toString() == "新书";
        });
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("新书"));
        books.remove();
        QCOMPARE(model.rowCount(), 0);
        books.close();
        QCOMPARE(model.columnCount(), 0);
    }

    void modelMayBeDestroyedWhileCounting()
    {
        auto model = std::make_unique<PagedQueryModel>();
        model->setConnection(&m_test->db());
        model->setPageSize(10);
        model->setBackgroundCount(m_test->connectionString());
        model->setQuery("SELECT * FROM Books_view");
        model.reset();
        QTest::qWait(500);  // the worker's answer finds no model and is dropped
    }
};

QTEST_GUILESS_MAIN(PagedModelTest)
#include "tst_datasetmodel.moc"
