#include "admin/AdminCommand.h"

#include "admin/Commands.h"

const QList<AdminCommand>& adminCommands()
{
    static const QList<AdminCommand> commands = {
        // Commands are declared in Commands.h and listed here, one line each.
        {"init-db", "init-db [--connection \"<连接字符串>\"] [--config <文件夹>]   创建并初始化数据库", &runInitDb},
        {"set-db", "set-db (--file <文件> | --server <主机> [--port n] [--dbname 名称] [--user 用户] [--password 密码]) [--config <文件夹>]   写入 Config.ini 的数据库设置", &runSetDb},
        {"demo-data", "demo-data [--connection \"<连接字符串>\"] [--titles N] [--copies-per-title K] [--readers R] [--loans L] [--seed S]   生成演示数据", &runDemoData},
        {"inputcode", "inputcode (<文本>… | -)   输出每段文本的输入码，- 从标准输入逐行读取", &runInputCode},
        {"price", "price [--strict] <价格文本>…   输出每段价格文本的金额、币种和附注（以制表符分隔）", &runPrice},
        {"marc", "marc [--strict] [--record] <文件>   读取 CNMARC 字段行，输出书目资源（--record 输出解析记录）的 JSON", &runMarc},
        {"html", "html <文件> <选择器> | html --tree <文件>   解析 HTML 文件，逐行输出匹配节点的标签名和内部文本，或输出节点树", &runHtml},
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
