#include "admin/AdminCommand.h"

#include "admin/Commands.h"

const QList<AdminCommand>& adminCommands()
{
    static const QList<AdminCommand> commands = {
        // Commands are declared in Commands.h and listed here, one line each.
    };
    return commands;
}

static void printUsage(QTextStream& stream)
{
    stream << "用法: velmora-admin <命令> [参数…]\n\n命令:\n";
    for (const AdminCommand& command : adminCommands())
        stream << "  " << command.usage << '\n';
}

int runAdmin(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty() || arguments.first() == "--help" || arguments.first() == "-h") {
        printUsage(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? 2 : 0;
    }
    for (const AdminCommand& command : adminCommands()) {
        if (arguments.first() == QLatin1String(command.name))
            return command.run(arguments.mid(1), out, err);
    }
    err << "未知命令: " << arguments.first() << "\n\n";
    printUsage(err);
    return 2;
}
