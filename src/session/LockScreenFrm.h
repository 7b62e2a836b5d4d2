#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

class QLabel;

// A borderless window over the whole screen that only the logged-in user's password
// closes: every way of closing it asks for the password first.
class TLockScreenForm : public QDialog
{
    Q_OBJECT

public:
    TLockScreenForm(const QPixmap& background, const QPixmap& title, QWidget* parent = nullptr);

    // Asks for the password and closes when it is right.
    void RequestUnlock();
    void reject() override;

    // Replaces the password prompt (tests); the default is AskPassword.
    using PasswordAsker = std::function<bool(QWidget*)>;
    static void SetPasswordAsker(PasswordAsker asker);

    QLabel* TitlePicture;
    QLabel* UnlockIcon;
    QLabel* UnlockLabel;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QPixmap unlockIcon();

    QPixmap m_background;
    bool m_unlocked = false;
};

// Locks the screen unless nobody is logged in or the lock screen or the password prompt is
// already up.
void LockScreen(const QPixmap& background, const QPixmap& title);
// Whether LockScreen would open the lock screen now.
bool CanLockScreen();

// Makes F9 anywhere in the application run `lock`; the key is consumed.
void InstallLockScreenKey(std::function<void()> lock);
void RemoveLockScreenKey();
