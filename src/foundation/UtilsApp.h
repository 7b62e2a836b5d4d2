#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

// Folder of the running executable, ending in '/'.
QString ProgramFolder();

// The workstation's network name (at most 256 characters); empty when unknown.
QString ComputerNameText();

// Version of one of the suite's own files, from the build; empty for any other file.
QString FileVersionText(const QString& file);
// FileVersionText + "." + the file's modification date as "yyMMdd".
QString VersionStamp(const QString& file);

// The first command-line argument is exactly "-debug".
bool IsDebugMode();
bool IsDebugMode(const QStringList& arguments);

// Gives a window the program's interface font (a CJK sans family, 9 points).
void ApplySystemFont(QWidget* form);

// The manual: "Orvanna.doc" in the program folder for a rebranded installation,
// otherwise the online documentation with `topic` as its query parameter.
QUrl HelpTopicUrl(const QString& topic, bool rebranded);
void OpenHelpTopic(const QString& topic);

// What RunProgram starts for a name: a program with arguments, or a URL to open.
struct ProgramLaunch
{
    QString program;     // empty when `url` is to be opened instead
    QStringList arguments;
    QUrl url;
};
// Maps the Windows accessory names (calc.exe, notepad.exe, osk.exe) to the first desktop
// program of their kind found on PATH; web addresses and existing documents become URLs.
ProgramLaunch ResolveProgram(const QString& file, const QString& params = {});
// Starts it without waiting; failures are not reported.
void RunProgram(const QString& file, const QString& params = {});
