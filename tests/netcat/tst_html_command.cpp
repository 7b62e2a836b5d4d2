#include "admin/Commands.h"

#include <QTemporaryDir>
#include <QtTest>

class TestHtmlCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void run_data();
    void run();

private:
    QTemporaryDir m_folder;
};

void TestHtmlCommand::init()
{
    QVERIFY(m_folder.isValid());
}

void TestHtmlCommand::run_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("arguments");   // PAGE stands for the page's file
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");

    const QString page = QString::fromUtf8("<td class=td1>题名\r\n\tb<i>c</i></td><td class='td1 x'></td><p class=td1>");
    QTest::newRow("one line per match, line breaks spelled out")
        << page << QStringList{"PAGE", "td.td1"} << 0 << QString::fromUtf8("TD\t题名\\r\\n\\tbc\nTD\t\n") << "";
    QTest::newRow("no match") << page << QStringList{"PAGE", "span"} << 0 << "" << "";
    QTest::newRow("tree")
        << "<!DOCTYPE html><p id=x lang=\"a\tb\">a<br>b<!--c\n--><script>s</script>"
        << QStringList{"--tree", "PAGE"} << 0
        << "#DOCUMENT\n"
           "  #DOCTYPE html\n"
           "  P id=\"x\" lang=\"a\\tb\"\n"
           "    #TEXT a\n"
           "    BR\n"
           "    #TEXT b\n"
           "    #COMMENT <!--c\\n-->\n"
           "    SCRIPT\n"
           "      #SCRIPT s\n"
        << "";
    QTest::newRow("unreadable page") << "<p>\n<a href=\"x>" << QStringList{"PAGE", "a"} << 1 << ""
                                     << QString::fromUtf8("LineNum:2无法找到Tag结束点:<a href=\"x>\n");
    QTest::newRow("unreadable selector") << page << QStringList{"PAGE", "td[x"} << 1 << ""
                                         << QString::fromUtf8("无法解析Attribute值[1,5]\n");
    QTest::newRow("missing file") << page << QStringList{"MISSING", "td"} << 1 << "" << "*";
    QTest::newRow("wrong arguments") << page << QStringList{"PAGE"} << 2 << "" << "*";
}

void TestHtmlCommand::run()
{
    QFETCH(QString, html);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);

    QFile page(m_folder.filePath(QStringLiteral("page.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write(html.toUtf8());
    page.close();
    arguments.replaceInStrings(QStringLiteral("PAGE"), page.fileName());
    arguments.replaceInStrings(QStringLiteral("MISSING"), m_folder.filePath(QStringLiteral("missing.html")));

    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    QCOMPARE(runHtml(arguments, out, err), status);
    out.flush();
    err.flush();
    QCOMPARE(outText, output);
    if (errors == u"*")
        QVERIFY(!errText.isEmpty());
    else
        QCOMPARE(errText, errors);
}

QTEST_GUILESS_MAIN(TestHtmlCommand)
#include "tst_html_command.moc"
