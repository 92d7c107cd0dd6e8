// Pushes 100 000 readings through the window's intake, live (measuring) and
// stored, with event processing after each one, and reports what a reading
// costs among the first and among the last thousand. The intake is linear
// when the two stay about equal. Two shapes: readings scattered around a
// nominal with overloads, as a gauge gives them, and a slow sawtooth.

#include "app/widget.h"
#include "device/dmmdata.h"
#include "bench/support/gaugereadings.h"
#include "tests/support/testgauge.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int Readings = 100000;
constexpr int Window = 1000;

DmmData *sawtoothReading(int i)
{
    const QDateTime time = QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(i);
    return Reading::make(QString::number(100 + (i % 97) * 0.5, 'f', 1), QStringLiteral("um"), QStringLiteral("Fe"),
                         time);
}

using Shape = DmmData *(*)(int);

template <typename Deliver>
void run(benchmark::State &state, Shape reading, Deliver deliver)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        double first = 0, last = 0;
        timer.start();
        for (int i = 0; i < Readings; ++i) {
            if (i == Window)
                first = timer.nsecsElapsed() / double(Window);
            if (i == Readings - Window)
                timer.restart();
            deliver(reading(i));
            QCoreApplication::processEvents();
        }
        last = timer.nsecsElapsed() / double(Window);
        state.SetIterationTime(last * Window / 1e9);
        state.counters["first_1000_us_per_reading"] = first / 1000;
        state.counters["last_1000_us_per_reading"] = last / 1000;
        state.counters["ratio_last_to_first"] = last / first;
    }
}

void BM_LiveIntake(benchmark::State &state, Shape shape)
{
    TestDmmControl *control = findTestGauge();
    control->reset();
    Widget window;
    window.show();
    control->setLinkOpen(true);
    control->emitOpened();
    window.findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
    run(state, shape, [control](DmmData *data) { control->emitDisplay(data); });
}

void BM_StoredIntake(benchmark::State &state, Shape shape)
{
    TestDmmControl *control = findTestGauge();
    control->reset();
    Widget window;
    window.show();
    control->setLinkOpen(true);
    control->emitOpened();
    window.findChild<QAction *>(QStringLiteral("actionItemDownload"))->trigger();
    run(state, shape, [control](DmmData *data) { control->emitDisplayStore(data); });
}

} // namespace

BENCHMARK_CAPTURE(BM_LiveIntake, scattered, scatteredReading)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LiveIntake, sawtooth, sawtoothReading)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StoredIntake, scattered, scatteredReading)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StoredIntake, sawtooth, sawtoothReading)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!testGaugeAtHand())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
