#include "foundation/Pictures.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>

QPixmap PictureOverride(const QString& fileName)
{
    QPixmap picture;
    if (QFile::exists(fileName))
        picture.load(fileName);
    return picture;
}

BusyCursor::BusyCursor() : m_shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
{
    if (m_shown)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}
