#pragma once

#include <QStringList>
#include <QTextStream>

// The sub-commands of velmora-admin; each is listed in AdminCommand.cpp.
