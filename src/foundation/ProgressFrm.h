#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The non-modal window "进度" of long loops. Stop and Escape hide it, which the loop
// notices through TProgressService::IsStoped.
class TProgressForm : public QDialog
{
    Q_OBJECT

public:
    explicit TProgressForm(QWidget* parent = nullptr);

    QLabel* TitleLabel;
    QLabel* WaitLabel;
    QProgressBar* ProgressBar;
    QLabel* PercentLabel;
    QLabel* CountLabel;
    QPushButton* StopButton;
};

// Drives the progress window. Every long loop follows one pattern:
//   service.SetTitle(...); service.SetMax(items); service.Start();
//   for each item: process pending events; break when IsStoped(); do the item; StepIt();
class TProgressService
{
public:
    TProgressService();
    ~TProgressService();
    TProgressService(const TProgressService&) = delete;
    TProgressService& operator=(const TProgressService&) = delete;

    QString Title() const;
    void SetTitle(const QString& title);
    int Max() const;
    // Minimum 0, position 0, the new maximum.
    void SetMax(int max);
    int Position() const;
    void Start();
    void StepIt();
    // The user stopped the loop: the window was hidden before the position reached the maximum.
    bool IsStoped() const;

    TProgressForm* form() const { return m_form; }

private:
    void updateDisplay();

    TProgressForm* m_form;
};

// The one instance, created on first use and freed when the application ends.
TProgressService& ProgressService();
