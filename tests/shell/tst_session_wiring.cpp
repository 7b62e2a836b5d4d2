#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/Application.h"
#include "foundation/ConnectionString.h"
#include "foundation/DataModule.h"
#include "foundation/UserInfo.h"
#include "session/LockScreenFrm.h"
#include "session/LoginFrm.h"
#include "session/PasswordDigest.h"
#include "session/ChangePasswordFrm.h"
#include "shell/ExitFrm.h"
#include "shell/ParametersFrm.h"
#include "shell/MainFrm.h"
#include "shell/Startup.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

template <class Window>
Window* visibleWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

// Runs `step` every 20 ms until it returns true.
void whenReady(const std::function<bool()>& step)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (step())
            timer->deleteLater();
    });
    timer->start(20);
}

} // namespace

// Velmora's start-up and exit with the login, the rights and the operation log.
class SessionWiringTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_test;

    static TVelmoraApplication& app() { return *static_cast<TVelmoraApplication*>(qApp); }
    std::unique_ptr<TConfigManager> configFor(TestDatabase& test)
    {
        const ConnectionString settings = ConnectionString::parse(test.connectionString());
        QFile file(m_dir.filePath("Config.ini"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return nullptr;
        if (test.isPostgres())
            file.write(QStringLiteral("[Database]\nDBType=1\n[Server]\nServer=%1\nPort=%2\nDBName=%3\nUser=postgres\n")
                           .arg(settings.value("Data Source"), settings.value("Port"), settings.value("Initial Catalog"))
                           .toUtf8());
        else
            file.write(("[File]\nFileName=" + settings.value("Data Source") + "\n").toUtf8());
        file.close();
        return std::make_unique<TConfigManager>(m_dir.path() + '/');
    }
    QStringList logRows()
    {
        QStringList rows;
        QSqlQuery q = m_test->db().exec("SELECT WinName, OperateContent, UserCode FROM UserLog_tab ORDER BY UserLogID");
        while (q.next())
            rows << q.value(0).toString() + '|' + q.value(1).toString() + '|' + q.value(2).toString();
        return rows;
    }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_test->db().exec("UPDATE Par_tab SET IsExitConfirm = 0");
        CurrentUser = TUserInfo();
    }
    void cleanup()
    {
        TLockScreenForm::SetPasswordAsker({});
        m_test.reset();
    }

    void freshDatabaseLogsInLoadsRightsAndLogsEntryAndExit()
    {
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        QString userLine;
        int rights = 0;
        int asked = 0;
        TLockScreenForm::SetPasswordAsker([&](QWidget*) { return ++asked > 0; });
        whenReady([&] {
            TMainForm* main = visibleWindow<TMainForm>();
            if (!main || CurrentUser.UserCode.isEmpty())
                return false;
            userLine = main->CurrentUserLabel()->text();
            rights = DM1->AccQuery.recordCount();
            QTimer::singleShot(0, [] {
                if (TLockScreenForm* lock = visibleWindow<TLockScreenForm>())
                    lock->close();
            });
            QTest::keyClick(main, Qt::Key_F9);
            main->close();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(userLine, QStringLiteral("当前用户：Admin"));
        QCOMPARE(rights, 15);
        QCOMPARE(asked, 1);
        QCOMPARE(logRows(), (QStringList{"进入系统|打开|Admin", "退出系统|关闭|Admin"}));
    }

    void abandoningTheFirstLoginEndsTheProgramQuietly()
    {
        m_test->db().exec("INSERT INTO Users_tab(UserCode, UserName, UserPwd) VALUES('lib1', '甲', '"
                          + PasswordDigest("pw") + "')");
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        bool loginShown = false;
        whenReady([&] {
            TLoginForm* login = visibleWindow<TLoginForm>();
            if (!login)
                return false;
            loginShown = true;
            login->reject();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QVERIFY(loginShown);
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(CurrentUser.UserCode.isEmpty());
        QVERIFY(logRows().isEmpty());
        // The administrator was inserted by the dialog all the same.
        QCOMPARE(m_test->db().scalar("SELECT COUNT(*) FROM Users_tab").toInt(), 2);
    }

    void unreadableUsersEndTheProgramAfterOneErrorBox()
    {
        m_test->db().exec("DROP TABLE Users_tab");
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        QCOMPARE(RunVelmora(app(), *config), 0);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].kind, MessageKind::Error);
        QVERIFY(CurrentUser.UserCode.isEmpty());
        QVERIFY(logRows().isEmpty());
    }

    void failedEntryLogKeepsTheLoggedInUser()
    {
        m_test->db().exec("DROP TABLE UserLog_tab");
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        bool running = false;
        whenReady([&] {
            TMainForm* main = visibleWindow<TMainForm>();
            if (!main || messages.messages.isEmpty())
                return false;
            running = main->isVisible() && CurrentUser.UserCode == "Admin";
            main->close();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QVERIFY(running);
        QCOMPARE(messages.textsOf(MessageKind::Error).size(), 2);  // entry and exit log
    }

    void cancelledReloginKeepsTheUserAndIsLogged()
    {
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        QString userAfter;
        whenReady([&] {
            TMainForm* main = visibleWindow<TMainForm>();
            if (!main || CurrentUser.UserCode.isEmpty())
                return false;
            whenReady([] {
                TLoginForm* login = visibleWindow<TLoginForm>();
                if (login)
                    login->reject();
                return login != nullptr;
            });
            main->Login();
            userAfter = CurrentUser.UserCode;
            main->close();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QCOMPARE(userAfter, QStringLiteral("Admin"));
        QCOMPARE(logRows(), (QStringList{"进入系统|打开|Admin", "进入系统|打开|Admin", "退出系统|关闭|Admin"}));
    }

    void functionWindowsOpenOverTheMainWindowAndAreLogged()
    {
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        QList<bool> overMainWindow;
        whenReady([&] {
            TMainForm* main = visibleWindow<TMainForm>();
            if (!main || CurrentUser.UserCode.isEmpty())
                return false;
            auto closeWhenShown = [&](auto* type) {
                whenReady([&, type] {
                    auto* window = visibleWindow<std::remove_pointer_t<decltype(type)>>();
                    if (window) {
                        overMainWindow << (qobject_cast<TMainForm*>(window->parentWidget()) != nullptr);
                        window->reject();
                    }
                    return window != nullptr;
                });
            };
            closeWhenShown(static_cast<TParForm*>(nullptr));
            main->OpenFun(54);
            closeWhenShown(static_cast<TModPwdForm*>(nullptr));
            main->ChangePassword();
            main->OpenFun(0);
            main->close();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QCOMPARE(overMainWindow, (QList<bool>{true, true}));
        QCOMPARE(logRows(), (QStringList{"进入系统|打开|Admin", "系统参数设置|打开|Admin", "系统参数设置|关闭|Admin",
                                         "修改密码|打开|Admin", "修改密码|关闭|Admin", "退出系统|关闭|Admin"}));
    }

    void exitConfirmationIsReadAtEveryClose()
    {
        m_test->db().exec("UPDATE Par_tab SET IsExitConfirm = 1");
        auto config = configFor(*m_test);
        RecordingPresenter messages;
        int questions = 0;
        bool stayedOpen = false;
        whenReady([&] {
            TMainForm* main = visibleWindow<TMainForm>();
            if (!main || CurrentUser.UserCode.isEmpty())
                return false;
            whenReady([&] {
                TExitForm* exit = visibleWindow<TExitForm>();
                if (exit) {
                    ++questions;
                    exit->reject();
                }
                return exit != nullptr;
            });
            main->close();
            stayedOpen = main->isVisible();
            m_test->db().exec("UPDATE Par_tab SET IsExitConfirm = 0");
            main->close();
            return true;
        });
        QCOMPARE(RunVelmora(app(), *config), 0);
        QVERIFY(stayedOpen);
        QCOMPARE(questions, 1);
        QCOMPARE(logRows(), (QStringList{"进入系统|打开|Admin", "退出系统|关闭|Admin"}));
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    SessionWiringTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_session_wiring.moc"
