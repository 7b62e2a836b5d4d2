#include "session/ChangePasswordFrm.h"

#include "foundation/DataModule.h"
#include "foundation/Dialect.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsApp.h"
#include "foundation/UtilsDB.h"
#include "session/PasswordDigest.h"
#include "session/SessionMessages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TChangePasswordResult ChangeCurrentUserPassword(const QString& oldPassword, const QString& newPassword,
                                                const QString& repeatedPassword)
{
    if (!PasswordMatches(oldPassword, CurrentUser.UserPwd)) {
        ShowCaptioned(MessageKind::Error, ErrorCaption, QStringLiteral("原密码错误,请重新输入!"));
        return TChangePasswordResult::WrongOldPassword;
    }
    if (newPassword != repeatedPassword) {
        ShowCaptioned(MessageKind::Error, ErrorCaption, QStringLiteral("两次输入的新密码不相同!"));
        return TChangePasswordResult::NewPasswordsDiffer;
    }
    const QString digest = PasswordDigest(newPassword);
    QSqlQuery update = ExecQuery(DM1->CodexaConn(), QStringLiteral("UPDATE Users_tab SET UserPwd=")
                                                        + Dialect::quote(digest) + QStringLiteral("\r\nWHERE UserID =")
                                                        + QString::number(CurrentUser.UserID));
    if (update.numRowsAffected() != 1)
        return TChangePasswordResult::Unchanged;
    CurrentUser.UserPwd = digest;
    return TChangePasswordResult::Changed;
}

TModPwdForm::TModPwdForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改密码"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySystemFont(this);
    UserCodeEdit = new QLineEdit(CurrentUser.UserCode, this);
    UserCodeEdit->setReadOnly(true);
    OldPasswordEdit = new QLineEdit(this);
    NewPasswordEdit = new QLineEdit(this);
    RepeatPasswordEdit = new QLineEdit(this);
    for (QLineEdit* edit : {OldPasswordEdit, NewPasswordEdit, RepeatPasswordEdit})
        edit->setEchoMode(QLineEdit::Password);
    ModifyButton = new QPushButton(QStringLiteral("修改(&M)"), this);
    CancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    ModifyButton->setAutoDefault(false);
    CancelButton->setAutoDefault(false);
    ModifyButton->setEnabled(!CurrentUser.UserCode.isEmpty());

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("用户名称："), UserCodeEdit);
    form->addRow(QStringLiteral("原来密码："), OldPasswordEdit);
    form->addRow(QStringLiteral("新密码："), NewPasswordEdit);
    form->addRow(QStringLiteral("重复新密码："), RepeatPasswordEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ModifyButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    // Enter moves on through the fields, the way the rest of the program's editors behave.
    const QList<QLineEdit*> order = {UserCodeEdit, OldPasswordEdit, NewPasswordEdit, RepeatPasswordEdit};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        connect(order[i], &QLineEdit::returnPressed, order[i + 1], qOverload<>(&QWidget::setFocus));
    connect(RepeatPasswordEdit, &QLineEdit::returnPressed, ModifyButton, qOverload<>(&QWidget::setFocus));
    connect(ModifyButton, &QPushButton::clicked, this, &TModPwdForm::modify);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    OldPasswordEdit->setFocus();
}

void TModPwdForm::modify()
{
    const TChangePasswordResult result =
        ChangeCurrentUserPassword(OldPasswordEdit->text(), NewPasswordEdit->text(), RepeatPasswordEdit->text());
    if (result == TChangePasswordResult::Changed || result == TChangePasswordResult::Unchanged)
        accept();
}
