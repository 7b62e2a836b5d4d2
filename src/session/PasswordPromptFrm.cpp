#include "session/PasswordPromptFrm.h"

#include "foundation/UserInfo.h"
#include "foundation/UtilsApp.h"
#include "session/PasswordDigest.h"
#include "session/SessionMessages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPwdInputForm::TPwdInputForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("密码"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySystemFont(this);
    PromptLabel = new QLabel(QStringLiteral("请输入 %1 的密码：").arg(CurrentUser.UserCode), this);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    OkButton = new QPushButton(QStringLiteral("确定(&O)"), this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消(&C)"), this);
    CancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(8);
    layout->addWidget(PromptLabel);
    layout->addWidget(PasswordEdit);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    setMinimumWidth(300);

    connect(OkButton, &QPushButton::clicked, this, &TPwdInputForm::confirmPassword);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    PasswordEdit->setFocus();
}

void TPwdInputForm::confirmPassword()
{
    if (PasswordMatches(PasswordEdit->text(), CurrentUser.UserPwd)) {
        accept();
        return;
    }
    ShowCaptioned(MessageKind::Info, InfoCaption, QStringLiteral("密码错误，请重新输入。"));
    PasswordEdit->clear();
    PasswordEdit->setFocus();
}

bool AskPassword(QWidget* parent)
{
    TPwdInputForm prompt(parent);
    return prompt.exec() == QDialog::Accepted;
}
