#include "FinderFixture.h"

#include "finder/FinderService.h"
#include "foundation/Errors.h"
#include "foundation/PagedQueryModel.h"

#include <QSet>
#include <QSignalSpy>
#include <QtTest>

// Searching the catalogue on each engine: what is found, the count, the copies that
// follow the current title, and that a large result is read lazily.
class FinderServiceTest : public QObject
{
    Q_OBJECT

private:
    static qint64 bookIdAt(const TFinderService& service, qint64 row)
    {
        PagedQueryModel* books = service.BooksQuery();
        return books->value(row, books->fieldIndex("BookID")).toLongLong();
    }

    static QStringList copyBarcodes(const TFinderService& service)
    {
        PagedQueryModel* copies = service.CopiesQuery();
        QStringList barcodes;
        for (int row = 0; row < copies->rowCount(); ++row)
            barcodes.append(copies->value(row, copies->fieldIndex("BookBarCode")).toString());
        barcodes.sort();
        return barcodes;
    }

private slots:
    void emptyTextListsEveryTitleLazily()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        QSignalSpy counted(&service, &TFinderService::titleCountKnown);
        service.Search("BookName", "");
        QCOMPARE(service.lastStatement(), "SELECT * FROM Books_view\r\nWHERE 1=1");
        QCOMPARE(counted.size(), 1);
        QCOMPARE(counted.first().first().toLongLong(), fixture.totalTitles);
        QCOMPARE(service.TitleCount(), fixture.totalTitles);
        QCOMPARE(service.BooksQuery()->rowCount(), fixture.totalTitles);
        // Only the first page was read; the copies follow the first title.
        QCOMPARE(service.BooksQuery()->cachedPageCount(), 1);
        QCOMPARE(service.currentTitle(), 0);
        QCOMPARE(service.CopiesQuery()->rowCount(), fixture.copiesOf(bookIdAt(service, 0)));

        // Reading on to the end gives every title exactly once.
        QSet<qint64> seen;
        for (qint64 row = 0; row < fixture.totalTitles; ++row)
            seen.insert(bookIdAt(service, row));
        QCOMPARE(seen.size(), fixture.totalTitles);
        QVERIFY(!seen.contains(0));
    }

    void searches_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("barcodes");  // of the one title expected

        const QStringList obrien{"QB-0001", "QB-0002", "QB-0003"};
        QTest::newRow("quote in the text") << "Author" << "O'Brien" << obrien;
        QTest::newRow("another case") << "Author" << "o'brien" << obrien;
        QTest::newRow("barcode of the last copy") << "BookBarCode" << "QB-0003" << obrien;
        QTest::newRow("call number of one copy") << "BookCode" << "ZZ7/16" << obrien;
        QTest::newRow("wildcard as typed") << "BookName" << "尤利_斯" << obrien;
        QTest::newRow("backslash") << "BookName" << "C:\\Temp" << QStringList{"QB-0100"};
    }

    void searches()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QStringList, barcodes);
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.Search(field, text);
        QCOMPARE(service.TitleCount(), 1);
        QCOMPARE(service.BooksQuery()->rowCount(), 1);
        QCOMPARE(copyBarcodes(service), barcodes);
    }

    void copyFieldFindsEachTitleOnce()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.Search("BookBarCode", "QB-000");  // three copies of one title
        QCOMPARE(service.TitleCount(), 1);
        QCOMPARE(bookIdAt(service, 0), fixture.obrienId);
    }

    void noMatchEmptiesTheCopies()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.Search("BookName", "");
        QVERIFY(service.CopiesQuery()->rowCount() > 0);
        QSignalSpy counted(&service, &TFinderService::titleCountKnown);
        service.Search("Publisher", "不存在的出版社");
        QCOMPARE(counted.size(), 1);
        QCOMPARE(counted.first().first().toLongLong(), 0);
        QCOMPARE(service.BooksQuery()->rowCount(), 0);
        QCOMPARE(service.CopiesQuery()->rowCount(), 0);
        QCOMPARE(service.currentTitle(), -1);
    }

    void copiesFollowTheCurrentTitle()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.Search("BookName", "");
        const qint64 last = fixture.totalTitles - 1;
        service.SelectTitle(last);
        QCOMPARE(service.currentTitle(), last);
        PagedQueryModel* copies = service.CopiesQuery();
        QCOMPARE(copies->rowCount(), fixture.copiesOf(bookIdAt(service, last)));
        for (int row = 0; row < copies->rowCount(); ++row)
            QCOMPARE(copies->value(row, copies->fieldIndex("BookID")).toLongLong(), bookIdAt(service, last));

        service.SelectTitle(fixture.totalTitles);  // past the end
        QCOMPARE(copies->rowCount(), 0);
        QCOMPARE(service.currentTitle(), -1);
    }

    void countOnAConnectionOfItsOwn()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.setBackgroundCount(fixture.test->connectionString());
        QSignalSpy counted(&service, &TFinderService::titleCountKnown);
        service.Search("BookName", "");
        QTRY_COMPARE(counted.size(), 1);
        QCOMPARE(counted.first().first().toLongLong(), fixture.totalTitles);
        QCOMPARE(service.BooksQuery()->rowCount(), fixture.totalTitles);
    }

    void databaseErrorReachesTheCaller()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        service.Search("BookName", "");
        QVERIFY_THROWS_EXCEPTION(AppError, service.Search("NoSuchColumn", "x"));
        service.Search("BookName", "尤利西斯");
        QCOMPARE(service.TitleCount(), 1);
    }
};

QTEST_GUILESS_MAIN(FinderServiceTest)
#include "tst_finderservice.moc"
