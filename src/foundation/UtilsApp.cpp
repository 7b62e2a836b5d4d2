#include "foundation/UtilsApp.h"

#include "foundation/Configs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrlQuery>
#include <QWidget>

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "1.0.0"
#endif

namespace {

const QString DocumentationAddress = QStringLiteral("https://help.velmora.example/manual");
const QString RebrandedManual = QStringLiteral("Orvanna.doc");

// The suite's own binaries carry the build's version.
const QStringList OwnFiles = {QStringLiteral("velmora"), QStringLiteral("quillon"), QStringLiteral("velmora-admin"),
                              QStringLiteral("libtessar.so")};

struct Accessory
{
    const char* windowsName;
    QStringList candidates;
};

const QList<Accessory>& accessories()
{
    static const QList<Accessory> list = {
        {"calc.exe", {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"}},
        {"notepad.exe", {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed", "leafpad", "featherpad"}},
        {"osk.exe", {"onboard", "florence", "matchbox-keyboard", "xvkbd"}},
    };
    return list;
}

bool looksLikeAddress(const QString& file)
{
    return file.contains(QStringLiteral("://")) || file.startsWith(QStringLiteral("www."), Qt::CaseInsensitive) ||
           file.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}

} // namespace

QString ProgramFolder()
{
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section('/', 0, -2);
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

QString ComputerNameText()
{
    return QSysInfo::machineHostName().left(256);
}

QString FileVersionText(const QString& file)
{
    const QFileInfo info(file);
    if (!info.exists() || !OwnFiles.contains(info.fileName()))
        return {};
    QString version = QStringLiteral(VELMORA_VERSION);
    while (version.count('.') < 3)
        version += QStringLiteral(".0");
    return version;
}

QString VersionStamp(const QString& file)
{
    return FileVersionText(file) + '.' + QFileInfo(file).lastModified().toString(QStringLiteral("yyMMdd"));
}

bool IsDebugMode(const QStringList& arguments)
{
    return arguments.size() > 1 && arguments[1] == QLatin1String("-debug");
}

bool IsDebugMode()
{
    return QCoreApplication::instance() && IsDebugMode(QCoreApplication::arguments());
}

void ApplySystemFont(QWidget* form)
{
    if (!form)
        return;
    QFont font = form->font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans")});
    font.setPointSize(9);
    form->setFont(font);
}

QUrl HelpTopicUrl(const QString& topic, bool rebranded)
{
    if (rebranded)
        return QUrl::fromLocalFile(ProgramFolder() + RebrandedManual);
    QUrl url(DocumentationAddress);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("topic"), topic);
    url.setQuery(query);
    return url;
}

void OpenHelpTopic(const QString& topic)
{
    QDesktopServices::openUrl(HelpTopicUrl(topic, ConfigManager().IsOEM()));
}

ProgramLaunch ResolveProgram(const QString& file, const QString& params)
{
    ProgramLaunch launch;
    const QStringList arguments = QProcess::splitCommand(params);
    if (looksLikeAddress(file)) {
        launch.url = QUrl::fromUserInput(file);
        return launch;
    }
    for (const Accessory& accessory : accessories()) {
        if (file.compare(QLatin1String(accessory.windowsName), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& candidate : accessory.candidates) {
            const QString found = QStandardPaths::findExecutable(candidate);
            if (!found.isEmpty()) {
                launch.program = found;
                launch.arguments = arguments;
                return launch;
            }
        }
        return launch;  // none installed: nothing to start
    }
    const QFileInfo info(file);
    if (info.exists() && !info.isExecutable()) {
        launch.url = QUrl::fromLocalFile(info.absoluteFilePath());
        return launch;
    }
    const QString program = info.exists() ? info.absoluteFilePath() : QStandardPaths::findExecutable(file);
    if (!program.isEmpty()) {
        launch.program = program;
        launch.arguments = arguments;
    }
    return launch;
}

void RunProgram(const QString& file, const QString& params)
{
    const ProgramLaunch launch = ResolveProgram(file, params);
    if (!launch.program.isEmpty())
        QProcess::startDetached(launch.program, launch.arguments);
    else if (launch.url.isValid() && !launch.url.isEmpty())
        QDesktopServices::openUrl(launch.url);
}
