#include "SessionFixture.h"

#include "foundation/Application.h"
#include "session/ChangePasswordFrm.h"
#include "session/LoginFrm.h"
#include "session/PasswordDigest.h"
#include "session/PasswordPromptFrm.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(TLoginService::Result)

namespace {

// Rejects the login dialog once it is shown; counts how often that happened.
struct LoginDialogCloser
{
    int shown = 0;
    QTimer timer;
    LoginDialogCloser()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* login = qobject_cast<TLoginForm*>(widget); login && login->isVisible()) {
                    ++shown;
                    login->reject();
                }
            }
        });
        timer.start();
    }
};

// Runs `work` inside the application's event loop with a main window on screen; the exit
// code is 0 when something told the application to terminate, 42 when nothing did within a
// second.
int runInEventLoop(const std::function<void()>& work)
{
    QWidget mainWindow;
    mainWindow.show();
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(42); });
    QTimer::singleShot(0, [&] {
        work();
        fallback.start(1000);
    });
    return QCoreApplication::exec();
}

} // namespace

// The login dialog, the automatic login, the change of password and the password prompt.
class LoginTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SessionFixture> f;

private slots:
    void init() { f = std::make_unique<SessionFixture>(); }
    void cleanup() { f.reset(); }

    void freshDatabaseLogsInAutomatically()
    {
        LoginDialogCloser closer;
        QVERIFY(ShowLogin(*f->config, true));
        QCOMPARE(closer.shown, 0);
        QCOMPARE(CurrentUser.UserCode, QStringLiteral("Admin"));
        QCOMPARE(CurrentUser.UserName, QStringLiteral("管理员"));
        QCOMPARE(CurrentUser.UserPwd, EmptyPasswordDigest());
        QCOMPARE(CurrentUser.UserID, f->userId("Admin"));
        QCOMPARE(f->config->ReadString("UI", "LastUserName", {}), QStringLiteral("Admin"));
        QVERIFY(f->messages.messages.isEmpty());
        QVERIFY(!DM1->PubQuery.isActive());
    }

    void automaticLoginNeedsAFreshAdministrator_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("second user") << "INSERT INTO Users_tab(UserCode, UserName, UserPwd) VALUES('lib1', '甲', '')";
        QTest::newRow("password set") << "INSERT INTO Users_tab(UserCode, UserName, UserPwd) VALUES('Admin', '管理员', '"
                                              + PasswordDigest("pw") + "')";
        QTest::newRow("code in other case") << "INSERT INTO Users_tab(UserCode, UserName, UserPwd) VALUES('admin', "
                                                   "'管理员', '" + EmptyPasswordDigest() + "')";
    }

    void automaticLoginNeedsAFreshAdministrator()
    {
        QFETCH(QString, setup);
        f->db().exec(setup);
        LoginDialogCloser closer;
        QVERIFY(!ShowLogin(*f->config, true));
        QCOMPARE(closer.shown, 1);
        QVERIFY(CurrentUser.UserCode.isEmpty());
    }

    void reloginAlwaysShowsTheDialog()
    {
        LoginDialogCloser closer;
        QVERIFY(ShowLogin(*f->config, true));
        QVERIFY(!ShowLogin(*f->config, false));
        QCOMPARE(closer.shown, 1);
        QCOMPARE(CurrentUser.UserCode, QStringLiteral("Admin"));
    }

    void missingAdministratorIsInsertedOnce()
    {
        f->addUser("lib1", PasswordDigest("x"));
        {
            TLoginForm form(*f->config);
            QCOMPARE(form.userCodes(), (QStringList{"lib1", "Admin"}));
        }
        QCOMPARE(f->scalar("SELECT UserPwd FROM Users_tab WHERE UserCode = 'Admin'").toString(), EmptyPasswordDigest());
        QCOMPARE(f->scalar("SELECT UserName FROM Users_tab WHERE UserCode = 'Admin'").toString(), QStringLiteral("管理员"));
        TLoginForm again(*f->config);
        QCOMPARE(f->scalar("SELECT COUNT(*) FROM Users_tab WHERE UserCode = 'Admin'").toInt(), 1);
    }

    void userCodesAreTrimmedAndAdminMatchedIgnoringCase()
    {
        f->addUser("  lib1 ", PasswordDigest("x"));
        f->addUser("ADMIN", PasswordDigest("x"));
        TLoginForm form(*f->config);
        QCOMPARE(form.userCodes(), (QStringList{"lib1", "ADMIN"}));
        QCOMPARE(f->scalar("SELECT COUNT(*) FROM Users_tab").toInt(), 2);
    }

    void preselectedUser_data()
    {
        QTest::addColumn<QString>("lastUserName"); // "-" = key absent
        QTest::addColumn<QString>("expected");
        QTest::newRow("absent") << "-" << "Admin";
        QTest::newRow("existing") << "lib1" << "lib1";
        QTest::newRow("other case") << "LIB1" << "lib1";
        QTest::newRow("deleted user") << "gone" << "Admin";
    }

    void preselectedUser()
    {
        QFETCH(QString, lastUserName);
        QFETCH(QString, expected);
        f->addUser("lib1", PasswordDigest("x"));
        if (lastUserName != "-")
            f->config->WriteString("UI", "LastUserName", lastUserName);
        for (const char* list : {"1", "0"}) {
            f->db().exec(QStringLiteral("UPDATE Par_tab SET IsShowUserListOnLogin = %1").arg(list));
            TLoginForm form(*f->config);
            QCOMPARE(form.userText(), expected);
        }
    }

    void userListFollowsTheParameter_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("listShown");
        QTest::newRow("on") << "1" << true;
        QTest::newRow("off") << "0" << false;
        QTest::newRow("NULL means on") << "NULL" << true;
    }

    void userListFollowsTheParameter()
    {
        QFETCH(QString, value);
        QFETCH(bool, listShown);
        f->db().exec("UPDATE Par_tab SET IsShowUserListOnLogin = " + value);
        TLoginForm form(*f->config);
        QCOMPARE(form.userListShown(), listShown);
        QCOMPARE(form.UserCombo->isHidden(), !listShown);
        QCOMPARE(form.UserEdit->isHidden(), listShown);
    }

    void loginPictureCanBeReplaced()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(f->folder.path());
        QImage picture(320, 90, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save("Login.bmp"));
        TLoginForm form(*f->config);
        QDir::setCurrent(previous);
        QCOMPARE(form.Picture->pixmap().size(), QSize(320, 90));
        QCOMPARE(form.Picture->pixmap().toImage().pixelColor(5, 5), QColor(Qt::darkGreen));
    }

    void loginChecks_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<TLoginService::Result>("result");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        using R = TLoginService::Result;
        QTest::newRow("blank user") << "   " << "pw" << R::NoUserName << int(MessageKind::Info) << "信息" << "请输入您的用户名称!";
        QTest::newRow("unknown") << "nobody" << "pw" << R::UnknownUser << int(MessageKind::Error) << "错误" << "您输入的用户名不存在!";
        QTest::newRow("trailing blank looked up as typed") << "lib1 " << "pw" << R::UnknownUser << int(MessageKind::Error) << "错误" << "您输入的用户名不存在!";
        QTest::newRow("quote in code") << "o'neil" << "pw" << R::UnknownUser << int(MessageKind::Error) << "错误" << "您输入的用户名不存在!";
        QTest::newRow("locked, right password") << "locked" << "pw" << R::Locked << int(MessageKind::Info) << "信息" << "该用户已被管理员锁定，无法登录。";
        QTest::newRow("locked, wrong password") << "locked" << "bad" << R::Locked << int(MessageKind::Info) << "信息" << "该用户已被管理员锁定，无法登录。";
        QTest::newRow("wrong password") << "lib1" << "PW" << R::WrongPassword << int(MessageKind::Error) << "错误" << "密码错误，请重新输入。";
    }

    void loginChecks()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(TLoginService::Result, result);
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        f->addUser("lib1", PasswordDigest("pw"));
        f->addUser("locked", PasswordDigest("pw"), true);
        TLoginForm form(*f->config);
        form.show();
        form.setUserText(user);
        form.PasswordEdit->setText(password);
        QCOMPARE(form.LoginAction(), result);
        QCOMPARE(f->messages.messages.size(), 1);
        QCOMPARE(int(f->messages.messages[0].kind), kind);
        QCOMPARE(f->messages.messages[0].caption, caption);
        QCOMPARE(f->messages.messages[0].text, text);
        QVERIFY(form.isVisible());
        QVERIFY(CurrentUser.UserCode.isEmpty());
        QCOMPARE(f->config->ReadString("UI", "LastUserName", "-"), QStringLiteral("-"));
    }

    void enterInThePasswordLogsIn()
    {
        f->addUser("lib1", PasswordDigest("pw"), false, "综合书库");
        f->db().exec("UPDATE Par_tab SET IsShowUserListOnLogin = 0");
        TLoginForm form(*f->config);
        form.show();
        form.setUserText("LIB1");  // codes ignore case in the database
        QTest::keyClicks(form.PasswordEdit, "pw");
        QTest::keyClick(form.PasswordEdit, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(CurrentUser.UserID, f->userId("lib1"));
        QCOMPARE(CurrentUser.UserCode, QStringLiteral("lib1"));
        QCOMPARE(CurrentUser.UserName, QStringLiteral("姓名lib1"));
        QCOMPARE(CurrentUser.BookRoom, QStringLiteral("综合书库"));
        QCOMPARE(CurrentUser.Dept, QStringLiteral("办公室"));
        QCOMPARE(f->config->ReadString("UI", "LastUserName", {}), QStringLiteral("lib1"));
    }

    void enterInTheUserFieldMovesToThePassword()
    {
        f->addUser("lib1", PasswordDigest("pw"));
        TLoginForm form(*f->config);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.UserCombo->setFocus();
        QTest::keyClick(form.UserCombo->lineEdit(), Qt::Key_Return);
        QVERIFY(form.isVisible());
        QVERIFY(form.PasswordEdit->hasFocus());
        QVERIFY(f->messages.messages.isEmpty());
    }

    void abandoningTheFirstLoginTerminates()
    {
        f->addUser("lib1", PasswordDigest("pw"));
        LoginDialogCloser closer;
        bool loggedIn = true;
        QCOMPARE(runInEventLoop([&] { loggedIn = ShowLogin(*f->config, true); }), 0);
        QVERIFY(!loggedIn);
        QCOMPARE(closer.shown, 1);
    }

    void abandoningAReloginKeepsThePreviousUser()
    {
        f->addUser("lib1", PasswordDigest("pw"));
        {
            TLoginForm form(*f->config);
            form.setUserText("lib1");
            form.PasswordEdit->setText("pw");
            QCOMPARE(form.LoginAction(), TLoginService::Result::Success);
        }
        const TUserInfo before = CurrentUser;
        LoginDialogCloser closer;
        QCOMPARE(runInEventLoop([&] { ShowLogin(*f->config, false); }), 42);
        QCOMPARE(closer.shown, 1);
        QCOMPARE(CurrentUser.UserID, before.UserID);
        QCOMPARE(CurrentUser.UserCode, QStringLiteral("lib1"));
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::addColumn<QString>("stored");  // the password the stored digest is of
        QTest::newRow("changed") << "pw" << "新密码" << "新密码" << "" << "新密码";
        QTest::newRow("to empty") << "pw" << "" << "" << "" << "";
        QTest::newRow("wrong old") << "PW" << "n" << "n" << "原密码错误,请重新输入!" << "pw";
        QTest::newRow("repeat differs") << "pw" << "n" << "N" << "两次输入的新密码不相同!" << "pw";
    }

    void changePassword()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, repeated);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        f->addUser("lib1", PasswordDigest("pw"));
        f->addUser("lib2", PasswordDigest("pw"));
        CurrentUser.UserID = f->userId("lib1");
        CurrentUser.UserCode = "lib1";
        CurrentUser.UserPwd = PasswordDigest("pw");

        TModPwdForm form;
        form.show();
        QVERIFY(form.ModifyButton->isEnabled());
        QCOMPARE(form.UserCodeEdit->text(), QStringLiteral("lib1"));
        QVERIFY(form.UserCodeEdit->isReadOnly());
        form.OldPasswordEdit->setText(oldPassword);
        form.NewPasswordEdit->setText(newPassword);
        form.RepeatPasswordEdit->setText(repeated);
        form.ModifyButton->click();

        QCOMPARE(form.isVisible(), !message.isEmpty());
        QCOMPARE(f->messages.textsOf(MessageKind::Error), message.isEmpty() ? QStringList{} : QStringList{message});
        for (const auto& m : f->messages.messages)
            QCOMPARE(m.caption, QStringLiteral("错误"));
        const QString digest = f->scalar("SELECT UserPwd FROM Users_tab WHERE UserCode = 'lib1'").toString();
        QCOMPARE(digest, PasswordDigest(stored));
        QCOMPARE(CurrentUser.UserPwd, digest);
        QCOMPARE(f->scalar("SELECT UserPwd FROM Users_tab WHERE UserCode = 'lib2'").toString(), PasswordDigest("pw"));
        if (stored.isEmpty())
            QCOMPARE(digest, EmptyPasswordDigest());
    }

    void changingTheDeletedUsersPasswordChangesNothing()
    {
        CurrentUser.UserID = 9999;
        CurrentUser.UserCode = "gone";
        CurrentUser.UserPwd = PasswordDigest("pw");
        QCOMPARE(ChangeCurrentUserPassword("pw", "n", "n"), TChangePasswordResult::Unchanged);
        QCOMPARE(CurrentUser.UserPwd, PasswordDigest("pw"));
        QVERIFY(f->messages.messages.isEmpty());
    }

    void changePasswordNeedsALogin()
    {
        TModPwdForm form;
        QVERIFY(!form.ModifyButton->isEnabled());
    }

    void passwordPrompt()
    {
        CurrentUser.UserCode = "lib1";
        CurrentUser.UserPwd = PasswordDigest("pw");
        TPwdInputForm prompt;
        prompt.show();
        QCOMPARE(prompt.windowTitle(), QStringLiteral("密码"));
        QCOMPARE(prompt.PromptLabel->text(), QStringLiteral("请输入 lib1 的密码："));
        prompt.PasswordEdit->setText("wrong");
        prompt.OkButton->click();
        QVERIFY(prompt.isVisible());
        QVERIFY(prompt.PasswordEdit->text().isEmpty());
        QCOMPARE(f->messages.messages.size(), 1);
        QCOMPARE(f->messages.messages[0].caption, QStringLiteral("信息"));
        QCOMPARE(f->messages.messages[0].text, QStringLiteral("密码错误，请重新输入。"));
        QTest::keyClicks(prompt.PasswordEdit, "pw");
        QTest::keyClick(prompt.PasswordEdit, Qt::Key_Return);
        QCOMPARE(prompt.result(), int(QDialog::Accepted));
        QVERIFY(!prompt.isVisible());
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    LoginTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_login.moc"
