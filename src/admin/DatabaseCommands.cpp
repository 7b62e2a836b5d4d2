#include "admin/Commands.h"

#include "admin/DemoLibrary.h"

#include "foundation/Configs.h"
#include "foundation/ConnectionString.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/Schema.h"
#include "foundation/UtilsApp.h"

namespace {

// "--name value" pairs and bare flags from a command's arguments.
class Options
{
public:
    Options(const QStringList& args, const QStringList& valueOptions, const QStringList& flags)
    {
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString& arg = args[i];
            if (flags.contains(arg)) {
                m_values.insert(arg, QStringLiteral("1"));
            } else if (valueOptions.contains(arg)) {
                if (i + 1 >= args.size())
                    throw AppError(QStringLiteral("选项 %1 缺少参数值。").arg(arg));
                m_values.insert(arg, args[++i]);
            } else {
                throw AppError(QStringLiteral("无法识别的参数：%1").arg(arg));
            }
        }
    }
    bool has(const QString& name) const { return m_values.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const { return m_values.value(name, fallback); }

private:
    QHash<QString, QString> m_values;
};

void createServerDatabaseIfMissing(const QString& connectionString)
{
    ConnectionString settings = ConnectionString::parse(connectionString);
    const QString name = settings.value(QStringLiteral("Initial Catalog"));
    if (name.isEmpty())
        throw AppError(QStringLiteral("连接字符串中缺少 Initial Catalog（数据库名）。"));
    settings.set(QStringLiteral("Initial Catalog"), QStringLiteral("postgres"));
    auto server = Database::open(settings.toString());
    const QVariant exists = server->scalar(
        QStringLiteral("SELECT 1 FROM pg_database WHERE datname = %1").arg(Dialect::quote(name)));
    if (exists.isValid())
        return;
    QString identifier = name;
    identifier.replace('"', QLatin1String("\"\""));
    server->exec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0").arg(identifier));
}

qint64 countOption(const Options& options, const QString& name, qint64 fallback)
{
    if (!options.has(name))
        return fallback;
    bool ok = false;
    const qint64 value = options.value(name).toLongLong(&ok);
    if (!ok || value < 0)
        throw AppError(QStringLiteral("%1 需要一个非负整数：%2").arg(name, options.value(name)));
    return value;
}

// Runs a command body; an error becomes one line on standard error and exit status 1.
template <typename Body>
int reportingErrors(const char* command, QTextStream& err, Body body)
{
    try {
        return body();
    } catch (const AppError& error) {
        err << "velmora-admin " << command << ": " << error.message() << '\n';
        return 1;
    }
}

QString configFolder(const Options& options)
{
    return options.value(QStringLiteral("--config"), ProgramFolder());
}

} // namespace

int runInitDb(const QStringList& args, QTextStream& out, QTextStream& err)
{
    return reportingErrors("init-db", err, [&] {
        const Options options(args, {"--connection", "--config"}, {});
        TConfigManager config(configFolder(options));
        const QString connectionString =
            options.value(QStringLiteral("--connection"), config.ReadCurrentDBInfo().ConnectionString);
        const QString provider = ConnectionString::parse(connectionString).provider();
        if (provider.compare(QLatin1String("PostgreSQL"), Qt::CaseInsensitive) == 0)
            createServerDatabaseIfMissing(connectionString);
        auto database = Database::open(connectionString, Database::OpenMode::CreateIfMissing);
        CreateDatabaseSchema(*database);
        out << "已创建数据库：" << connectionString << '\n';
        return 0;
    });
}

int runSetDb(const QStringList& args, QTextStream& out, QTextStream& err)
{
    return reportingErrors("set-db", err, [&] {
        const Options options(args, {"--file", "--server", "--port", "--dbname", "--user", "--password", "--config"}, {});
        const bool file = options.has(QStringLiteral("--file"));
        const bool server = options.has(QStringLiteral("--server"));
        if (file == server)
            throw AppError(QStringLiteral("请给出 --file <文件> 或 --server <服务器> 之一。"));
        TConfigManager config(configFolder(options));
        if (file) {
            config.WriteInteger(QStringLiteral("Database"), QStringLiteral("DBType"), 0);
            config.WriteString(QStringLiteral("File"), QStringLiteral("FileName"), options.value(QStringLiteral("--file")));
        } else {
            bool portOk = true;
            const int port = options.value(QStringLiteral("--port"), QStringLiteral("5432")).toInt(&portOk);
            if (!portOk || port <= 0 || port > 65535)
                throw AppError(QStringLiteral("端口号无效：%1").arg(options.value(QStringLiteral("--port"))));
            const QString section = QStringLiteral("Server");
            config.WriteInteger(QStringLiteral("Database"), QStringLiteral("DBType"), 1);
            config.WriteString(section, QStringLiteral("Server"), options.value(QStringLiteral("--server")));
            config.WriteInteger(section, QStringLiteral("Port"), port);
            config.WriteString(section, QStringLiteral("DBName"),
                               options.value(QStringLiteral("--dbname"), DefaultServerDatabaseName));
            config.WriteString(section, QStringLiteral("User"), options.value(QStringLiteral("--user")));
            config.WriteString(section, QStringLiteral("Password"),
                               ScrambleConfigText(options.value(QStringLiteral("--password"))));
        }
        out << "已写入 " << config.fileName() << '\n';
        return 0;
    });
}

int runDemoData(const QStringList& args, QTextStream& out, QTextStream& err)
{
    return reportingErrors("demo-data", err, [&] {
        const Options options(args, {"--connection", "--config", "--titles", "--copies-per-title", "--readers", "--loans", "--seed"}, {});
        DemoLibrarySize size;
        size.titles = countOption(options, QStringLiteral("--titles"), size.titles);
        size.copiesPerTitle = int(qMin<qint64>(countOption(options, QStringLiteral("--copies-per-title"), size.copiesPerTitle), 1000));
        size.readers = countOption(options, QStringLiteral("--readers"), size.readers);
        size.loans = countOption(options, QStringLiteral("--loans"), size.loans);
        size.seed = quint64(countOption(options, QStringLiteral("--seed"), qint64(size.seed)));
        TConfigManager config(configFolder(options));
        const QString connectionString =
            options.value(QStringLiteral("--connection"), config.ReadCurrentDBInfo().ConnectionString);
        auto database = Database::open(connectionString);
        if (!database->hasTable(QStringLiteral("Books_tab")))
            throw AppError(QStringLiteral("数据库尚未初始化，请先运行 velmora-admin init-db。"));
        QElapsedTimer timer;
        timer.start();
        const DemoLibraryCounts counts = GenerateDemoLibrary(*database, size, [&](const QString& line) {
            err << line << '\n';
            err.flush();
        });
        out << QStringLiteral("已生成：书刊 %1 种，复本 %2 册，读者 %3 人，借阅记录 %4 条（未还 %5，逾期 %6），用时 %7 秒\n")
                   .arg(counts.titles).arg(counts.copies).arg(counts.readers).arg(counts.loans)
                   .arg(counts.openLoans).arg(counts.overdueLoans).arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1);
        return 0;
    });
}
