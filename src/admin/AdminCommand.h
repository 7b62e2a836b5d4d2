#pragma once

#include <QStringList>
#include <QTextStream>

// One sub-command of velmora-admin. run() gets the arguments after the command name and
// returns the process exit status; it writes results to out and diagnostics to err.
struct AdminCommand
{
    const char* name;
    const char* usage;
    int (*run)(const QStringList& args, QTextStream& out, QTextStream& err);
};

// Every command, in the order of the help text.
const QList<AdminCommand>& adminCommands();

int runAdmin(const QStringList& arguments, QTextStream& out, QTextStream& err);
