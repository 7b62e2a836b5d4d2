#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "密码": asks for the logged-in user's password; closes with OK only when it matches.
class TPwdInputForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPwdInputForm(QWidget* parent = nullptr);

    QLabel* PromptLabel;
    QLineEdit* PasswordEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    void confirmPassword();
};

// The modal password prompt; true when the current user's password was entered.
bool AskPassword(QWidget* parent = nullptr);
