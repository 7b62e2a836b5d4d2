// The kiosk on a large catalogue: time from pressing Enter in the search box to the first
// screen of titles (and the copies of the first one) painted, and to the exact count in the
// status text. Runs the real window on the offscreen platform.
//
//   bench_finder --connection "<connection string>" [--field BookName] [--runs 3]
//                [--screenshot <png>] [text ...]
// With --screenshot the window as it stands after the last search is saved as a picture.

#include "finder/FinderService.h"
#include "finder/QuillonFrm.h"
#include "foundation/Application.h"
#include "foundation/Database.h"
#include "foundation/Dialect.h"
#include "foundation/Errors.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTextStream>
#include <algorithm>

namespace {

struct Timing
{
    double firstScreenMs = 0;
    double countMs = 0;
    qint64 count = -1;
};

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void paintFirstScreen(TQuillonForm& form)
{
    form.titlesGrid()->viewport()->grab();
    form.copiesGrid()->viewport()->grab();
}

void waitForCount(TQuillonForm& form)
{
    while (form.statusText()->text().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

Timing pressEnter(TQuillonForm& form, const QString& text)
{
    form.searchTextEdit()->setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(form.searchTextEdit(), &press);
    paintFirstScreen(form);
    Timing timing;
    timing.firstScreenMs = msSince(timer);
    waitForCount(form);
    timing.countMs = msSince(timer);
    timing.count = form.service()->TitleCount();
    return timing;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TVelmoraApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString connection;
    QString field = FinderDefaultSearchField;
    int runs = 3;
    QStringList texts;
    QString screenshot;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--connection" && i + 1 < args.size())
            connection = args[++i];
        else if (args[i] == "--field" && i + 1 < args.size())
            field = args[++i];
        else if (args[i] == "--screenshot" && i + 1 < args.size())
            screenshot = args[++i];
        else if (args[i] == "--runs" && i + 1 < args.size())
            runs = qMax(1, args[++i].toInt());
        else
            texts.append(args[i]);
    }
    if (connection.isEmpty()) {
        err << "usage: bench_finder --connection \"<connection string>\" [--field BookName] [--runs n] [text ...]\n";
        return 2;
    }
    if (texts.isEmpty())
        texts = {QStringLiteral("中国"), QStringLiteral("量子"), QStringLiteral("没有这样的书")};

    try {
        auto database = Database::open(connection);
        TFinderService service(database.get());
        service.setBackgroundCount(connection);

        QElapsedTimer opening;
        opening.start();
        TQuillonForm form(&service);
        form.show();
        paintFirstScreen(form);
        const double openingFirstScreen = msSince(opening);
        waitForCount(form);
        out << "engine " << database->dialect().engineName() << ", field " << field << ", " << runs << " runs\n";
        out << QStringLiteral("opening (every title): first screen %1 ms, count %2 ms, %3 titles\n")
                   .arg(openingFirstScreen, 0, 'f', 1)
                   .arg(msSince(opening), 0, 'f', 1)
                   .arg(service.TitleCount());
        out.flush();

        form.searchFieldBox()->setCurrentIndex(form.searchFieldBox()->findData(field));
        for (const QString& text : texts) {
            QList<double> firstScreens;
            QList<double> counts;
            qint64 count = -1;
            for (int run = 0; run < runs; ++run) {
                const Timing timing = pressEnter(form, text);
                firstScreens.append(timing.firstScreenMs);
                counts.append(timing.countMs);
                count = timing.count;
            }
            const QString condition = BuildFinderCondition(field, text, database->dialect());
            const qint64 expected =
                database->scalar(QStringLiteral("SELECT COUNT(*) FROM Books_view WHERE ") + condition).toLongLong();
            out << QStringLiteral("%1 '%2': Enter to first screen %3 ms (first run %4), to exact count %5 ms "
                                  "(first run %6); count %7 (%8)\n")
                       .arg(field, text)
                       .arg(median(firstScreens), 0, 'f', 1)
                       .arg(firstScreens.first(), 0, 'f', 1)
                       .arg(median(counts), 0, 'f', 1)
                       .arg(counts.first(), 0, 'f', 1)
                       .arg(count)
                       .arg(count == expected ? QStringLiteral("exact") : QStringLiteral("expected %1").arg(expected));
            out.flush();
        }

        // A reader dragging the scroll bar to the middle of the last result.
        const qint64 rows = form.titlesGrid()->model()->rowCount();
        if (rows > 0) {
            QElapsedTimer jump;
            jump.start();
            form.titlesGrid()->scrollTo(form.titlesGrid()->model()->index(int(rows / 2), 0));
            form.titlesGrid()->viewport()->grab();
            out << QStringLiteral("scroll to row %1 of %2: screen %3 ms\n").arg(rows / 2).arg(rows).arg(msSince(jump), 0, 'f', 1);
        }
        if (!screenshot.isEmpty()) {
            form.titlesGrid()->scrollToTop();
            form.grab().save(screenshot);
        }
    } catch (const AppError& error) {
        err << error.message() << "\n";
        return 1;
    }
    return 0;
}
