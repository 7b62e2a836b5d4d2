#include "RecordingPresenter.h"

#include "foundation/Application.h"
#include "foundation/UserInfo.h"
#include "session/LockScreenFrm.h"
#include "session/PasswordDigest.h"
#include "session/PasswordPromptFrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The lock screen opens on F9 for a logged-in user and closes only with the password.
class LockScreenTest : public QObject
{
    Q_OBJECT

private:
    int m_asked = 0;
    bool m_answer = false;

    static QList<TLockScreenForm*> openLockScreens()
    {
        QList<TLockScreenForm*> screens;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TLockScreenForm*>(widget); form && form->isVisible())
                screens << form;
        return screens;
    }

private slots:
    void init()
    {
        CurrentUser = TUserInfo();
        m_asked = 0;
        m_answer = false;
        TLockScreenForm::SetPasswordAsker([this](QWidget*) {
            ++m_asked;
            return m_answer;
        });
    }
    void cleanup()
    {
        TLockScreenForm::SetPasswordAsker({});
        RemoveLockScreenKey();
    }

    void everyWayOfClosingAsksForThePassword()
    {
        CurrentUser.UserCode = "lib1";
        TLockScreenForm form{QPixmap(), QPixmap()};
        form.show();
        form.close();
        QTest::keyClick(&form, Qt::Key_Escape);
        QTest::mouseClick(form.UnlockLabel, Qt::LeftButton);
        QTest::mouseClick(form.UnlockIcon, Qt::LeftButton);
        QTest::mouseClick(form.TitlePicture, Qt::LeftButton);
        QCOMPARE(m_asked, 5);
        QVERIFY(form.isVisible());
        m_answer = true;
        QTest::mouseClick(form.UnlockLabel, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.UnlockLabel->text(), QStringLiteral("点击屏幕解锁"));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
    }

    void f9LocksAndASecondF9OpensNothingFurther()
    {
        CurrentUser.UserCode = "lib1";
        InstallLockScreenKey([] { LockScreen(QPixmap(), QPixmap()); });
        QWidget main;
        main.show();
        int screensSeen = 0;
        QTimer::singleShot(50, [&] {
            const auto screens = openLockScreens();
            screensSeen = int(screens.size());
            QVERIFY(!screens.isEmpty());
            QTest::keyClick(screens.first(), Qt::Key_F9);  // consumed, nothing further
            QTest::keyClick(screens.first()->UnlockLabel, Qt::Key_F9);
            screensSeen = std::max(screensSeen, int(openLockScreens().size()));
            m_answer = true;
            screens.first()->RequestUnlock();
        });
        QTest::keyClick(&main, Qt::Key_F9);
        QCOMPARE(screensSeen, 1);
        QCOMPARE(m_asked, 1);
        QVERIFY(openLockScreens().isEmpty());
        QVERIFY(CanLockScreen());
    }

    void nobodyLoggedInLocksNothing()
    {
        int locks = 0;
        InstallLockScreenKey([&] {
            ++locks;
            LockScreen(QPixmap(), QPixmap());
        });
        QWidget main;
        main.show();
        QVERIFY(!CanLockScreen());
        QTest::keyClick(&main, Qt::Key_F9);  // would block in exec() if it opened
        QCOMPARE(locks, 1);
        QVERIFY(openLockScreens().isEmpty());
    }

    void otherKeysPassThrough()
    {
        int locks = 0;
        InstallLockScreenKey([&] { ++locks; });
        QLineEdit edit;
        edit.show();
        QTest::keyClicks(&edit, "ab");
        QTest::keyClick(&edit, Qt::Key_F9, Qt::ShiftModifier);
        QTest::keyClick(&edit, Qt::Key_F9);
        QCOMPARE(edit.text(), QStringLiteral("ab"));
        QCOMPARE(locks, 1);
    }

    void promptIsTheDefaultAsker()
    {
        TLockScreenForm::SetPasswordAsker({});
        CurrentUser.UserCode = "lib1";
        CurrentUser.UserPwd = PasswordDigest("pw");
        RecordingPresenter messages;
        TLockScreenForm form{QPixmap(), QPixmap()};
        form.show();
        QTimer::singleShot(50, [&] {
            auto* prompt = qobject_cast<TPwdInputForm*>(QApplication::activeModalWidget());
            QVERIFY(prompt);
            QVERIFY(!CanLockScreen());
            prompt->PasswordEdit->setText("pw");
            prompt->OkButton->click();
        });
        form.close();
        QVERIFY(!form.isVisible());
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    LockScreenTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_lockscreen.moc"
