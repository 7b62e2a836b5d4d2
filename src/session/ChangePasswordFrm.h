#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

enum class TChangePasswordResult { Changed, Unchanged, WrongOldPassword, NewPasswordsDiffer };

// Checks the old password, compares the two new ones (showing the box of a failure) and
// stores the new digest for the logged-in user. CurrentUser follows only when exactly one
// row changed; a user deleted meanwhile gives Unchanged without a message.
TChangePasswordResult ChangeCurrentUserPassword(const QString& oldPassword, const QString& newPassword,
                                                const QString& repeatedPassword);

// "修改密码" for the logged-in user.
class TModPwdForm : public QDialog
{
    Q_OBJECT

public:
    explicit TModPwdForm(QWidget* parent = nullptr);

    QLineEdit* UserCodeEdit;
    QLineEdit* OldPasswordEdit;
    QLineEdit* NewPasswordEdit;
    QLineEdit* RepeatPasswordEdit;
    QPushButton* ModifyButton;
    QPushButton* CancelButton;

private:
    void modify();
};
