// Cost of the live path at growing item sizes: append with statistics,
// table rows shown and cell reads; and the memory a held reading takes.
// Readings scattered around 120 µm with overloads, as a gauge gives them.
#include "bench/support/gaugereadings.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemsummary.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <vector>

namespace {

constexpr int Batch = 1000;

void fill(ItemData &item, int size)
{
    item.clear();
    ReadingSeries readings;
    for (int i = 0; i < size; ++i)
        readings.append(scatteredFields(i));
    item.append(readings, true);
}

std::vector<ReadingFields> makeBatch()
{
    std::vector<ReadingFields> batch;
    batch.reserve(Batch);
    for (int i = 0; i < Batch; ++i)
        batch.push_back(scatteredFields(i));
    return batch;
}

// The live path: one reading appended and the statistics brought up to date.
void BM_ItemAppendWithStatistics(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    fill(item, size);
    const std::vector<ReadingFields> batch = makeBatch();
    for (auto _ : state) {
        state.PauseTiming();
        // Keep the item near its nominal size.
        if (item.count() > size + size / 10)
            fill(item, size);
        state.ResumeTiming();
        for (const ReadingFields &reading : batch)
            item.append(reading, true);
        benchmark::DoNotOptimize(item.statistics());
    }
    state.SetItemsProcessed(state.iterations() * Batch);
}
BENCHMARK(BM_ItemAppendWithStatistics)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Iterations(200)->Unit(benchmark::kMicrosecond);

// The verdict over a whole item: one pass over its readings (ISO 19840).
void BM_ItemVerdict(benchmark::State &state)
{
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
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

// The full pass.
void BM_ItemCalcStatistics(benchmark::State &state)
{
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    fill(item, int(state.range(0)));
    for (auto _ : state) {
        item.calcStatistics();
        benchmark::DoNotOptimize(item.statistics());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ItemCalcStatistics)->Arg(1000)->Arg(100000)->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

// Cells read from rows scattered over the whole table, every column in turn.
void BM_TableData(benchmark::State &state)
{
    const int size = int(state.range(0));
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    fill(item, size);
    DataModel model;
    model.setItem(&item);
    model.showRows(size);
    quint32 row = 0;
    for (auto _ : state) {
        row = (row + 7919) % quint32(size);
        for (int column = 0; column < DataModel::ColumnCount; ++column)
            benchmark::DoNotOptimize(model.data(model.index(int(row), column)));
    }
    state.SetItemsProcessed(state.iterations() * DataModel::ColumnCount);
}
BENCHMARK(BM_TableData)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kNanosecond);

// Heap bytes per reading held in an item, counted by the allocator.
void BM_MemoryPerReading(benchmark::State &state)
{
    const int count = int(state.range(0));
    double bytesPerReading = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto *item = new ItemData(QStringLiteral("Measure1"), ItemData::Measure);
        for (int i = 0; i < count; ++i)
            item->append(scatteredFields(i), true);
        const size_t after = mallinfo2().uordblks;
        bytesPerReading = double(after - before) / count;
        delete item;
    }
    state.counters["bytes_per_reading"] = bytesPerReading;
}
BENCHMARK(BM_MemoryPerReading)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
