#include "finder/FinderService.h"
#include "finder/FitColumns.h"
#include "foundation/Dialect.h"

#include <QRandomGenerator>
#include <QtTest>

Q_DECLARE_METATYPE(GridFitFrame)

// The kiosk's search condition and statement, and how it fits the copies' columns.
class FinderRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void condition_data()
    {
        QTest::addColumn<bool>("fileDatabase");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("condition");

        const QString copies = QStringLiteral("BookID IN(SELECT BookID FROM Copies_tab WHERE %1)");
        for (bool file : {true, false}) {
            const char* engine = file ? "file" : "server";
            auto row = [&](const char* name) -> QTestData& { return QTest::addRow("%s %s", engine, name) << file; };
            row("title") << "BookName" << "红楼" << "BookName LIKE '%红楼%'";
            row("call number") << "BookCode" << "I24" << copies.arg("BookCode LIKE '%I24%'");
            row("barcode") << "BookBarCode" << "0001" << copies.arg("BookBarCode LIKE '%0001%'");
            row("quote") << "Author" << "O'Brien" << "Author LIKE '%O''Brien%'";
            row("quote in copies") << "BookCode" << "'" << copies.arg("BookCode LIKE '%''%'");
            row("wildcards as typed") << "BookName" << "红_梦%" << "BookName LIKE '%红_梦%%'";
            row("blank is a text") << "Publisher" << " " << "Publisher LIKE '% %'";
            row("empty text") << "BookName" << "" << "";
            row("no field") << "" << "红楼" << "";
        }
        // The server's LIKE treats a backslash as its escape character unless doubled.
        QTest::newRow("file backslash") << true << "BookName" << "C:\\" << "BookName LIKE '%C:\\%'";
        QTest::newRow("server backslash") << false << "BookName" << "C:\\" << "BookName LIKE '%C:\\\\%'";
    }

    void condition()
    {
        QFETCH(bool, fileDatabase);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, condition);
        SqliteDialect file;
        PostgresDialect server;
        const Dialect& dialect = fileDatabase ? static_cast<const Dialect&>(file) : server;
        QCOMPARE(BuildFinderCondition(field, text, dialect), condition);
    }

    void statements()
    {
        QCOMPARE(FinderTitlesSql("BookName LIKE '%红楼%'"), "SELECT * FROM Books_view\r\nWHERE BookName LIKE '%红楼%'");
        QCOMPARE(FinderTitlesSql({}), "SELECT * FROM Books_view\r\nWHERE 1=1");
        QCOMPARE(FinderCopiesSql(42), "SELECT * FROM Copies_tab WHERE BookID = 42");
        QCOMPARE(FinderStatusText(0), "找到书刊信息：0 条");
        QCOMPARE(FinderStatusText(1000000), "找到书刊信息：1000000 条");
    }

    void fitColumns_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("gridWidth");
        QTest::addColumn<GridFitFrame>("frame");
        QTest::addColumn<QList<int>>("fitted");

        const GridFitFrame plain{16, false, false, GridBorder::None};
        QTest::newRow("widen evenly, remainder uncovered") << QList<int>{100, 50, 30} << 300 << plain
                                                           << QList<int>{134, 84, 64};
        QTest::newRow("narrow, one more for a remainder") << QList<int>{100, 50, 30} << 150 << plain
                                                          << QList<int>{84, 34, 14};
        QTest::newRow("narrow, exact division") << QList<int>{100, 50, 30} << 166 << plain << QList<int>{90, 40, 20};
        QTest::newRow("already fitting") << QList<int>{100, 84} << 200 << plain << QList<int>{100, 84};
        QTest::newRow("indicator, lines, 3-D border")
            << QList<int>{60, 60} << 200 << GridFitFrame{16, true, true, GridBorder::Sunken3D} << QList<int>{83, 83};
        QTest::newRow("indicator, flat border") << QList<int>{60, 60, 60} << 150
                                                << GridFitFrame{10, true, false, GridBorder::Flat}
                                                << QList<int>{42, 42, 42};
        QTest::newRow("lines without indicator") << QList<int>{50, 50} << 120
                                                 << GridFitFrame{0, false, true, GridBorder::None} << QList<int>{59, 59};
        QTest::newRow("no columns") << QList<int>{} << 500 << plain << QList<int>{};
        QTest::newRow("narrower than the columns") << QList<int>{10, 40} << 20 << GridFitFrame{}
                                                   << QList<int>{-5, 25};
    }

    void fitColumns()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, gridWidth);
        QFETCH(GridFitFrame, frame);
        QFETCH(QList<int>, fitted);
        QCOMPARE(FitColumnWidths(widths, gridWidth, frame), fitted);
    }

    // Whatever the widths: never wider than the grid, at most k - 1 pixels uncovered, the
    // columns keep their differences, and the result does not depend on earlier fits.
    void fitColumnsInvariants()
    {
        QRandomGenerator random(7);
        const GridFitFrame frame{17, true, true, GridBorder::Sunken3D};
        const int frameTakes = 17 + 11 + 1 + 4;
        for (int round = 0; round < 500; ++round) {
            QList<int> widths;
            const int k = random.bounded(1, 12);
            for (int i = 0; i < k; ++i)
                widths.append(random.bounded(5, 200));
            const int gridWidth = random.bounded(40 + 10 * k, 2000);
            const QList<int> fitted = FitColumnWidths(widths, gridWidth, frame);
            int total = k;
            for (int i = 0; i < k; ++i) {
                total += fitted[i];
                QCOMPARE(fitted[i] - widths[i], fitted[0] - widths[0]);
            }
            const int available = gridWidth - frameTakes;
            QVERIFY2(total <= available && available - total < k,
                     qPrintable(QStringLiteral("%1 of %2").arg(total).arg(available)));
            const QList<int> viaNarrow = FitColumnWidths(FitColumnWidths(widths, 10, frame), gridWidth, frame);
            QCOMPARE(viaNarrow, fitted);
        }
    }
};

QTEST_APPLESS_MAIN(FinderRulesTest)
#include "tst_finderrules.moc"
