#include "TestDatabase.h"

#include "admin/DemoLibrary.h"

#include <QtTest>

// The demo library must look like a library the desk has really worked on.
class DemoLibraryTest : public QObject
{
    Q_OBJECT

private:
    static int count(Database& db, const QString& sql) { return db.scalar(sql).toInt(); }

private slots:
    void countersAndStatesAgreeWithTheLoans()
    {
        auto test = TestDatabase::create();
        Database& db = test->db();
        const DemoLibraryCounts counts = GenerateDemoLibrary(db, {200, 3, 40, 500, 7});
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Books_tab"), 200);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Copies_tab"), 600);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Readers_tab WHERE ReaderInputCode <> ''"), 40);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM LoanList_tab"), 500);
        QCOMPARE(counts.openLoans, 50);
        QVERIFY(counts.overdueLoans > 0);

        QCOMPARE(count(db, "SELECT COUNT(*) FROM Books_tab b WHERE TotalCount <> "
                           "(SELECT COUNT(*) FROM Copies_tab c WHERE c.BookID = b.BookID)"), 0);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Books_tab b WHERE LoanCount <> "
                           "(SELECT COUNT(*) FROM LoanList_tab l WHERE l.BookID = b.BookID AND IsReturn = 0)"), 0);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Copies_tab c WHERE (BookState = '借出') <> "
                           "(EXISTS (SELECT 1 FROM LoanList_tab l WHERE l.CopyID = c.CopyID AND IsReturn = 0))"), 0);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM LoanList_tab l JOIN Copies_tab c ON l.CopyID = c.CopyID "
                           "WHERE l.BookID <> c.BookID"), 0);
        // No reader holds more open loans than the category allows.
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Readers_view r JOIN ReaderCate_tab k ON r.ReaderCateID = k.ReaderCateID "
                           "WHERE (SELECT COUNT(*) FROM LoanList_tab l WHERE l.ReaderID = r.ReaderID AND IsReturn = 0) "
                           "> k.LimitBooksCount"), 0);
        // Returned loans end before the open loans of the same copy begin.
        QCOMPARE(count(db, "SELECT COUNT(*) FROM LoanList_tab o JOIN LoanList_tab r ON o.CopyID = r.CopyID "
                           "WHERE o.IsReturn = 0 AND r.IsReturn <> 0 AND r.FactReturnDate > o.LoanDate"), 0);
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Copies_tab WHERE BookCode NOT LIKE '%/%'"), 0);
    }

    void addsAfterExistingRowsAndIsRepeatable()
    {
        auto test = TestDatabase::create();
        Database& db = test->db();
        GenerateDemoLibrary(db, {30, 2, 10, 40, 1});
        GenerateDemoLibrary(db, {30, 2, 10, 40, 1});
        QCOMPARE(count(db, "SELECT COUNT(*) FROM Books_tab"), 60);
        QCOMPARE(count(db, "SELECT COUNT(DISTINCT BookBarCode) FROM Copies_tab"), 120);
        db.exec("INSERT INTO Books_tab (BookName, Author, BookType) VALUES ('新书', '人', '图书')");
        QCOMPARE(count(db, "SELECT MAX(BookID) FROM Books_tab"), 61);
    }
};

QTEST_GUILESS_MAIN(DemoLibraryTest)
#include "tst_demolibrary.moc"
