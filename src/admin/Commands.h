#pragma once

#include <QStringList>
#include <QTextStream>

// The sub-commands of velmora-admin; each is listed in AdminCommand.cpp.

int runInitDb(const QStringList& args, QTextStream& out, QTextStream& err);
int runSetDb(const QStringList& args, QTextStream& out, QTextStream& err);
int runDemoData(const QStringList& args, QTextStream& out, QTextStream& err);
int runInputCode(const QStringList& args, QTextStream& out, QTextStream& err);
int runPrice(const QStringList& args, QTextStream& out, QTextStream& err);
int runMarc(const QStringList& args, QTextStream& out, QTextStream& err);
int runHtml(const QStringList& args, QTextStream& out, QTextStream& err);
