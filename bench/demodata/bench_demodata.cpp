// How long the demo library generator takes, on SQLite and (when a server is given)
// PostgreSQL. Usage:
//   bench_demodata [--titles N] [--copies-per-title K] [--readers R] [--loans L]
//                  [--pg "<connection string of a server's maintenance database>"]
#include "admin/DemoLibrary.h"
#include "foundation/ConnectionString.h"
#include "foundation/Database.h"
#include "foundation/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void measure(const QString& engine, Database& database, const DemoLibrarySize& size, QTextStream& out)
{
    QElapsedTimer timer;
    timer.start();
    CreateDatabaseSchema(database);
    const qint64 schemaMs = timer.restart();
    const DemoLibraryCounts counts = GenerateDemoLibrary(database, size);
    const qint64 generateMs = timer.elapsed();
    const qint64 rows = counts.titles + counts.copies + counts.readers + counts.loans;
    out << QStringLiteral("%1: schema %2 ms; %3 titles, %4 copies, %5 readers, %6 loans in %7 s (%8 rows/s)\n")
               .arg(engine, -10).arg(schemaMs).arg(counts.titles).arg(counts.copies).arg(counts.readers)
               .arg(counts.loans).arg(double(generateMs) / 1000.0, 0, 'f', 1)
               .arg(qint64(double(rows) * 1000.0 / double(qMax<qint64>(1, generateMs))));
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    DemoLibrarySize size{100000, 3, 20000, 300000, 20221};
    QString server;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const qint64 value = args[i + 1].toLongLong();
        if (name == "--titles") size.titles = value;
        else if (name == "--copies-per-title") size.copiesPerTitle = int(value);
        else if (name == "--readers") size.readers = value;
        else if (name == "--loans") size.loans = value;
        else if (name == "--pg") server = args[i + 1];
    }
    QTextStream out(stdout);
    QTemporaryDir folder;
    {
        auto sqlite = Database::open("Provider = SQLite; Data Source = " + folder.filePath("bench.db"),
                                     Database::OpenMode::CreateIfMissing);
        measure("SQLite", *sqlite, size, out);
    }
    if (!server.isEmpty()) {
        ConnectionString settings = ConnectionString::parse(server);
        const QString name = QStringLiteral("bench_demodata_%1").arg(QCoreApplication::applicationPid());
        {
            auto maintenance = Database::open(settings.toString());
            maintenance->exec("CREATE DATABASE " + name + " ENCODING 'UTF8' TEMPLATE template0");
        }
        settings.set("Initial Catalog", name);
        {
            auto postgres = Database::open(settings.toString());
            measure("PostgreSQL", *postgres, size, out);
        }
        settings.set("Initial Catalog", "postgres");
        Database::open(settings.toString())->exec("DROP DATABASE " + name);
    }
    return 0;
}
