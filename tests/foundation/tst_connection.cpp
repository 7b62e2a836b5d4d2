#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/ConnectionString.h"
#include "foundation/DataModule.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Connecting at start-up from the workstation's configuration, on each engine.
class ConnectionTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + '/'; }

    void writeIni(const QString& text)
    {
        QFile file(folder() + "Config.ini");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    // Points Config.ini at the test database of this run's engine.
    void configureFor(const TestDatabase& test)
    {
        const ConnectionString settings = ConnectionString::parse(test.connectionString());
        if (test.isPostgres()) {
            writeIni(QStringLiteral("[Database]\nDBType=1\n[Server]\nServer=%1\nPort=%2\nDBName=%3\nUser=%4\n")
                         .arg(settings.value("Data Source"), settings.value("Port"), settings.value("Initial Catalog"),
                              settings.value("User ID")));
        } else {
            writeIni("[File]\nFileName=" + settings.value("Data Source") + "\n");
        }
    }

    int errorCount(const RecordingPresenter& messages) const { return int(messages.textsOf(MessageKind::Error).size()); }

private slots:
    void init()
    {
        QFile::remove(folder() + "Config.ini");
        QFile::remove(folder() + "Codexa.DB");
        QFile::remove(folder() + "Codexa.MDB");
    }

    void connectsAndFindsTheCardStore()
    {
        auto test = TestDatabase::create();
        configureFor(*test);
        RecordingPresenter messages;
        TConfigManager config(folder());
        TDM1 dm;
        QVERIFY(dm.ConnDB(config));
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(CurrentDB.CurrentDBIsFile, !test->isPostgres());
        QVERIFY(!CardStoreEnabled);
        QCOMPARE(dm.CodexaConn().scalar("SELECT COUNT(*) FROM Par_tab").toInt(), 1);

        test->db().exec("CREATE TABLE CardStore(CardID varchar(20) PRIMARY KEY)");
        TDM1 again;
        QVERIFY(again.ConnDB(config));
        QVERIFY(CardStoreEnabled);
    }

    void unreachableDatabaseShowsExactlyOneError()
    {
        if (testEngine() == "postgres")
            writeIni("[Database]\nDBType=1\n[Server]\nServer=/nonexistent-socket-folder\nPort=1\n");
        else
            writeIni("[File]\nFileName=missing.db\n");
        RecordingPresenter messages;
        TConfigManager config(folder());
        TDM1 dm;
        QVERIFY(!dm.ConnDB(config));
        QVERIFY(!dm.isConnected());
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].kind, MessageKind::Error);
        QVERIFY(messages.messages[0].text.startsWith("连接数据库失败。请根据以下错误信息检查数据库、网络以及客户端配置是否正确。"));
        QVERIFY(!QFile::exists(folder() + "missing.db")); // nothing is created by connecting
    }

    void corruptFileShowsTheConnectionError()
    {
        if (testEngine() == "postgres")
            QSKIP("file databases only");
        QFile garbage(folder() + "Codexa.DB");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, '\x5a'));
        garbage.close();
        RecordingPresenter messages;
        TConfigManager config(folder());
        TDM1 dm;
        QVERIFY(!dm.ConnDB(config));
        QCOMPARE(errorCount(messages), 1);
    }

    void legacyFileIsMovedOnlyWhenTheNewOneIsMissing()
    {
        if (testEngine() == "postgres")
            QSKIP("file databases only");
        auto test = TestDatabase::create();
        const QString source = ConnectionString::parse(test->connectionString()).value("Data Source");
        QVERIFY(QFile::copy(source, folder() + "Codexa.MDB"));
        RecordingPresenter messages;
        TConfigManager config(folder());
        {
            TDM1 dm;
            QVERIFY(dm.ConnDB(config));
        }
        QVERIFY(QFile::exists(folder() + "Codexa.DB"));
        QVERIFY(!QFile::exists(folder() + "Codexa.MDB"));
        QCOMPARE(CurrentDB.CurrentDBName, folder() + "Codexa.DB");

        QVERIFY(QFile::copy(source, folder() + "Codexa.MDB"));
        TDM1 dm;
        QVERIFY(dm.ConnDB(config));
        QVERIFY(QFile::exists(folder() + "Codexa.MDB"));
    }

    void catalogueConnectionReplacesTheDatabaseName_data()
    {
        QTest::addColumn<QString>("dbName");
        QTest::addColumn<QString>("expectedCatalog");
        QTest::newRow("default name") << "CodexaDB" << "tempdbs";
        QTest::newRow("other name") << "Library" << "Library";
        QTest::newRow("other case") << "codexadb" << "codexadb";
    }

    void catalogueConnectionReplacesTheDatabaseName()
    {
        QFETCH(QString, dbName);
        QFETCH(QString, expectedCatalog);
        writeIni("[Database]\nDBType=1\n[Server]\nServer=/nonexistent-socket-folder\nPort=1\nDBName=" + dbName + "\n");
        RecordingPresenter messages;
        TConfigManager config(folder());
        TDM1 dm;
        QVERIFY(!dm.ConnDB(config));
        const ConnectionString catalogue = ConnectionString::parse(dm.BookDBServerConnString());
        QCOMPARE(catalogue.value("Initial Catalog"), expectedCatalog);
        QCOMPARE(catalogue.value("Data Source"), QStringLiteral("/nonexistent-socket-folder"));
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
