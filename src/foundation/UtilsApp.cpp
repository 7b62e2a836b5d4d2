#include "foundation/UtilsApp.h"

#include <QCoreApplication>
#include <QFileInfo>

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
