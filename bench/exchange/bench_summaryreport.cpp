// The summary of all items: 200 items of 1,000 readings each, scattered
// around a nominal thickness with occasional overloads, judged by both
// rules; gathered from the items and written as a PDF.

#include "data/readingseries.h"
#include "data/itemdata.h"
#include "exchange/jobsummary.h"
#include "exchange/summaryreport.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int Items = 200;
constexpr int ReadingsPerItem = 1000;

std::vector<std::unique_ptr<ItemData>> makeItems()
{
    std::mt19937 random(508);
    std::normal_distribution<double> thickness(125.0, 14.0);
    std::uniform_int_distribution<int> overload(0, 199);
    const QDateTime start(QDate(2026, 5, 4), QTime(8, 0));
    std::vector<std::unique_ptr<ItemData>> items;
    for (int i = 0; i < Items; ++i) {
        auto item = std::make_unique<ItemData>(QStringLiteral("Area %1").arg(i + 1), ItemData::Measure);
        ReadingSeries readings;
        for (int r = 0; r < ReadingsPerItem; ++r) {
            const QString value = overload(random) == 0 ? QStringLiteral("OL")
                                                        : QString::number(qMax(0.0, thickness(random)), 'f', 1);
            readings.appendText(value, QStringLiteral("um"), QStringLiteral("Fe"), start.addSecs(i * 3600 + r));
        }
        item->append(readings, true);
        ItemLimits limits;
        limits.nominal = 120;
        limits.minimum = 100;
        limits.maximum = 160;
        limits.rule = i % 2 ? AcceptanceRule::Iso19840 : AcceptanceRule::SspcPa2;
        item->setLimits(limits);
        ItemDetails details;
        details.structure = QStringLiteral("Girder %1, web").arg(i + 1);
        details.inspector = QStringLiteral("Ann Lee");
        item->setDetails(details);
        items.push_back(std::move(item));
    }
    return items;
}

void BM_SummaryOfAllItems(benchmark::State &state)
{
    const auto items = makeItems();
    QList<const ItemData *> list;
    for (const auto &item : items)
        list << item.get();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("summary.pdf"));
    int rows = 0;
    for (auto _ : state) {
        const JobSummary job = summarizeJob(list);
        rows = job.rows.size();
        if (!writeSummaryReport(file, job))
            state.SkipWithError("the summary could not be written");
    }
    state.counters["items"] = rows;
    state.counters["bytes"] = QFileInfo(file).size();
}
BENCHMARK(BM_SummaryOfAllItems)->Unit(benchmark::kMillisecond)->Iterations(5);

// The two steps apart: the figures and verdicts, then the PDF.
void BM_GatherOnly(benchmark::State &state)
{
    const auto items = makeItems();
    QList<const ItemData *> list;
    for (const auto &item : items)
        list << item.get();
    for (auto _ : state)
        benchmark::DoNotOptimize(summarizeJob(list));
}
BENCHMARK(BM_GatherOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
