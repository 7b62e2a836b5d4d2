#include "shell/ExitFrm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TExitForm::TExitForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("退出系统"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 12);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(QStringLiteral("您确定要:"), this));
    m_quit = new QRadioButton(QStringLiteral("退出系统，返回桌面(&W)"), this);
    m_powerOff = new QRadioButton(QStringLiteral("关闭计算机(&D)"), this);
    m_restart = new QRadioButton(QStringLiteral("重新启动计算机(&R)"), this);
    for (QRadioButton* option : {m_quit, m_powerOff, m_restart}) {
        option->setContentsMargins(16, 0, 0, 0);
        layout->addWidget(option);
    }
    m_quit->setChecked(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

TExitChoice TExitForm::choice() const
{
    if (m_powerOff->isChecked())
        return TExitChoice::PowerOff;
    if (m_restart->isChecked())
        return TExitChoice::Restart;
    return TExitChoice::Quit;
}

void TExitForm::setChoice(TExitChoice choice)
{
    (choice == TExitChoice::PowerOff ? m_powerOff : choice == TExitChoice::Restart ? m_restart : m_quit)->setChecked(true);
}

void RequestPowerOff()
{
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

void RequestRestart()
{
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("reboot")});
}
