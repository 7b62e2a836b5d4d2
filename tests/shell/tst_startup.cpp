#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/Application.h"
#include "foundation/ConnectionString.h"
#include "foundation/DataModule.h"
#include "shell/MainFrm.h"
#include "shell/Startup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// Velmora's start-up and exit, end to end on each engine.
class StartupTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    void writeIni(const QString& text)
    {
        QFile file(m_dir.filePath("Config.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    static TVelmoraApplication& app() { return *static_cast<TVelmoraApplication*>(qApp); }

private slots:
    void unreachableDatabaseEndsAfterOneErrorBox()
    {
        writeIni(testEngine() == "postgres" ? "[Database]\nDBType=1\n[Server]\nServer=/nonexistent\nPort=1\n"
                                            : "[File]\nFileName=nothing-here.db\n");
        RecordingPresenter messages;
        TConfigManager config(m_dir.path());
        QCOMPARE(RunVelmora(app(), config), 1);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].kind, MessageKind::Error);
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY2(!widget->isVisible(), qPrintable(widget->metaObject()->className()));
    }

    void startsShowsTheMainWindowAndClosesTheConnectionAtExit()
    {
        auto test = TestDatabase::create();
        const ConnectionString settings = ConnectionString::parse(test->connectionString());
        if (test->isPostgres())
            writeIni(QStringLiteral("[Database]\nDBType=1\n[Server]\nServer=%1\nPort=%2\nDBName=%3\nUser=postgres\n")
                         .arg(settings.value("Data Source"), settings.value("Port"), settings.value("Initial Catalog")));
        else
            writeIni("[File]\nFileName=" + settings.value("Data Source") + "\n");
        test->db().exec("UPDATE Par_tab SET IsExitConfirm = 0");

        RecordingPresenter messages;
        TConfigManager config(m_dir.path());
        bool mainWindowSeen = false;
        bool connectedWhileRunning = false;
        QTimer::singleShot(200, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* main = qobject_cast<TMainForm*>(widget); main && main->isVisible()) {
                    mainWindowSeen = true;
                    connectedWhileRunning = DM1 && DM1->isConnected();
                    main->close();
                }
            }
        });
        QCOMPARE(RunVelmora(app(), config), 0);
        QVERIFY(mainWindowSeen);
        QVERIFY(connectedWhileRunning);
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(DM1, nullptr);
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Aurel图书馆管理系统 2022"));
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
