// Grid mode over a large library: how soon a list of SELECT * FROM Books_view shows its
// first rows and its exact count, and how much memory that takes, without fetching the
// whole result. Run once per engine (a process each, so peak memory is per engine):
//
//   bench_dataset --connection "<connection string>" [--sql "<select>"] [--rows 100]
//                 [--sync-count] [--full]
//
// --sync-count counts on the calling thread before the first rows show; --full also
// opens the same SELECT as an ordinary data set (every row fetched) for comparison.

#include "foundation/DataModule.h"
#include "foundation/DataSet.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/PagedQueryModel.h"
#include "foundation/UtilsCommon.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace {

// Peak resident memory of this process so far, in MiB.
double peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

QString option(const QStringList& args, const QString& name, const QString& fallback = {})
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const QString connection = option(args, QStringLiteral("--connection"));
    const QString sql = option(args, QStringLiteral("--sql"), QStringLiteral("SELECT * FROM Books_view"));
    const int rows = option(args, QStringLiteral("--rows"), QStringLiteral("100")).toInt();
    const bool syncCount = args.contains(QStringLiteral("--sync-count"));
    if (connection.isEmpty()) {
        QTextStream(stderr) << "usage: bench_dataset --connection \"<connection string>\" [--sql <select>] [--rows n] "
                               "[--sync-count] [--full]\n";
        return 2;
    }
    try {
        QElapsedTimer clock;
        clock.start();
        auto database = Database::open(connection);
        out << "engine:                 " << database->dialect().engineName() << '\n';
        out << "query:                  " << sql << '\n';
        out << "connect:                " << clock.elapsed() << " ms\n";
        const double baseMemory = peakMemoryMiB();

        PagedQueryModel model;
        model.setConnection(database.get());
        model.setPageSize(rows);
        if (!syncCount)
            model.setBackgroundCount(connection);
        QEventLoop counted;
        QObject::connect(&model, &PagedQueryModel::countReady, &counted, &QEventLoop::quit);
        QObject::connect(&model, &PagedQueryModel::readFailed, &counted, [&](const QString& message) {
            QTextStream(stderr) << "count failed: " << message << '\n';
            counted.quit();
        });

        clock.restart();
        model.setQuery(sql);
        qint64 characters = 0;  // touch every cell of the first screen as a grid would
        for (int row = 0; row < qMin(rows, model.rowCount()); ++row) {
            for (int column = 0; column < model.columnCount(); ++column)
                characters += model.data(model.index(row, column)).toString().size();
        }
        const qint64 firstRows = clock.nsecsElapsed();
        out << "first " << rows << " rows:         " << QString::number(firstRows / 1e6, 'f', 1) << " ms ("
            << model.columnCount() << " columns, " << characters << " characters)\n";
        if (!model.countKnown())
            counted.exec();
        out << "exact count:            " << QString::number(clock.nsecsElapsed() / 1e6, 'f', 1) << " ms ("
            << model.exactCount() << " rows, " << (syncCount ? "counted before the first rows" : "counted in the background")
            << ")\n";

        // Scrolling far down reads that page only; the middle is the farthest from both ends.
        clock.restart();
        model.data(model.index(model.rowCount() - 1, 0));
        out << "jump to the last row:   " << QString::number(clock.nsecsElapsed() / 1e6, 'f', 1) << " ms\n";
        clock.restart();
        model.data(model.index(model.rowCount() / 2, 0));
        out << "jump to the middle row: " << QString::number(clock.nsecsElapsed() / 1e6, 'f', 1) << " ms\n";
        out << "cached pages:           " << model.cachedPageCount() << '\n';
        out << "peak memory:            " << QString::number(peakMemoryMiB(), 'f', 1) << " MiB (after connecting "
            << QString::number(baseMemory, 'f', 1) << " MiB)\n";

        if (args.contains(QStringLiteral("--full"))) {
            DataSet full(QStringLiteral("Full"), [&]() -> Database& { return *database; });
            full.setSQL(sql);
            clock.restart();
            full.open();
            out << "full data set open:     " << QString::number(clock.nsecsElapsed() / 1e6, 'f', 1) << " ms ("
                << full.recordCount() << " rows)\n";
            out << "peak memory with full:  " << QString::number(peakMemoryMiB(), 'f', 1) << " MiB\n";
        }
    } catch (const AppError& error) {
        QTextStream(stderr) << error.message() << '\n';
        return 1;
    }
    return 0;
}
