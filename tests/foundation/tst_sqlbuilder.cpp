#include "foundation/SQLBuilder.h"

#include <QtTest>

// The builder's text layout is what the list windows rely on to find the condition,
// the always-condition and the order again.
class SqlBuilderTest : public QObject
{
    Q_OBJECT

private:
    static QString lines(std::initializer_list<const char*> parts)
    {
        QStringList list;
        for (const char* part : parts)
            list.append(QString::fromUtf8(part));
        return list.join("\r\n");
    }

private slots:
    void buildsTheThreeLineLayout_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("always");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << "" << "" << "" << lines({"SELECT * FROM Books_view", "WHERE 1=1"});
        QTest::newRow("condition") << "BookName LIKE '%史%'" << "" << ""
                                   << lines({"SELECT * FROM Books_view", "WHERE BookName LIKE '%史%'"});
        QTest::newRow("always only") << "" << "BookRoom = '二楼'" << ""
                                     << lines({"SELECT * FROM Books_view", "WHERE 1=1     AND     BookRoom = '二楼'"});
        QTest::newRow("all three") << "A = 1" << "B = 2" << "BookID"
                                   << lines({"SELECT * FROM Books_view", "WHERE A = 1     AND     B = 2",
                                             "ORDER BY BookID"});
        QTest::newRow("blank condition") << "  " << "" << "BookID DESC"
                                         << lines({"SELECT * FROM Books_view", "WHERE 1=1", "ORDER BY BookID DESC"});
    }
    void buildsTheThreeLineLayout()
    {
        QFETCH(QString, where);
        QFETCH(QString, always);
        QFETCH(QString, order);
        QFETCH(QString, expected);
        QCOMPARE(TSQLBuilder::SQL("SELECT * FROM Books_view", where, always, order), expected);
    }

    void replacesOnePartAndKeepsTheOthers_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const QString full = lines({"SELECT * FROM Books_view", "WHERE A = 1     AND     B = 2", "ORDER BY BookID"});
        QTest::newRow("where keeps always") << "Where" << "C = 3" << full
                                            << lines({"SELECT * FROM Books_view", "WHERE C = 3     AND     B = 2", "ORDER BY BookID"});
        QTest::newRow("empty where") << "Where" << "" << full
                                     << lines({"SELECT * FROM Books_view", "WHERE 1=1     AND     B = 2", "ORDER BY BookID"});
        QTest::newRow("always replaced") << "WhereAlways" << "D = 4" << full
                                         << lines({"SELECT * FROM Books_view", "WHERE A = 1     AND     D = 4", "ORDER BY BookID"});
        QTest::newRow("always removed") << "WhereAlways" << "" << full
                                        << lines({"SELECT * FROM Books_view", "WHERE A = 1", "ORDER BY BookID"});
        QTest::newRow("always added") << "WhereAlways" << "D = 4" << lines({"SELECT * FROM T", "WHERE A = 1"})
                                      << lines({"SELECT * FROM T", "WHERE A = 1     AND     D = 4"});
        QTest::newRow("order replaced") << "OrderBy" << "BookName DESC, BookID" << full
                                        << lines({"SELECT * FROM Books_view", "WHERE A = 1     AND     B = 2",
                                                  "ORDER BY BookName DESC, BookID"});
        QTest::newRow("order removed") << "OrderBy" << "" << full
                                       << lines({"SELECT * FROM Books_view", "WHERE A = 1     AND     B = 2"});
        QTest::newRow("order appended") << "OrderBy" << "CopyID" << lines({"SELECT * FROM T", "WHERE 1=1"})
                                        << lines({"SELECT * FROM T", "WHERE 1=1", "ORDER BY CopyID"});
        QTest::newRow("no order, none given") << "OrderBy" << "" << lines({"SELECT * FROM T", "WHERE 1=1"})
                                              << lines({"SELECT * FROM T", "WHERE 1=1"});
        QTest::newRow("select list") << "SelectList" << "DISTINCT BookType" << full
                                     << lines({"SELECT DISTINCT BookType FROM Books_view", "WHERE A = 1     AND     B = 2",
                                               "ORDER BY BookID"});
        QTest::newRow("select list star") << "SelectList" << "" << lines({"SELECT A, B FROM T", "WHERE 1=1"})
                                          << lines({"SELECT * FROM T", "WHERE 1=1"});
        QTest::newRow("select list of a nested select")
            << "SelectList" << "COUNT(*)" << "SELECT * FROM ( SELECT X FROM Y ) AS Z"
            << "SELECT COUNT(*) FROM ( SELECT X FROM Y ) AS Z";
        // The prefixes are exact: lower-case words are not the builder's lines.
        QTest::newRow("lower-case where untouched") << "Where" << "C = 3" << "select * from T\r\nwhere A = 1"
                                                    << "select * from T\r\nwhere A = 1";
        QTest::newRow("lower-case select untouched") << "SelectList" << "A" << "select * from T" << "select * from T";
        QTest::newRow("order by of a sub-select is no order line")
            << "OrderBy" << "B" << "SELECT * FROM T\r\nWHERE A IN (SELECT A FROM U ORDER BY A)"
            << "SELECT * FROM T\r\nWHERE A IN (SELECT A FROM U ORDER BY A)\r\nORDER BY B";
    }
    void replacesOnePartAndKeepsTheOthers()
    {
        QFETCH(QString, operation);
        QFETCH(QString, argument);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QString result;
        if (operation == "Where")
            result = TSQLBuilder::Where(before, argument);
        else if (operation == "WhereAlways")
            result = TSQLBuilder::WhereAlways(before, argument);
        else if (operation == "OrderBy")
            result = TSQLBuilder::OrderBy(before, argument);
        else
            result = TSQLBuilder::SelectList(before, argument);
        QCOMPARE(result, after);
    }

    // The list window's round trip: filter, book room and sort changed independently.
    void independentChangesCompose()
    {
        QString sql = TSQLBuilder::SQL("SELECT * FROM Books_view", {}, "BookRoom = '二楼'", "BookID");
        sql = TSQLBuilder::Where(sql, "BookName = 'x'");
        sql = TSQLBuilder::OrderBy(sql, "");
        sql = TSQLBuilder::Where(sql, "");
        QCOMPARE(sql, lines({"SELECT * FROM Books_view", "WHERE 1=1     AND     BookRoom = '二楼'"}));
        QCOMPARE(TSQLBuilder::WhereAlways(sql, ""), lines({"SELECT * FROM Books_view", "WHERE 1=1"}));
    }
};

QTEST_GUILESS_MAIN(SqlBuilderTest)
#include "tst_sqlbuilder.moc"
