#pragma once

#include "session/LoginService.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "用户登录": the login picture, the user code (a drop-down of the users unless the library
// hides the list) and the password. Creating it reads the users and inserts the built-in
// administrator when missing.
class TLoginForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLoginForm(TConfigManager& config, QWidget* parent = nullptr);
    ~TLoginForm() override;

    QString userText() const;
    void setUserText(const QString& text);
    const QStringList& userCodes() const { return m_codes; }
    bool userListShown() const;
    bool AutomaticLoginPossible() const;
    // The "登录(&L)" action; on success the dialog is accepted.
    TLoginService::Result LoginAction();
    bool loggedIn() const { return m_loggedIn; }

    QLabel* Picture;
    QComboBox* UserCombo;   // shown when the user list is on
    QLineEdit* UserEdit;    // shown when it is off
    QLineEdit* PasswordEdit;
    QPushButton* LoginButton;

private:
    QLineEdit* userField() const;
    static QPixmap loginPicture();

    TLoginService m_service;
    QStringList m_codes;
    bool m_loggedIn = false;
};

// The login: with `automatic` and the automatic-login condition met, the login action runs
// without showing the dialog; otherwise the dialog is shown modally. When nobody is logged in
// afterwards the application is told to terminate. True when this call logged somebody in.
bool ShowLogin(bool automatic, QWidget* parent = nullptr);
bool ShowLogin(TConfigManager& config, bool automatic, QWidget* parent = nullptr);
