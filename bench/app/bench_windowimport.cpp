// Large workbooks imported through the window as the user imports them:
// Import, the file picked in the dialog, until the message that says how
// it went. The files are bench_largeimport's (made by
// make_readings_books.py): 1,048,575 readings in an .xlsx written by
// openpyxl, and 65,535 readings in an .xls with and without one cell in
// column IV. Each import runs in a process of its own with a measurements
// file of its own, and reports its wall and processor times and how far
// its peak resident memory (VmHWM) grew over what the window held before.
// Runs from the tests' home folder, which holds the test plug-in in Lib/.
//   bench_windowimport [DIR]   keeps the files in DIR (made once)

#include "app/widget.h"
#include "bench/support/processmemory.h"
#include "data/measurementdatabase.h"
#include "tests/exchange/xlstesttools.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

int child(const QString &path)
{
    QTemporaryDir dir;
    MeasurementDatabase database;
    database.open(dir.filePath(QStringLiteral("measurements.sqlite")));
    Widget window(&database);
    window.show();
    QCoreApplication::processEvents();
    resetPeak();
    const qint64 before = statusKiB("VmRSS:");
    DialogAnswerer answerer;
    answerer.then(DialogAnswerer::file(path));
    answerer.then(DialogAnswerer::press(QMessageBox::Ok));
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    window.findChild<QAction *>(QStringLiteral("actionImport"))->trigger();
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    const double growth = (statusKiB("VmHWM:") - before) / 1024.0;
    std::printf("%.2f %.2f %.1f %s\n", seconds, cpuSeconds, growth,
                qPrintable(answerer.texts.value(1).left(60).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!testGaugeAtHand())
        return 1;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--child"))
        return child(args.at(2));

    QTemporaryDir temporary;
    const QString dir = args.size() > 1 ? args.at(1) : temporary.path();
    const QList<QStringList> files = {{"readings-1048575.xlsx", "xlsx", "1048575"},
                                      {"readings-65535.xls", "xls", "65535"},
                                      {"readings-65535-far.xls", "xls", "65535", "far"}};
    std::printf("%-24s %8s %8s %10s  %s\n", "file", "wall s", "cpu s", "peak +MiB", "message");
    for (const QStringList &f : files) {
        const QString path = dir + QLatin1Char('/') + f.first();
        QProcess p;
        if (!QFile::exists(path)) {
            p.start(XlsTestTools::python(), QStringList{QStringLiteral(VK_BENCH_SCRIPT), f.at(1), path} + f.mid(2));
            if (!p.waitForFinished(3600000) || p.exitCode() != 0)
                return std::fprintf(stderr, "%s\n", p.readAllStandardError().constData()), 1;
        }
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
        p.waitForFinished(1800000);
        std::printf("%-24s %s", qPrintable(f.first()), p.readAllStandardOutput().constData());
        std::fflush(stdout);
    }
    return 0;
}
