#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// "输入": one line of text under a prompt; Enter presses OK.
class TInputTextForm : public QDialog
{
    Q_OBJECT

public:
    TInputTextForm(const QString& caption, const QString& prompt, const QString& value, QWidget* parent = nullptr);
    QString text() const;

    QLabel* PromptLabel;
    QLineEdit* ValueEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
};

// "选择日期": a date picker under a wrapping prompt, 313 x 200 at 96 dpi.
class TPickDateForm : public QDialog
{
    Q_OBJECT

public:
    TPickDateForm(const QString& prompt, const QDate& date, QWidget* parent = nullptr);
    QDate date() const;

    QLabel* PromptLabel;
    QDateEdit* DateEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
};
