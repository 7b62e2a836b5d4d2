#pragma once

#include "shell/ShutdownService.h"

#include <QMainWindow>

class QLabel;

// The librarians' main window. Its first show runs the login; closing it runs the exit
// question and the closing steps.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(TConfigManager& config, QWidget* parent = nullptr);

    // Shows the login; false when nobody is logged in afterwards (the program then ends).
    bool Login();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TShutdownService::Hooks shutdownHooks();
    void updateStatusBar();

    TConfigManager& m_config;
    bool m_shown = false;
    bool m_closed = false;
    QLabel* m_databaseLabel;
};
