// Readings from a serial gauge into the window, with the measurements kept
// in the database:
// - throughput: 10,000 lines written to a pseudo-terminal as fast as it
//   takes them, through the serial-line plug-in into the window, against
//   the same readings emitted straight by a plug-in (the simulated gauge's
//   path, driven through the test plug-in);
// - responsiveness: 1,000 readings a second for 10 seconds on each path,
//   with the longest gap between the ticks of a 5 ms timer (an event-loop
//   stall) and the 99th percentile of those gaps.
// The lines are shaped like a gauge's: readings scattered around 120 µm,
// one in forty an overload, units and bases as gauges send them.
// Runs from build/bench, whose Lib/ holds the serial and the test plug-in.

#include "app/widget.h"
#include "device/dmmdata.h"
#include "data/measurementdatabase.h"
#include "plugins/serialline/linegrammar.h"
#include "tests/support/testgauge.h"
#include "tests/support/ptygauge.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace {

constexpr int FloodLines = 10000;
constexpr int PacedRate = 1000;
constexpr int PacedSeconds = 10;
constexpr int TickMs = 5;

QList<QByteArray> gaugeLines(int count)
{
    std::mt19937 random(508);
    std::normal_distribution<double> scatter(120.0, 6.0);
    std::uniform_int_distribution<int> pick(0, 39);
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i) {
        const int kind = pick(random);
        if (kind == 0)
            lines << QByteArray("OL\r\n");
        else if (kind % 3 == 0)
            lines << QByteArray::number(scatter(random), 'f', 1) + " um NFe\r\n";
        else
            lines << "  " + QByteArray::number(scatter(random), 'f', 1) + " um Fe\r\n";
    }
    return lines;
}

struct Result
{
    double slowestReadingMs = 0; // the window's own cost of one reading
    double readingsPerSecond = 0;
    double maxGapMs = 0;
    double p99GapMs = 0;
    int rows = 0;
    int stallsOver50 = 0;
    double firstStallAtS = -1; // seconds after the start of the run
};

// Event-loop ticks: the gaps between them show how long the loop stalled.
class TickWatch
{
public:
    TickWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(TickMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last >= 0) {
                m_gaps << (now - m_last) / 1e6;
                if (m_gaps.last() > 50 && m_firstStall < 0)
                    m_firstStall = now / 1e9;
            }
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    void fill(Result &result)
    {
        result.stallsOver50 = int(std::count_if(m_gaps.cbegin(), m_gaps.cend(), [](double g) { return g > 50; }));
        result.firstStallAtS = m_firstStall;
        std::sort(m_gaps.begin(), m_gaps.end());
        if (!m_gaps.isEmpty()) {
            result.maxGapMs = m_gaps.last();
            result.p99GapMs = m_gaps.at(int(m_gaps.size() * 0.99));
        }
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    double m_firstStall = -1;
    QList<double> m_gaps;
};

void writeChoice(const QString &configHome, bool serial, const QString &port)
{
    QDir().mkpath(configHome + QStringLiteral("/bench_serialline"));
    QFile file(configHome + QStringLiteral("/bench_serialline/serialgauge.conf"));
    file.open(QIODevice::WriteOnly);
    file.write("[serial]\nenabled=" + QByteArray(serial ? "true" : "false") + "\nport=" + port.toLocal8Bit() + "\n");
}

int rowsOf(Widget &window)
{
    return window.findChild<QAbstractItemView *>(QStringLiteral("tv"))->model()->rowCount();
}

void startMeasuring(Widget &window)
{
    window.findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
    QCoreApplication::processEvents();
}

// Sends lines at rate per second (0: as fast as the terminal takes them).
std::thread writer(PtyGauge &pty, const QList<QByteArray> &lines, int rate)
{
    return std::thread([&pty, &lines, rate] {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < lines.size(); ++i) {
            if (rate > 0)
                std::this_thread::sleep_until(start + std::chrono::microseconds(qint64(i) * 1000000 / rate));
            pty.send(lines.at(i));
        }
    });
}

Result serialPath(const QString &configHome, const QString &dbPath, const QList<QByteArray> &lines, int rate)
{
    PtyGauge pty;
    writeChoice(configHome, true, pty.slavePath());
    MeasurementDatabase database;
    database.open(dbPath);
    Widget window(&database);
    window.show();
    window.findChild<QAction *>(QStringLiteral("actionConnect"))->trigger();
    startMeasuring(window);

    Result result;
    TickWatch watch;
    QElapsedTimer clock;
    clock.start();
    std::thread thread = writer(pty, lines, rate);
    while (rowsOf(window) < lines.size() && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    result.readingsPerSecond = rowsOf(window) / (clock.nsecsElapsed() / 1e9);
    result.rows = rowsOf(window);
    thread.join();
    watch.fill(result);
    return result;
}

Result pluginPath(const QString &configHome, const QString &dbPath, const QList<QByteArray> &lines, int rate)
{
    writeChoice(configHome, false, QString());
    TestDmmControl *control = findTestGauge();
    control->reset();
    MeasurementDatabase database;
    database.open(dbPath);
    Widget window(&database);
    window.show();
    control->setLinkOpen(true);
    control->emitOpened();
    startMeasuring(window);

    // The readings a plug-in would make of the same lines.
    LineGrammar grammar;
    Result result;
    TickWatch watch;
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    while (sent < lines.size()) {
        const int due =
            rate > 0 ? std::min<int>(lines.size(), int(clock.nsecsElapsed() * rate / 1000000000)) : sent + 1;
        for (; sent < due; ++sent) {
            const QString line = QString::fromLatin1(lines.at(sent).trimmed());
            QElapsedTimer one;
            one.start();
            control->emitDisplay(grammar.read(line, QDateTime::currentDateTime()));
            result.slowestReadingMs = std::max(result.slowestReadingMs, one.nsecsElapsed() / 1e6);
        }
        QCoreApplication::processEvents(rate > 0 ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents, 1);
    }
    QCoreApplication::processEvents();
    result.readingsPerSecond = rowsOf(window) / (clock.nsecsElapsed() / 1e9);
    result.rows = rowsOf(window);
    watch.fill(result);
    return result;
}

void print(const char *name, const Result &r)
{
    std::printf("  %-34s %9.0f readings/s  rows %6d  longest stall %6.1f ms  99%% of gaps under %5.1f ms\n", name,
                r.readingsPerSecond, r.rows, r.maxGapMs, r.p99GapMs);
    std::printf("  %-34s stalls over 50 ms: %d (the first %.2f s into the run)\n", "", r.stallsOver50,
                r.firstStallAtS);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    if (!findTestGauge()) {
        std::fprintf(stderr, "run me from build/bench (needs the test and the serial plug-in in Lib/)\n");
        return 1;
    }
    QTemporaryDir data;
    const QList<QByteArray> flood = gaugeLines(FloodLines);
    const QList<QByteArray> paced = gaugeLines(PacedRate * PacedSeconds);

    std::printf("flood of %d lines, database on:\n", FloodLines);
    const Result serialFlood = serialPath(config.path(), data.filePath("a.sqlite"), flood, 0);
    const Result pluginFlood = pluginPath(config.path(), data.filePath("b.sqlite"), flood, 0);
    print("pty -> serial plug-in -> window", serialFlood);
    print("plug-in signal -> window", pluginFlood);
    std::printf("  the window's slowest single reading: %.1f ms\n", pluginFlood.slowestReadingMs);
    std::printf("  serial path / signal path: %.2f\n", serialFlood.readingsPerSecond / pluginFlood.readingsPerSecond);

    std::printf("%d readings a second for %d s, database on:\n", PacedRate, PacedSeconds);
    print("pty -> serial plug-in -> window", serialPath(config.path(), data.filePath("c.sqlite"), paced, PacedRate));
    print("plug-in signal -> window", pluginPath(config.path(), data.filePath("d.sqlite"), paced, PacedRate));
    return 0;
}
