#pragma once

#include <QDate>
#include <QString>

// The one way the program talks to the user in boxes. Windows and services call these;
// tests install a recording presenter that answers questions as the test says.
enum class MessageKind { Info, Warning, Error, Question };

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual void show(MessageKind kind, const QString& caption, const QString& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const QString& caption, const QString& text) = 0;
    virtual bool inputText(const QString& caption, const QString& prompt, QString& value) = 0;
    virtual bool pickDate(const QString& prompt, QDate& date) = 0;
};

// Installs `presenter` (not owned) for every later message; nullptr restores the boxes.
void SetMessagePresenter(MessagePresenter* presenter);
MessagePresenter& CurrentMessagePresenter();

// Caption of every message box: the application's title.
QString ApplicationTitle();

// With `abort` the current user action ends after the box (SilentAbort).
void ShowInfo(const QString& text, bool abort = false);
void ShowWarning(const QString& text, bool abort = false);
void ShowError(const QString& text, bool abort = false);
bool Confirm(const QString& text);
bool InputText(const QString& caption, const QString& prompt, QString& value);
bool PickDate(const QString& prompt, QDate& date);
