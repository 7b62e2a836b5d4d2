#include "TestSupport.h"

#include <QDir>

QString testDataPath(const QString& fileName)
{
    const QString folder = qEnvironmentVariable("VELMORA_TEST_DATA");
    return fileName.isEmpty() ? folder : QDir(folder).filePath(fileName);
}
