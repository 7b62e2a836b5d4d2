#include "TestDatabase.h"

#include "admin/AdminCommand.h"
#include "foundation/ConnectionString.h"
#include "foundation/Configs.h"

#include <QTemporaryDir>
#include <QtTest>

// velmora-admin's database commands as scripts call them.
class AdminCommandsTest : public QObject
{
    Q_OBJECT

private:
    struct Result
    {
        int status;
        QString out;
        QString err;
    };

    static Result run(const QStringList& args)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = runAdmin(args, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {status, out, err};
    }

    QString freshConnection()
    {
        if (testEngine() == "postgres")
            return testServerConnection(QStringLiteral("admin_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_counter));
        return "Provider = SQLite; Data Source = " + m_dir.filePath(QStringLiteral("db%1.db").arg(++m_counter));
    }

    QTemporaryDir m_dir;
    int m_counter = 0;

private slots:
    void initDbCreatesSeedsAndRefusesASecondTime()
    {
        const QString connection = freshConnection();
        const Result first = run({"init-db", "--connection", connection});
        QVERIFY2(first.status == 0, qPrintable(first.err));
        auto database = Database::open(connection);
        QCOMPARE(database->scalar("SELECT COUNT(*) FROM UserFun_tab").toInt(), 15);
        database.reset();

        const Result second = run({"init-db", "--connection", connection});
        QCOMPARE(second.status, 1);
        QVERIFY(second.err.contains("已有图书馆数据表"));
    }

    void demoDataFillsAnInitialisedDatabase()
    {
        const QString connection = freshConnection();
        QCOMPARE(run({"demo-data", "--connection", connection, "--titles", "5"}).status, 1); // not initialised
        QCOMPARE(run({"init-db", "--connection", connection}).status, 0);
        const Result result = run({"demo-data", "--connection", connection, "--titles", "20", "--copies-per-title", "2",
                                   "--readers", "5", "--loans", "30"});
        QVERIFY2(result.status == 0, qPrintable(result.err));
        QVERIFY(result.out.contains("书刊 20 种"));
        QCOMPARE(Database::open(connection)->scalar("SELECT COUNT(*) FROM Copies_tab").toInt(), 40);
    }

    void badArgumentsFailWithAMessage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("missing value") << QStringList{"init-db", "--connection"} << 1;
        QTest::newRow("unknown option") << QStringList{"init-db", "--colour", "red"} << 1;
        QTest::newRow("negative count") << QStringList{"demo-data", "--titles", "-3"} << 1;
        QTest::newRow("not a number") << QStringList{"demo-data", "--loans", "many"} << 1;
        QTest::newRow("unknown provider") << QStringList{"init-db", "--connection", "Provider = Jet; Data Source = x"} << 1;
        QTest::newRow("unreachable server")
            << QStringList{"init-db", "--connection", "Provider = PostgreSQL; Data Source = /nonexistent; Port = 1; Initial Catalog = x"} << 1;
        QTest::newRow("set-db without target") << QStringList{"set-db"} << 1;
        QTest::newRow("set-db bad port") << QStringList{"set-db", "--server", "h", "--port", "99999"} << 1;
    }

    void badArgumentsFailWithAMessage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        const Result result = run(args);
        QCOMPARE(result.status, status);
        QVERIFY(!result.err.isEmpty());
    }

    void setDbWritesTheDatabaseKeys()
    {
        QTemporaryDir folder;
        QCOMPARE(run({"set-db", "--server", "db.example", "--port", "6000", "--user", "lib", "--password", "s;cret",
                      "--config", folder.path()}).status, 0);
        TConfigManager config(folder.path());
        const TCurrentDBInfo server = config.ReadCurrentDBInfo();
        QVERIFY(!server.CurrentDBIsFile);
        const ConnectionString settings = ConnectionString::parse(server.ConnectionString);
        QCOMPARE(settings.value("Data Source"), QStringLiteral("db.example"));
        QCOMPARE(settings.value("Port"), QStringLiteral("6000"));
        QCOMPARE(settings.value("Password"), QStringLiteral("s;cret"));
        QVERIFY(!config.ReadString("Server", "Password", "").contains("s;cret"));

        QCOMPARE(run({"set-db", "--file", "library.db", "--config", folder.path()}).status, 0);
        QCOMPARE(config.ReadCurrentDBInfo().CurrentDBName, folder.path() + "/library.db");
    }
};

QTEST_GUILESS_MAIN(AdminCommandsTest)
#include "tst_admincommands.moc"
