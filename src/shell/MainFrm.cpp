#include "shell/MainFrm.h"

#include "foundation/Configs.h"
#include "foundation/DataModule.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TMainForm::TMainForm(TConfigManager& config, QWidget* parent) : QMainWindow(parent), m_config(config)
{
    setWindowTitle(QApplication::applicationName());
    auto* welcome = new QLabel(QStringLiteral("欢迎使用图书馆管理系统"), this);
    welcome->setAlignment(Qt::AlignCenter);
    QFont big = welcome->font();
    big.setPointSize(20);
    welcome->setFont(big);
    setCentralWidget(welcome);
    m_databaseLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_databaseLabel);
    updateStatusBar();
    resize(1024, 700);
}

void TMainForm::updateStatusBar()
{
    if (CurrentDB.CurrentDBIsFile)
        m_databaseLabel->setText(CurrentDB.CurrentDBType + QStringLiteral("：") + CurrentDB.CurrentDBName);
    else
        m_databaseLabel->setText(CurrentDB.CurrentDBType + QStringLiteral("：") + CurrentDB.CurrentDBName
                                 + QStringLiteral(" - @") + CurrentDB.CurrentDBServer);
}

bool TMainForm::Login()
{
    return true; // until the login dialog exists everyone is let in
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    QTimer::singleShot(0, this, [this] {
        if (!Login())
            QApplication::exit(0);
    });
}

TShutdownService::Hooks TMainForm::shutdownHooks()
{
    TShutdownService::Hooks hooks;
    hooks.isExitConfirm = [] {
        return DM1 && DM1->isConnected()
               && DM1->CodexaConn().scalar(QStringLiteral("SELECT IsExitConfirm FROM Par_tab")).toInt() != 0;
    };
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
