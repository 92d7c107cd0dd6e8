// What holding readings costs the window, measured through the real window
// on readings scattered around 120 µm (σ 12) with one in forty an overload:
// - import: 1,000,000 readings from a CSV file through Import, kept in the
//   measurements file, until the views are filled and the window and the
//   file are closed; and how much the resident set grew per reading;
// - start: the window opened on that file with the item active, until its
//   table holds every reading and the window has painted; and the resident
//   set then;
// - live intake: 10,000 readings as fast as the plug-in sends them, until
//   the table shows them all; and one reading per turn of the event loop.
// Each measure runs in a process of its own (this program started again
// with the measure's name), so one does not inherit another's heap.
// Runs from the tests' home folder, which holds the test plug-in in Lib/.

#include "app/widget.h"
#include "bench/support/gaugereadings.h"
#include "bench/support/measureprocess.h"
#include "charts/chartline.h"
#include "charts/dmmchart.h"
#include "device/dmmdata.h"
#include "data/measurementdatabase.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ImportedReadings = 1000000;
constexpr int LiveReadings = 10000;

// The resident set in MB, now (VmRSS) or at its peak (VmHWM).
double residentMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

QAbstractItemModel *table(Widget &window)
{
    return window.findChild<QAbstractItemView *>(QStringLiteral("tv"))->model();
}

// Turns the event loop until the table shows `rows` rows and the window
// has had a turn to paint them.
void waitForRows(Widget &window, int rows)
{
    while (table(window)->rowCount() < rows)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
}

void writeCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(3);
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "No.,Time,Value,Unit,Basis\r\n";
    const QString mu = QString::fromUtf8("μm");
    for (int i = 0; i < ImportedReadings; ++i) {
        DmmData *reading = scatteredReading(i);
        out << i + 1 << ',' << reading->dateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << ','
            << reading->textUm().trimmed() << ',' << mu << ',' << reading->basis() << "\r\n";
        delete reading;
    }
}

int importReadings(const QString &csv, int readings)
{
    MeasurementDatabase database;
    if (!database.open())
        return 4;
    auto *window = new Widget(&database);
    window->show();
    waitForRows(*window, 0);
    const double before = residentMb("VmRSS:");

    DialogAnswerer answerer;
    answerer.then(DialogAnswerer::file(csv));
    answerer.then(DialogAnswerer::press(QMessageBox::Ok));
    QElapsedTimer timer;
    timer.start();
    window->findChild<QAction *>(QStringLiteral("actionImport"))->trigger();
    while (answerer.count() < 2)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    waitForRows(*window, readings);
    const double filled = timer.nsecsElapsed() / 1e6;
    const double after = residentMb("VmRSS:");
    const double peak = residentMb("VmHWM:");
    // Where the bytes are: the item's readings and the chart's index.
    const double itemBytes = double(WidgetTestAccess::currentItem(*window)->readings().heldBytes()) / readings;
    const double chartBytes =
        double(window->findChild<DMMChart *>(QStringLiteral("chart"))->lines().at(0)->points.index().heldBytes())
        / readings;
    // A million rows scroll at once: to the top and back, each painted.
    auto *view = window->findChild<QAbstractItemView *>(QStringLiteral("tv"));
    QElapsedTimer scrolling;
    scrolling.start();
    view->scrollToTop();
    view->viewport()->repaint();
    view->scrollToBottom();
    view->viewport()->repaint();
    const double scrolled = scrolling.nsecsElapsed() / 1e6;
    window->close();
    delete window;
    database.close();
    const double closed = timer.nsecsElapsed() / 1e6;
    std::printf("import\t%.0f\t%.0f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\n", filled, closed, before, after,
                peak, (after - before) * 1024 * 1024 / readings, itemBytes, chartBytes, scrolled);
    return 0;
}

int start()
{
    QElapsedTimer timer;
    timer.start();
    MeasurementDatabase database;
    if (!database.open())
        return 4;
    Widget window(&database);
    window.show();
    waitForRows(window, ImportedReadings);
    std::printf("start\t%.0f\t%.1f\n", timer.nsecsElapsed() / 1e6, residentMb("VmRSS:"));
    return 0;
}

// A window measuring into Measure1, kept in the measurements file.
struct Measuring
{
    MeasurementDatabase database;
    Widget *window = nullptr;
    TestDmmControl *gauge = testGauge();

    Measuring()
    {
        if (!database.open())
            std::exit(4);
        window = new Widget(&database);
        window->show();
        gauge->reset();
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        window->findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
        waitForRows(*window, 0);
    }
    ~Measuring() { delete window; }
};

int flood()
{
    Measuring m;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < LiveReadings; ++i)
        m.gauge->emitDisplay(scatteredReading(i));
    waitForRows(*m.window, LiveReadings);
    std::printf("flood\t%.1f\n", timer.nsecsElapsed() / 1e3 / LiveReadings);
    return 0;
}

int turns()
{
    Measuring m;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < LiveReadings; ++i) {
        m.gauge->emitDisplay(scatteredReading(i));
        QCoreApplication::processEvents();
    }
    waitForRows(*m.window, LiveReadings);
    std::printf("turns\t%.1f\n", timer.nsecsElapsed() / 1e3 / LiveReadings);
    return 0;
}

QStringList measure(const QString &name, const QString &home, const QString &csv)
{
    return runMeasureProcess(name, home, {csv}).split(QLatin1Char('\t'));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vk508m"));
    if (!findTestGauge()) {
        std::fprintf(stderr, "run me from the tests' home folder build (needs the test plug-in in Lib/)\n");
        return 1;
    }
    const QStringList args = QCoreApplication::arguments();
    const QString which = args.value(1);
    // A file of another size may be named for profiling: import FILE READINGS.
    if (which == QLatin1String("import"))
        return importReadings(args.value(2), args.size() > 3 ? args.value(3).toInt() : ImportedReadings);
    if (which == QLatin1String("start"))
        return start();
    if (which == QLatin1String("flood"))
        return flood();
    if (which == QLatin1String("turns"))
        return turns();

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("readings.csv"));
    writeCsv(csv);
    const QString kept = dir.filePath(QStringLiteral("kept"));
    const QStringList imported = measure(QStringLiteral("import"), kept, csv);
    const QStringList started = measure(QStringLiteral("start"), kept, csv);
    const QStringList flooded = measure(QStringLiteral("flood"), dir.filePath(QStringLiteral("flood")), csv);
    const QStringList turned = measure(QStringLiteral("turns"), dir.filePath(QStringLiteral("turns")), csv);

    std::printf("%d readings imported from CSV:\n", ImportedReadings);
    std::printf("  views filled after          %8s ms\n", qPrintable(imported.value(1)));
    std::printf("  window and file closed after %7s ms\n", qPrintable(imported.value(2)));
    std::printf("  resident set %s MB before, %s MB after (peak %s MB): %s bytes per reading\n",
                qPrintable(imported.value(3)), qPrintable(imported.value(4)), qPrintable(imported.value(5)),
                qPrintable(imported.value(6)));
    if (imported.size() > 9)
        std::printf("  of which the item's readings %s, the chart's index %s bytes; top and bottom of the table in %s ms\n",
                    qPrintable(imported.value(7)), qPrintable(imported.value(8)), qPrintable(imported.value(9)));
    std::printf("start with that item active, views filled after %s ms, resident set %s MB\n",
                qPrintable(started.value(1)), qPrintable(started.value(2)));
    std::printf("live intake of %d readings, kept:\n", LiveReadings);
    std::printf("  as fast as the plug-in sends them  %8s us per reading\n", qPrintable(flooded.value(1)));
    std::printf("  one per turn of the event loop     %8s us per reading\n", qPrintable(turned.value(1)));
    return 0;
}
