#pragma once

#include <QString>

// Folder of the current test's fixture files (tests/<folder>/data).
QString testDataPath(const QString& fileName = {});
