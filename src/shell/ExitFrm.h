#pragma once

#include <QDialog>

class QRadioButton;

enum class TExitChoice { Quit, PowerOff, Restart };

// "退出系统": quit, or also power the computer off or restart it.
class TExitForm : public QDialog
{
    Q_OBJECT

public:
    explicit TExitForm(QWidget* parent = nullptr);
    TExitChoice choice() const;
    void setChoice(TExitChoice choice);

private:
    QRadioButton* m_quit;
    QRadioButton* m_powerOff;
    QRadioButton* m_restart;
};

// Fire-and-forget requests to the operating system; refusals are not reported.
void RequestPowerOff();
void RequestRestart();
