#include "TestDatabase.h"

#include "foundation/BulkInsert.h"
#include "foundation/Errors.h"
#include "foundation/Schema.h"

#include <QtTest>

// The schema and the engine rules, run on each engine.
class SchemaTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    Database& db() { return m_test->db(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }

private slots:
    void init() { m_test = TestDatabase::create(); }
    void cleanup() { m_test.reset(); }

    void everyTableAndViewExistsWithItsSeedRows()
    {
        for (const TableDef& table : Schema::instance().tables())
            QVERIFY2(db().hasTable(table.name), qPrintable(table.name));
        for (const QString& view : {"Books_view", "Readers_view", "LoanList_view"})
            db().exec("SELECT * FROM " + view);
        QCOMPARE(count("SELECT COUNT(*) FROM Par_tab"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM UserFun_tab WHERE IsUsed <> 0"), 15);
        QCOMPARE(count("SELECT SUM(FunKey) FROM UserFun_tab"), 11 + 12 + 13 + 21 + 22 + 23 + 31 + 32 + 41 + 42 + 51 + 52 + 53 + 54 + 55);
        QCOMPARE(count("SELECT COUNT(*) FROM BookCate_tab"), 2031);
        QCOMPARE(count("SELECT COUNT(*) FROM BookCate_tab WHERE BookCateParentID = 0"), 22);
        QCOMPARE(count("SELECT COUNT(*) FROM BookCate_tab c LEFT JOIN BookCate_tab p ON c.BookCateParentID = p.BookCateID "
                       "WHERE c.BookCateParentID <> 0 AND p.BookCateID IS NULL"), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM Items_tab WHERE ItemCate = 2 AND ItemName IN ('图书', '期刊', '光盘')"), 3);
        QVERIFY(count("SELECT COUNT(*) FROM ReaderCate_tab") >= 2);
        QVERIFY(!db().hasTable("CardStore"));
    }

    void textComparisonIgnoresCase()
    {
        db().exec("INSERT INTO Users_tab (UserCode, UserName) VALUES ('Admin', '管理员')");
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserCode = 'admin'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserCode = 'ADMIN'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserCode LIKE 'adm%'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserCode LIKE '%MI%'"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserCode IN ('aDmIn')"), 1);
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE UserName = '管理员'"), 1);
    }

    void columnWidthsAreEnforced()
    {
        db().exec("INSERT INTO Users_tab (UserCode, UserName) VALUES ('u1', '一二三四五六七八九十')");
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
            db().exec("INSERT INTO Users_tab (UserCode, UserName) VALUES ('u2', '一二三四五六七八九十一')"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError,
            db().exec("INSERT INTO UserLog_tab (WinName) VALUES ('" + QString(17, 'w') + "')"));
    }

    void newRowsGetTheirDefaults()
    {
        db().exec("INSERT INTO Books_tab (BookName, Author, BookType) VALUES ('书', '人', '图书')");
        QCOMPARE(count("SELECT TotalCount FROM Books_tab"), 0);
        db().exec("UPDATE Books_tab SET TotalCount = TotalCount + 1");
        db().exec("UPDATE Books_tab SET TotalCount = TotalCount + 1, LoanCount = LoanCount + 1");
        QCOMPARE(count("SELECT RemainCount FROM Books_view"), 1);

        db().exec("INSERT INTO LoanList_tab (CopyID, BookID, ReaderID, LoanDate, LoanTime, ShouldReturnDate, LoanOperator) "
                  "VALUES (1, 1, 1, '2026-01-05', '10:00:00', '2026-02-04', 'Admin')");
        QCOMPARE(count("SELECT COUNT(*) FROM LoanList_tab WHERE IsReturn = 0 AND ReLoanTimes = 0"), 1);

        db().exec("INSERT INTO Readers_tab (ReaderName, ReaderCateID) VALUES ('张三', 1)");
        QCOMPARE(count("SELECT Sex FROM Readers_tab"), 1);
        QCOMPARE(db().scalar("SELECT ReaderCateName FROM Readers_view").toString(), QStringLiteral("教师"));
        db().exec("INSERT INTO Users_tab (UserCode, UserName) VALUES ('u', 'n')");
        QCOMPARE(count("SELECT COUNT(*) FROM Users_tab WHERE IsLock = 0"), 1);
    }

    void loanViewJoinsAndCountsOverdueDays()
    {
        db().exec("INSERT INTO Books_tab (BookName, Author, BookType) VALUES ('红楼梦', '曹雪芹', '图书')");
        db().exec("INSERT INTO Copies_tab (BookID, BookBarCode, BookState) VALUES (1, 'B0001', '借出')");
        db().exec("INSERT INTO Readers_tab (ReaderName, ReaderCode, ReaderCateID, DeptName) VALUES ('李四', 'R1', 2, '初一')");
        db().exec("INSERT INTO LoanList_tab (CopyID, BookID, ReaderID, LoanDate, ShouldReturnDate, IsReturn, FactReturnDate) "
                  "VALUES (1, 1, 1, '2026-01-01', '2026-01-31', 1, '2026-02-10')");
        QSqlQuery row = db().exec("SELECT BookName, BookBarCode, ReaderName, ReaderCateName, DeptName, ExceedDays "
                                  "FROM LoanList_view");
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), QStringLiteral("红楼梦"));
        QCOMPARE(row.value(1).toString(), QStringLiteral("B0001"));
        QCOMPARE(row.value(3).toString(), QStringLiteral("学生"));
        QCOMPARE(row.value(5).toInt(), 10);
    }

    void dialectDateArithmetic()
    {
        const Dialect& d = db().dialect();
        QCOMPARE(db().scalar("SELECT " + d.dateDiffDays("'2024-01-01'", "'2024-03-01'")).toInt(), 60);
        QCOMPARE(db().scalar("SELECT " + d.dateDiffDays("'2024-03-01 18:30:00'", "'2024-01-01'")).toInt(), -60);
        const QVariant added = db().scalar("SELECT " + d.addDays("'2024-02-27'", "3"));
        QCOMPARE(added.toDate(), QDate(2024, 3, 1));
        const QDate today = db().scalar("SELECT " + d.todayExpression()).toDate();
        QVERIFY(qAbs(today.daysTo(QDate::currentDate())) <= 1);
    }

    void literalsRoundTrip()
    {
        const QString nasty = QStringLiteral("O'Brien \\ 100% _x_ \"引号\" 《红楼梦》 '';--");
        db().exec("INSERT INTO Books_tab (BookName, Author, BookType, ContentIntro) VALUES ("
                  + db().dialect().literal(nasty) + ", " + db().dialect().literal(QString("a\nb")) + ", '图书', "
                  + db().dialect().literal(QVariant(QMetaType(QMetaType::QString))) + ")");
        QCOMPARE(db().scalar("SELECT BookName FROM Books_tab").toString(), nasty);
        QCOMPARE(db().scalar("SELECT Author FROM Books_tab").toString(), QStringLiteral("a\nb"));
        QVERIFY(db().scalar("SELECT ContentIntro FROM Books_tab").isNull());
        QCOMPARE(count("SELECT COUNT(*) FROM Books_tab WHERE BookName = " + db().dialect().literal(nasty.toUpper())), 1);

        QByteArray picture;
        for (int i = 0; i < 256; ++i)
            picture.append(char(i));
        db().exec("INSERT INTO Pictures_tab (PictureCate, JoinID, PicContent) VALUES ('Book', 1, "
                  + db().dialect().literal(picture) + ")");
        QCOMPARE(db().scalar("SELECT PicContent FROM Pictures_tab").toByteArray(), picture);
    }

    void bracketedMemoColumnWorksOnBothEngines()
    {
        db().exec("INSERT INTO Users_tab (UserCode, UserName, [Memo]) VALUES ('a', 'b', '[not a name]')");
        QCOMPARE(db().scalar("SELECT [Memo] FROM Users_tab").toString(), QStringLiteral("[not a name]"));
    }

    void explicitKeysMoveTheIdentityOn()
    {
        db().exec("INSERT INTO BookCate_tab (BookCateParentID, BookCateCode, BookCateName) VALUES (0, 'ZZ', '新类')");
        QCOMPARE(count("SELECT BookCateID FROM BookCate_tab WHERE BookCateCode = 'zz'"), 2032);
    }

    void bulkInsertQuotesAndBatches()
    {
        {
            BulkInsert insert(db(), "Publishers_tab", {"PublisherName", "PublisherPlace"}, 7);
            for (int i = 0; i < 20; ++i)
                insert.add({QStringLiteral("出版社'%1").arg(i), QVariant()});
            insert.flush();
            QCOMPARE(insert.rowCount(), 20);
        }
        QCOMPARE(count("SELECT COUNT(*) FROM Publishers_tab WHERE PublisherName LIKE '出版社''%' AND PublisherPlace IS NULL"), 20);
    }

    void deletingATitleBeforeItsCopiesWorks()
    {
        db().exec("INSERT INTO Books_tab (BookName, Author, BookType) VALUES ('书', '人', '图书')");
        db().exec("INSERT INTO Copies_tab (BookID, BookBarCode) VALUES (1, 'X1')");
        db().exec("INSERT INTO LoanList_tab (CopyID, BookID, ReaderID) VALUES (1, 1, 1)");
        db().exec("DELETE FROM Books_tab WHERE BookID = 1");
        db().exec("DELETE FROM Copies_tab WHERE BookID = 1");
        db().exec("DELETE FROM LoanList_tab WHERE BookID = 1");
        QCOMPARE(count("SELECT COUNT(*) FROM Copies_tab"), 0);
    }

    void labelsComeFromTheRegistry()
    {
        const Schema& schema = Schema::instance();
        QCOMPARE(schema.label("Readers_tab", "HomePhone"), QStringLiteral("书室"));
        QCOMPARE(schema.label("Users_tab", "title"), QStringLiteral("书室"));
        QCOMPARE(schema.label("Books_view", "RemainCount"), QStringLiteral("剩余册数"));
        QCOMPARE(schema.label("Books_view", "bookname"), QStringLiteral("书刊名称"));
        QCOMPARE(schema.label("Readers_view", "ReaderCateName"), QStringLiteral("读者类别"));
        QCOMPARE(schema.label("Pictures_tab", "PicContent"), QString());
    }

    void creatingTwiceIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(AppError, CreateDatabaseSchema(db()));
        QCOMPARE(count("SELECT COUNT(*) FROM Par_tab"), 1);
    }
};

QTEST_GUILESS_MAIN(SchemaTest)
#include "tst_schema.moc"
