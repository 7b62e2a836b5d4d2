#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode;
    QByteArray out;
    QByteArray err;
};

Run runAdmin(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(VELMORA_ADMIN, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("velmora-admin did not finish");
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class TestInputCodeCommand : public QObject
{
    Q_OBJECT

private slots:
    void printsOneCodePerArgument()
    {
        const Run run = runAdmin({"inputcode", "物权法", "ISBN 978-7", "", "Excel 2016（第2版）"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("WQF\nISBN978-7\n\nEXCEL2016(D2B)\n"));
    }

    void printsOneCodePerInputLine()
    {
        const QByteArray input = "李明\r\n"
                                 "\xFF\xFE" "科学\xE5\x87\n"  // invalid and truncated UTF-8
                                 "\n"
                                 "《红楼梦》";  // no line end
        const Run run = runAdmin({"inputcode", "-"}, input);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("LM\n??KX??\n\nHLM\n"));
    }

    void emptyInputGivesNoLines()
    {
        const Run run = runAdmin({"inputcode", "-"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray());
    }

    void withoutTextItShowsUsage()
    {
        const Run run = runAdmin({"inputcode"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("inputcode"));
    }
};

QTEST_GUILESS_MAIN(TestInputCodeCommand)
#include "tst_inputcode_command.moc"
