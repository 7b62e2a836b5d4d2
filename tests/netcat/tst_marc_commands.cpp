#include "TestSupport.h"

#include "admin/Commands.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QtTest>

namespace {

struct CommandRun
{
    int status = 0;
    QString out;
    QString err;
};

CommandRun Run(int (*command)(const QStringList&, QTextStream&, QTextStream&), const QStringList& args)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = command(args, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace

class TestMarcCommands : public QObject
{
    Q_OBJECT

private slots:
    void priceLines()
    {
        const CommandRun run = Run(runPrice, {"CNY25.00", "US$12.99", "全套定价CNY120.00(共3册)", "台币一·二00元", "XYZ7"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("25\tCNY\t\n12.99\tUSD\t\n120\tCNY\t全套定价 (共3册)\n1200\tTWD\t\n7\t\t\n"));
        QVERIFY(run.err.isEmpty());
    }

    void strictPriceStopsAtError()
    {
        const CommandRun run = Run(runPrice, {"--strict", "CNY2", "XYZ7", "CNY3"});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("2\tCNY\t\n"));
        QCOMPARE(run.err, QStringLiteral("未知币种：XYZ >> XYZ7 >> XYZ7\n"));
        QCOMPARE(Run(runPrice, {"--strict"}).status, 2);
    }

    void marcResource()
    {
        const CommandRun run = Run(runMarc, {testDataPath("marc-full.txt")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith(QStringLiteral(R"({"Title":"物权法: 理论与实务 第2卷 总则","Responsibility":"王利明 著",)")));
        const QJsonObject resource = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(resource.keys().size(), 17);
        QCOMPARE(resource.value("Price").toDouble(), 45.0);
        QVERIFY(run.out.contains(QStringLiteral(R"("ResourceType":"图书","Price":45,"Edition":"第2版",)")));
    }

    void marcRecord()
    {
        const CommandRun run = Run(runMarc, {"--record", testDataPath("marc-full.txt")});
        QCOMPARE(run.status, 0);
        const QJsonObject record = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(record.value("ResourceType").toString(), QStringLiteral("rtBookChinese"));
        QCOMPARE(record.value("StandardNumbers").toArray().size(), 2);
        QCOMPARE(record.value("ClassNumber").toObject().value("z").toArray().first().toString(),
                 QStringLiteral("D923.2"));
        QVERIFY(run.out.startsWith(QStringLiteral(R"({"State":"msNormal","ResourceType":"rtBookChinese",)")));
    }

    void marcStrictErrors()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("010  |a7-5036-1234-X|dCNY25\r\n2001 |a书名|b手稿\r\n");
        file.close();
        const CommandRun lenient = Run(runMarc, {file.fileName()});
        QCOMPARE(lenient.status, 0);
        QVERIFY(lenient.out.contains(QStringLiteral(R"("Title":"书名")")));
        const CommandRun strict = Run(runMarc, {"--strict", file.fileName()});
        QCOMPARE(strict.status, 1);
        QCOMPARE(strict.err, QStringLiteral("Parser: 未处理的资源类型：手稿\n"));
        QCOMPARE(Run(runMarc, {"/nonexistent/marc.txt"}).status, 1);
    }
};

QTEST_GUILESS_MAIN(TestMarcCommands)
#include "tst_marc_commands.moc"
