// How long the window stops answering during long work, measured through
// the real window with a 10 ms timer on its thread that records the longest
// gap between two of its ticks, on readings scattered around 120 µm (σ 12)
// with one in forty an overload:
// - import of 1,000,000 readings from CSV, until the item is shown;
// - .xlsx export of those 1,000,000 readings;
// - PDF report of 100,000 readings;
// - start with the 1,000,000-reading item active: when the window shows,
//   and the longest gap after that until its views are filled;
// - Cancel halfway through the import and through the export: how long
//   until the work has ended, and that no item and no file are left.
// Each measure runs in a process of its own (this program started again
// with the measure's name). Runs from the tests' home folder.

#include "app/widget.h"
#include "bench/support/measureprocess.h"
#include "bench/support/scatteredreadings.h"
#include "data/measurementdatabase.h"
#include "views/dlgexport.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QElapsedTimer sinceStart;

// The longest gap between ticks of a 10 ms timer while it lives.
class GapMeter
{
public:
    GapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(10);
        m_last.start();
        m_total.start();
    }
    double longestMs() const { return m_longest / 1e6; }
    double totalMs() const { return m_total.nsecsElapsed() / 1e6; }

private:
    void tick()
    {
        m_longest = std::max(m_longest, m_last.nsecsElapsed());
        m_last.start();
    }
    QTimer m_timer;
    QElapsedTimer m_last;
    QElapsedTimer m_total;
    qint64 m_longest = 0;
};

QAbstractItemModel *table(Widget &window)
{
    return window.findChild<QAbstractItemView *>(QStringLiteral("tv"))->model();
}

void turnUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void writeCsv(const QString &path, int readings)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(3);
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "No.,Time,Value,Unit,Basis\r\n";
    const QString mu = QString::fromUtf8("μm");
    for (int i = 0; i < readings; ++i)
        out << i + 1 << ',' << scatteredTime(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << ','
            << scatteredText(i) << ',' << mu << ",Fe\r\n";
}

QAction *action(Widget &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

// Imports a CSV file through the window; the gap and the time until the
// item is shown.
void importThrough(Widget &window, const QString &csv, int readings, const char *label)
{
    DialogAnswerer answerer;
    answerer.then(DialogAnswerer::file(csv));
    answerer.then(DialogAnswerer::press(QMessageBox::Ok));
    GapMeter meter;
    action(window, "actionImport")->trigger();
    turnUntil([&] { return answerer.count() >= 2 && table(window)->rowCount() >= readings; });
    std::printf("%s\t%.0f\t%.0f\n", label, meter.longestMs(), meter.totalMs());
}

// Picks a choice in the export dialog, then OK.
DialogAnswerer::Handler chooseExport(const char *choice)
{
    return [choice](QWidget *dialog) {
        auto *exportDialog = qobject_cast<dlgExport *>(dialog);
        exportDialog->findChild<QRadioButton *>(QLatin1String(choice))->setChecked(true);
        exportDialog->accept();
    };
}

// An export chosen in the export dialog, written to `file`.
void exportThrough(Widget &window, const char *choice, const QString &file, const char *label)
{
    DialogAnswerer answerer;
    answerer.then(chooseExport(choice));
    answerer.then(DialogAnswerer::file(file));
    answerer.then(DialogAnswerer::press(QMessageBox::Ok));
    GapMeter meter;
    action(window, "actionExport")->trigger();
    turnUntil([&] { return answerer.count() >= 3; });
    if (!QFileInfo(file).size())
        std::exit(5);
    std::printf("%s\t%.0f\t%.0f\n", label, meter.longestMs(), meter.totalMs());
}

// Cancels work once its progress dialog says half is done; the time from
// Cancel until the work has ended.
double cancelHalfway(Widget &window)
{
    QProgressDialog *dialog = nullptr;
    turnUntil([&] {
        dialog = window.findChild<QProgressDialog *>();
        return dialog && dialog->isVisible() && dialog->maximum() > 0 && dialog->value() >= dialog->maximum() / 2;
    });
    QElapsedTimer timer;
    timer.start();
    dialog->findChild<QPushButton *>()->click();
    // The import action comes back once nothing runs.
    turnUntil([&] { return action(window, "actionImport")->isEnabled(); });
    return timer.nsecsElapsed() / 1e6;
}

int importAndExport(const QString &csv, const QString &folder)
{
    MeasurementDatabase database;
    if (!database.open())
        return 4;
    Widget window(&database);
    window.show();
    QCoreApplication::processEvents();
    importThrough(window, csv, 1000000, "import");
    exportThrough(window, "rbTable", folder + QStringLiteral("/readings.xlsx"), "xlsx");

    // Cancel halfway: no file, no item. (Left out for a build whose work
    // runs on the window's thread: there is nothing to cancel.)
    if (qEnvironmentVariableIsSet("VK_BENCH_NO_CANCEL")) {
        window.close();
        return 0;
    }
    {
        DialogAnswerer answerer;
        answerer.then(chooseExport("rbTable"));
        const QString cancelled = folder + QStringLiteral("/cancelled.xlsx");
        answerer.then(DialogAnswerer::file(cancelled));
        action(window, "actionExport")->trigger();
        const double ms = cancelHalfway(window);
        std::printf("cancel-xlsx\t%.0f\t%d\n", ms, int(QFile::exists(cancelled)));
    }
    {
        QAbstractItemModel *tree = window.findChild<QAbstractItemView *>(QStringLiteral("tvItems"))->model();
        const int items = tree->rowCount(tree->index(1, 0));
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(csv));
        action(window, "actionImport")->trigger();
        const double ms = cancelHalfway(window);
        std::printf("cancel-import\t%.0f\t%d\n", ms, tree->rowCount(tree->index(1, 0)) - items);
    }
    window.close();
    return 0;
}

int report(const QString &csv, const QString &folder)
{
    MeasurementDatabase database;
    if (!database.open())
        return 4;
    Widget window(&database);
    window.show();
    QCoreApplication::processEvents();
    importThrough(window, csv, 100000, "import-100k");
    exportThrough(window, "rbPdf", folder + QStringLiteral("/report.pdf"), "report");
    window.close();
    return 0;
}

int start()
{
    MeasurementDatabase database;
    if (!database.open())
        return 4;
    Widget window(&database);
    window.show();
    const double shown = sinceStart.nsecsElapsed() / 1e6;
    GapMeter meter;
    turnUntil([&] { return table(window)->rowCount() >= 1000000; });
    std::printf("start\t%.0f\t%.0f\t%.0f\n", shown, meter.longestMs(), sinceStart.nsecsElapsed() / 1e6);
    return 0;
}

QStringList run(const QString &name, const QString &home, const QStringList &args)
{
    return runMeasureProcess(name, home, args).split(QLatin1Char('\n'));
}

QStringList fields(const QStringList &lines, const QString &label)
{
    for (const QString &line : lines)
        if (line.startsWith(label + QLatin1Char('\t')))
            return line.split(QLatin1Char('\t'));
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vk508m"));
    if (!findTestGauge()) {
        std::fprintf(stderr, "run me from the tests' home folder build (needs the test plug-in in Lib/)\n");
        return 1;
    }
    const QStringList args = QCoreApplication::arguments();
    const QString which = args.value(1);
    if (which == QLatin1String("import"))
        return importAndExport(args.value(2), args.value(3));
    if (which == QLatin1String("report"))
        return report(args.value(2), args.value(3));
    if (which == QLatin1String("start"))
        return start();

    QTemporaryDir dir;
    const QString million = dir.filePath(QStringLiteral("million.csv"));
    const QString hundredThousand = dir.filePath(QStringLiteral("hundred.csv"));
    writeCsv(million, 1000000);
    writeCsv(hundredThousand, 100000);
    const QString kept = dir.filePath(QStringLiteral("kept"));
    const QStringList imported = run(QStringLiteral("import"), kept, {million, dir.path()});
    const QStringList started = run(QStringLiteral("start"), kept, {});
    const QStringList reported =
        run(QStringLiteral("report"), dir.filePath(QStringLiteral("report")), {hundredThousand, dir.path()});

    auto row = [](const char *work, const QStringList &f) {
        std::printf("  %-44s %8s ms  (work ended after %s ms)\n", work, qPrintable(f.value(1)), qPrintable(f.value(2)));
    };
    std::printf("Longest gap between ticks of a 10 ms timer on the window's thread:\n");
    row("import of 1,000,000 readings from CSV", fields(imported, QStringLiteral("import")));
    row("PDF report of 100,000 readings", fields(reported, QStringLiteral("report")));
    row(".xlsx export of 1,000,000 readings", fields(imported, QStringLiteral("xlsx")));
    const QStringList s = fields(started, QStringLiteral("start"));
    std::printf("  start with a 1,000,000-reading item active: window shown after %s ms, longest gap after that %s ms,"
                " views filled after %s ms\n",
                qPrintable(s.value(1)), qPrintable(s.value(2)), qPrintable(s.value(3)));
    const QStringList cx = fields(imported, QStringLiteral("cancel-xlsx"));
    const QStringList ci = fields(imported, QStringLiteral("cancel-import"));
    std::printf("Cancel halfway: .xlsx export ended %s ms after Cancel (file left: %s); import ended %s ms after"
                " Cancel (items left: %s)\n",
                qPrintable(cx.value(1)), qPrintable(cx.value(2)), qPrintable(ci.value(1)), qPrintable(ci.value(2)));
    return 0;
}
