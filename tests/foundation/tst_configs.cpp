#include "foundation/Configs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class ConfigsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString folder() const { return m_dir.path() + '/'; }
    QString iniPath() const { return folder() + "Config.ini"; }
    void writeIni(const QByteArray& text)
    {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    QByteArray readIni() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { QFile::remove(iniPath()); }

    void missingFileGivesTheFileDatabaseBesideTheProgram()
    {
        TConfigManager config(folder());
        const TCurrentDBInfo info = config.ReadCurrentDBInfo();
        QVERIFY(info.CurrentDBIsFile);
        QCOMPARE(info.CurrentDBType, QStringLiteral("文件数据库"));
        QCOMPARE(info.CurrentDBName, folder() + "Codexa.DB");
        QCOMPARE(info.CurrentDBServer, QString());
        QCOMPARE(info.ConnectionString, "Provider = SQLite; Data Source = " + folder() + "Codexa.DB");
        QVERIFY(!QFile::exists(iniPath())); // reading never creates the file
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("expected"); // "@" stands for the program folder
        QTest::newRow("bare name") << "lib.db" << "@lib.db";
        QTest::newRow("relative folder") << "data/lib.db" << "data/lib.db";
        QTest::newRow("backslash folder") << "data\\lib.db" << "data/lib.db";
        QTest::newRow("absolute") << "/srv/lib.db" << "/srv/lib.db";
        QTest::newRow("blanks trimmed") << "  lib.db  " << "@lib.db";
        QTest::newRow("legacy name") << "codexa.mdb" << "@Codexa.DB";
        QTest::newRow("legacy name mixed case") << "CODEXA.Mdb" << "@Codexa.DB";
    }

    void fileNames()
    {
        QFETCH(QString, configured);
        QFETCH(QString, expected);
        writeIni("[File]\nFileName=" + configured.toUtf8() + "\n[UI]\nMainNavBar=0\n");
        TConfigManager config(folder());
        QCOMPARE(config.ReadCurrentDBInfo().CurrentDBName, expected.replace('@', folder()));
        const bool legacy = configured.trimmed().compare("Codexa.MDB", Qt::CaseInsensitive) == 0;
        QCOMPARE(config.ReadString("File", "FileName", "<gone>") == "<gone>", legacy);
        QCOMPARE(config.ReadBoolean("UI", "MainNavBar", true), false); // other keys survive
    }

    void serverWithoutSectionUsesDefaults()
    {
        writeIni("[Database]\nDBType=1\n");
        TConfigManager config(folder());
        const TCurrentDBInfo info = config.ReadCurrentDBInfo();
        QVERIFY(!info.CurrentDBIsFile);
        QCOMPARE(info.CurrentDBType, QStringLiteral("PostgreSQL"));
        QCOMPARE(info.CurrentDBName, QStringLiteral("CodexaDB"));
        QCOMPARE(info.CurrentDBServer, QStringLiteral("localhost"));
        QCOMPARE(info.ConnectionString, QStringLiteral("Provider = PostgreSQL; Data Source = localhost; Port = 5432; "
                                                       "Initial Catalog = CodexaDB; User ID = ; Password = "));
    }

    void serverCredentialsAreUnscrambledAndQuotedWhenNeeded()
    {
        writeIni("[Database]\nDBType=7\n[Server]\nServer=db1\nPort=6543\nDBName=Lib\nUser=ann\nPassword="
                 + ScrambleConfigText("p;w d").toUtf8() + "\n");
        TConfigManager config(folder());
        QCOMPARE(config.ReadCurrentDBInfo().ConnectionString,
                 QStringLiteral("Provider = PostgreSQL; Data Source = db1; Port = 6543; Initial Catalog = Lib; "
                                "User ID = ann; Password = \"p;w d\""));
    }

    void scrambling()
    {
        QCOMPARE(ScrambleConfigText(""), QString());
        QCOMPARE(UnscrambleConfigText(""), QString());
        QCOMPARE(ScrambleConfigText("a"), QString::fromLatin1(QByteArray("0aa001").toBase64()));
        for (const QString& text : {QStringLiteral("a"), QStringLiteral("secret"), QStringLiteral("图书馆😀密码"),
                                    QString(200, 'x')}) {
            const QString scrambled = ScrambleConfigText(text);
            QVERIFY(!scrambled.contains('\n'));
            QCOMPARE(UnscrambleConfigText(scrambled), text);
        }
        QCOMPARE(UnscrambleConfigText(QString::fromLatin1(QByteArray("0a00").toBase64())), QString());
        QCOMPARE(UnscrambleConfigText("!!not base64!!"), QString());
        QCOMPARE(UnscrambleSourceText(QString::fromLatin1(QByteArray("123456cba654321").toBase64())), QStringLiteral("abc"));
    }

    void valuesRoundTripAndTypesFallBack()
    {
        TConfigManager config(folder());
        config.WriteBoolean("UI", "StatPanelVisible", false);
        config.WriteBoolean("UI", "MainNavBar", true);
        config.WriteInteger("Backup", "ReminderCount", -4);
        config.WriteFloat("PictureClip", "Width", 4.25);
        config.WriteString("OEM", "SystemName", "星光图书馆");
        QVERIFY(readIni().contains("StatPanelVisible=0\n"));
        QVERIFY(readIni().contains("MainNavBar=1\n"));

        TConfigManager reread(folder());
        QCOMPARE(reread.ReadBoolean("UI", "StatPanelVisible", true), false);
        QCOMPARE(reread.ReadInteger("Backup", "ReminderCount", 3), -4);
        QCOMPARE(reread.ReadFloat("PictureClip", "Width", 0), 4.25);
        QCOMPARE(reread.ReadString("oem", "systemname", ""), QStringLiteral("星光图书馆"));

        reread.WriteString("UI", "AutoRead", "yes");
        QCOMPARE(reread.ReadBoolean("UI", "AutoRead", true), true);
        QCOMPARE(reread.ReadBoolean("UI", "AutoRead", false), false);
        reread.WriteString("UI", "Count", "0x1F");
        QCOMPARE(reread.ReadInteger("UI", "Count", 0), 31);
        reread.WriteString("UI", "Count", "12abc");
        QCOMPARE(reread.ReadInteger("UI", "Count", 7), 7);
        reread.WriteString("PictureClip", "Height", "");
        QCOMPARE(reread.ReadFloat("PictureClip", "Height", 5.5), 5.5);
        reread.Delete("UI", "Count");
        QCOMPARE(reread.ReadInteger("UI", "Count", 9), 9);
    }

    void writesAreSeenByEveryInstanceAtOnce()
    {
        TConfigManager first(folder());
        TConfigManager second(folder());
        first.WriteInteger("UI", "LastBookFindCate", 4);
        QCOMPARE(second.ReadInteger("UI", "LastBookFindCate", 0), 4);
        second.WriteInteger("UI", "LastBookFindCate", 5);
        QCOMPARE(first.ReadInteger("UI", "LastBookFindCate", 0), 5);
    }

    void garbageLoadsWithDefaultsAndSurvivesWrites()
    {
        writeIni("\xEF\xBB\xBFjunk line without equals\n=value without key\n[unterminated\n[OEM]\nIsOEM = 1 \n"
                 "; comment=1\n[Backup]\nReminderCount=lots\n\x01\x02\xFF\xFE\n[Database]\nDBType=abc\n");
        TConfigManager config(folder());
        QVERIFY(config.IsOEM());
        QCOMPARE(config.ReadInteger("Backup", "ReminderCount", 3), 3);
        QVERIFY(config.ReadCurrentDBInfo().CurrentDBIsFile);
        config.WriteInteger("Backup", "RunningTimes", 2);
        QCOMPARE(config.ReadInteger("Backup", "RunningTimes", 0), 2);
        QVERIFY(readIni().contains("junk line without equals"));
        QVERIFY(readIni().contains("; comment=1"));
    }

    void proxyAndReaderSyncScrambleTheirSecrets()
    {
        TConfigManager config(folder());
        config.WriteProxyInfo({"proxy.local", 3128, "ann", "pw"});
        config.WriteReaderSyncParams({"Provider = PostgreSQL; Password = x", true});
        QVERIFY(!readIni().contains("Password = x"));
        const TProxyInfo proxy = config.ReadProxyInfo();
        QCOMPARE(proxy.Server, QStringLiteral("proxy.local"));
        QCOMPARE(proxy.Port, 3128);
        QCOMPARE(proxy.Password, QStringLiteral("pw"));
        const TReaderSyncParams sync = config.ReadReaderSyncParams();
        QCOMPARE(sync.DBSrcConnString, QStringLiteral("Provider = PostgreSQL; Password = x"));
        QVERIFY(sync.IsShowOnStartup);
    }
};

QTEST_GUILESS_MAIN(ConfigsTest)
#include "tst_configs.moc"
