// Cost of the live path at growing item sizes: append with statistics,
// table append and cell reads; and the memory a held reading takes.
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemsummary.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <vector>

namespace {

constexpr int Batch = 1000;

// A reading as the simulated gauge makes it: literal unit and basis.
DmmData *simulatedReading(int i)
{
    const double value = 100.0 + (i * 37 % 1000) / 10.0;
    return Reading::make(QString::number(value, 'f', 1), QStringLiteral("um"),
                         QStringLiteral("Fe"), QDateTime::currentDateTime());
}

// A reading as a parser of the serial stream makes it: every text is new.
DmmData *parsedReading(int i)
{
    const double value = 100.0 + (i * 37 % 1000) / 10.0;
    const QByteArray unit = "um";
    const QByteArray basis = "Fe";
    return Reading::make(QString::number(value, 'f', 1), QString::fromLatin1(unit),
                         QString::fromLatin1(basis), QDateTime::currentDateTime());
}

void fill(ItemData &item, int size)
{
    item.clear();
    for (int i = 0; i < size; ++i)
        item.append(simulatedReading(i), false);
    item.calcStatistics();
}

std::vector<DmmData *> makeBatch()
{
    std::vector<DmmData *> batch;
    batch.reserve(Batch);
    for (int i = 0; i < Batch; ++i)
        batch.push_back(simulatedReading(i));
    return batch;
}

// The live path: one reading appended and the statistics brought up to date.
void BM_ItemAppendWithStatistics(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, size);
    for (auto _ : state) {
        state.PauseTiming();
        // Keep the item near its nominal size.
        if (item.count() > size + size / 10)
            fill(item, size);
        const std::vector<DmmData *> batch = makeBatch();
        state.ResumeTiming();
        for (DmmData *reading : batch)
            item.append(reading, true);
        benchmark::DoNotOptimize(item.statistics());
    }
    state.SetItemsProcessed(state.iterations() * Batch);
}
BENCHMARK(BM_ItemAppendWithStatistics)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Iterations(200)->Unit(benchmark::kMicrosecond);

// What the spread figures (standard deviation, CV, overloads) add to every
// append: the two running spreads fed from the same readings, alone. Set
// against BM_ItemAppendWithStatistics, whose cost includes it.
void BM_RunningSpreadsPerReading(benchmark::State &state)
{
    const std::vector<DmmData *> batch = makeBatch();
    for (auto _ : state) {
        RunningSpread all;
        RunningSpread thicknesses;
        for (const DmmData *reading : batch) {
            const double v = reading->valueUm();
            all.add(v);
            if (reading->overload() == 0)
                thicknesses.add(v);
        }
        benchmark::DoNotOptimize(all);
        benchmark::DoNotOptimize(thicknesses);
    }
    state.SetItemsProcessed(state.iterations() * Batch);
    for (DmmData *reading : batch)
        delete reading;
}
BENCHMARK(BM_RunningSpreadsPerReading)->Unit(benchmark::kMicrosecond);

// The verdict over a whole item: one pass over its readings (ISO 19840).
void BM_ItemVerdict(benchmark::State &state)
{
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, int(state.range(0)));
    ItemLimits limits;
    limits.nominal = 120;
    limits.maximum = 200;
    limits.rule = AcceptanceRule::Iso19840;
    item.setLimits(limits);
    for (auto _ : state)
        benchmark::DoNotOptimize(summarizeItem(item));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ItemVerdict)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The full pass, for comparison: what every append cost before.
void BM_ItemCalcStatistics(benchmark::State &state)
{
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, int(state.range(0)));
    for (auto _ : state) {
        item.calcStatistics();
        benchmark::DoNotOptimize(item.statistics());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ItemCalcStatistics)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

void BM_TableAppend(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, size);
    DmmData *extra = simulatedReading(0);
    DataModel model;
    model.setItem(&item);
    model.setDatas(item.datas());
    // The table shares the item's list until one of them grows; let that
    // one copy happen before timing.
    model.append(extra);
    model.removeRows(size, 1);
    for (auto _ : state) {
        for (int i = 0; i < Batch; ++i)
            model.append(extra);
        state.PauseTiming();
        model.removeRows(size, Batch);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Batch);
    delete extra;
}
BENCHMARK(BM_TableAppend)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Iterations(200)->Unit(benchmark::kMicrosecond);

void BM_TableData(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, size);
    DataModel model;
    model.setItem(&item);
    model.setDatas(item.datas());
    quint32 row = 0;
    for (auto _ : state) {
        // Rows scattered over the whole table, every column in turn.
        row = (row + 7919) % quint32(size);
        for (int column = 0; column < DataModel::ColumnCount; ++column)
            benchmark::DoNotOptimize(model.data(model.index(int(row), column)));
    }
    state.SetItemsProcessed(state.iterations() * DataModel::ColumnCount);
}
BENCHMARK(BM_TableData)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kNanosecond);

// What the view reads while following live readings: the last screenful.
void BM_TableDataLastPage(benchmark::State &state)
{
    const int size = int(state.range(0));
    constexpr int Page = 30;
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, size);
    DataModel model;
    model.setItem(&item);
    model.setDatas(item.datas());
    for (auto _ : state) {
        for (int row = size - Page; row < size; ++row)
            for (int column = 0; column < DataModel::ColumnCount; ++column)
                benchmark::DoNotOptimize(model.data(model.index(row, column)));
    }
    state.SetItemsProcessed(state.iterations() * Page * DataModel::ColumnCount);
}
BENCHMARK(BM_TableDataLastPage)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

// The first live reading after a refresh: the item and the table stop
// sharing their list here, once.
void BM_FirstAppendAfterRefresh(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    item.setUnit(QStringLiteral("um"));
    fill(item, size);
    DataModel model;
    model.setItem(&item);
    for (auto _ : state) {
        state.PauseTiming();
        model.clear();
        model.setDatas(item.datas());
        DmmData *reading = simulatedReading(0);
        state.ResumeTiming();
        item.append(reading, true);
        model.append(reading);
    }
}
BENCHMARK(BM_FirstAppendAfterRefresh)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Iterations(50)->Unit(benchmark::kMicrosecond);

// Heap bytes per reading held in an item, measured with the allocator's
// own count (readings, their texts and times, the item's list).
template <DmmData *(*Make)(int)>
void BM_MemoryPerReading(benchmark::State &state)
{
    const int count = int(state.range(0));
    double bytesPerReading = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto *item = new ItemData(QStringLiteral("Measure1"), ItemData::Measure);
        item->setUnit(QStringLiteral("um"));
        for (int i = 0; i < count; ++i)
            item->append(Make(i), true);
        const size_t after = mallinfo2().uordblks;
        bytesPerReading = double(after - before) / count;
        delete item;
    }
    state.counters["bytes_per_reading"] = bytesPerReading;
}
BENCHMARK_TEMPLATE(BM_MemoryPerReading, simulatedReading)->Arg(100000)->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MemoryPerReading, parsedReading)->Arg(100000)->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
