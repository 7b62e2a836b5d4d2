#pragma once

#include "shell/ShutdownService.h"

#include <QMainWindow>

class QLabel;

// The librarians' main window. Its first show runs the login; closing it runs the exit
// question and the closing steps. F9 anywhere locks the screen while it exists.
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(TConfigManager& config, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Shows the login (automatic only the first time), logs the entry and loads the user's
    // rights; false when nobody is logged in afterwards (the program then ends).
    bool Login();
    void LockScreen();
    void ChangePassword();
    void About();
    // Opens the function window of `funKey` when the user may open it.
    void OpenFun(int funKey, const QString& funParam = {});

    // The client area's pictures: "Main.bmp" and "MainWord.png" of the current folder when
    // they exist, otherwise built-in ones. The lock screen shows them too.
    static QPixmap BackgroundPicture();
    static QPixmap TitlePicture();

    QLabel* CurrentUserLabel() const { return m_userLabel; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TShutdownService::Hooks shutdownHooks();
    void updateStatusBar();
    void updateUserLine();

    TConfigManager& m_config;
    bool m_shown = false;
    bool m_closed = false;
    bool m_loginDone = false;
    QLabel* m_databaseLabel;
    QLabel* m_userLabel;
};
