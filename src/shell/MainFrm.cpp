#include "shell/MainFrm.h"

#include "foundation/Application.h"
#include "foundation/Configs.h"
#include "foundation/DataModule.h"
#include "foundation/Pictures.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"
#include "session/ChangePasswordFrm.h"
#include "session/FunctionWindow.h"
#include "session/LockScreenFrm.h"
#include "session/LoginFrm.h"
#include "session/ParManager.h"
#include "session/Rights.h"
#include "session/UserLog.h"
#include "shell/AboutFrm.h"
#include "shell/ParametersFrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

} // namespace

TMainForm::TMainForm(TConfigManager& config, QWidget* parent) : QMainWindow(parent), m_config(config)
{
    setWindowTitle(QApplication::applicationName());
    auto* welcome = new QLabel(QStringLiteral("欢迎使用图书馆管理系统"), this);
    welcome->setAlignment(Qt::AlignCenter);
    QFont big = welcome->font();
    big.setPointSize(20);
    welcome->setFont(big);
    setCentralWidget(welcome);
    m_userLabel = new QLabel(this);
    statusBar()->addWidget(m_userLabel);
    m_databaseLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_databaseLabel);
    updateStatusBar();
    resize(1024, 700);
    InstallLockScreenKey([this] { LockScreen(); });
}

TMainForm::~TMainForm()
{
    RemoveLockScreenKey();
}

void TMainForm::updateStatusBar()
{
    if (CurrentDB.CurrentDBIsFile)
        m_databaseLabel->setText(CurrentDB.CurrentDBType + QStringLiteral("：") + CurrentDB.CurrentDBName);
    else
        m_databaseLabel->setText(CurrentDB.CurrentDBType + QStringLiteral("：") + CurrentDB.CurrentDBName
                                 + QStringLiteral(" - @") + CurrentDB.CurrentDBServer);
}

void TMainForm::updateUserLine()
{
    QString line = QStringLiteral("当前用户：%1").arg(CurrentUser.UserCode);
    if (HasBookRoom())
        line += QStringLiteral(" - ") + CurrentUser.BookRoom;
    m_userLabel->setText(line);
}

bool TMainForm::Login()
{
    const bool automatic = !m_loginDone;
    m_loginDone = true;
    ShowLogin(m_config, automatic);
    if (CurrentUser.UserCode.isEmpty())
        return false;  // the first login was abandoned: the program is ending
    // Logged also when a re-login was cancelled: the previous user carries on.
    WriteUserLog(QStringLiteral("进入系统"), QStringLiteral("打开"));
    OpenAccTable();
    updateUserLine();
    return true;
}

void TMainForm::LockScreen()
{
    ::LockScreen(BackgroundPicture(), TitlePicture());
}

void TMainForm::ChangePassword()
{
    OpenFunctionWindow<TModPwdForm>(-1);
}

void TMainForm::About()
{
    TAboutForm about(m_config, this);
    about.exec();
}

void TMainForm::OpenFun(int funKey, const QString& funParam)
{
    if (!CanOpenFunction(funKey))
        return;
    switch (funKey) {
    case 54: OpenFunctionWindow(std::make_unique<TParForm>(m_config), funKey, funParam); break;
    default: break;
    }
}

QPixmap TMainForm::BackgroundPicture()
{
    QPixmap picture = PictureOverride(QStringLiteral("Main.bmp"));
    if (!picture.isNull())
        return picture;
    const QSize size(1280, 800);
    picture = QPixmap(size);
    QPainter painter(&picture);
    QLinearGradient background(0, 0, size.width(), size.height());
    background.setColorAt(0, QColor(0x2a, 0x5d, 0x9c));
    background.setColorAt(1, QColor(0x0b, 0x2a, 0x4a));
    painter.fillRect(picture.rect(), background);
    return picture;
}

QPixmap TMainForm::TitlePicture()
{
    QPixmap picture = PictureOverride(QStringLiteral("MainWord.png"));
    if (!picture.isNull())
        return picture;
    const QSize size(520, 90);
    picture = QPixmap(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont title = QApplication::font();
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 90));
    painter.drawText(picture.rect().translated(3, 3), Qt::AlignCenter, QStringLiteral("图书馆管理系统"));
    painter.setPen(Qt::white);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("图书馆管理系统"));
    return picture;
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    QTimer::singleShot(0, this, [this] {
        bool loggedIn = false;
        try {
            loggedIn = Login();
        } catch (...) {
            // An unreadable user table must not leave the main window open to nobody.
            TVelmoraApplication::HandleException(std::current_exception());
            loggedIn = !CurrentUser.UserCode.isEmpty();
        }
        if (!loggedIn)
            QApplication::exit(0);
    });
}

TShutdownService::Hooks TMainForm::shutdownHooks()
{
    TShutdownService::Hooks hooks;
    hooks.isExitConfirm = [] { return DM1 && DM1->isConnected() && ParManager().IsExitConfirm(); };
    hooks.askExit = [this]() -> std::optional<TExitChoice> {
        TExitForm dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    };
    hooks.requestPower = [](TExitChoice choice) {
        if (choice == TExitChoice::PowerOff)
            RequestPowerOff();
        else if (choice == TExitChoice::Restart)
            RequestRestart();
    };
    hooks.writeExitLog = [] {
        if (DM1 && DM1->isConnected())
            WriteUserLog(QStringLiteral("退出系统"), QStringLiteral("关闭"));
    };
    hooks.closeConnection = [] {
        if (DM1)
            DM1->CloseConnection();
    };
    return hooks;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    TShutdownService shutdown(m_config, shutdownHooks());
    if (!shutdown.CloseQuery()) {
        event->ignore();
        return;
    }
    m_closed = true;
    shutdown.Close();
    event->accept();
}
