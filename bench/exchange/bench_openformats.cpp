// .xlsx and CSV export and import of 65,535 and 1,000,000 readings, side by
// side with openpyxl (write-only and read-only modes) and Python's csv
// module on the same rows. Both sides read the files our export wrote.
// Times are processor times of the work alone (the machines these run on
// are shared, so wall-clock times say more about the neighbours). Prints
// the ratios at the end.

#include "exchange/sheetrows.h"
#include "exchange/tablefile.h"

#include "bench/exchange/tablesnapshot.h"
#include "tests/exchange/xlstesttools.h"

#include <QCoreApplication>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

namespace {

constexpr int Small = 65535;
constexpr int Large = 1000000;

QTemporaryDir *g_dir = nullptr;
QMap<QString, double> g_seconds; // mean seconds per run, by benchmark and size

QString path(const char *name, int rows)
{
    return g_dir->filePath(QStringLiteral("%1-%2").arg(rows).arg(QLatin1String(name)));
}

const QAbstractItemModel &model(int rows)
{
    static std::map<int, std::unique_ptr<TableSnapshot>> tables;
    auto &table = tables[rows];
    if (!table)
        table = std::make_unique<TableSnapshot>(XlsTestTools::SyntheticReadings(rows));
    return *table;
}

// The rows as tab-separated texts, the Python side's input.
void writeRowsFile(int rows)
{
    QFile f(path("rows.tsv", rows));
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out.setCodec("UTF-8");
    const auto &m = model(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 5; ++c)
            out << (c ? "\t" : "") << m.data(m.index(r, c)).toString();
        out << "\n";
    }
}

void record(benchmark::State &state, const char *name, double seconds)
{
    g_seconds[QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(state.range(0))] =
            seconds / double(state.iterations());
}

void runOurs(benchmark::State &state, const char *name, const std::function<bool(int, QString *)> &run)
{
    double total = 0;
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        QString error;
        if (!run(int(state.range(0)), &error))
            state.SkipWithError(qPrintable(error));
        const double s = double(std::clock() - start) / CLOCKS_PER_SEC;
        state.SetIterationTime(s);
        total += s;
    }
    record(state, name, total);
}

void runPython(benchmark::State &state, const char *name, const QStringList &args)
{
    double total = 0;
    for (auto _ : state) {
        QProcess p;
        p.start(XlsTestTools::python(), QStringList{QStringLiteral(VK_BENCH_SCRIPT)} + args);
        if (!p.waitForFinished(1800000) || p.exitCode() != 0) {
            state.SkipWithError(p.readAllStandardError().constData());
            break;
        }
        const double s = p.readAllStandardOutput().trimmed().toDouble();
        state.SetIterationTime(s);
        total += s;
    }
    record(state, name, total);
}

bool readBack(const QString &file, int rows, QString *error)
{
    // Row by row, each cell's value once.
    const std::unique_ptr<SheetRows> read = TableFile::open(file, error);
    if (!read)
        return false;
    int cells = 0;
    while (read->next())
        for (int i = 0; i < read->cellCount(); ++i)
            cells += read->value(i).isValid();
    if (!read->errorString().isEmpty()) {
        *error = read->errorString();
        return false;
    }
    if (cells != (rows + 1) * 5)
        *error = QStringLiteral("wrong cell count");
    return cells == (rows + 1) * 5;
}

void BM_XlsxWriteOurs(benchmark::State &state)
{
    runOurs(state, "xlsx write ours", [](int rows, QString *error) {
        return TableFile::write(path("ours.xlsx", rows), TableFile::Format::Xlsx, model(rows), error);
    });
}

void BM_XlsxWriteOpenpyxl(benchmark::State &state)
{
    const int rows = int(state.range(0));
    runPython(state, "xlsx write openpyxl",
              {QStringLiteral("xlsx-write"), path("rows.tsv", rows), path("openpyxl.xlsx", rows)});
}

void BM_XlsxReadOurs(benchmark::State &state)
{
    runOurs(state, "xlsx read ours",
            [](int rows, QString *error) { return readBack(path("ours.xlsx", rows), rows, error); });
}

void BM_XlsxReadOpenpyxl(benchmark::State &state)
{
    runPython(state, "xlsx read openpyxl", {QStringLiteral("xlsx-read"), path("ours.xlsx", int(state.range(0)))});
}

void BM_CsvWriteOurs(benchmark::State &state)
{
    runOurs(state, "csv write ours", [](int rows, QString *error) {
        return TableFile::write(path("ours.csv", rows), TableFile::Format::Csv, model(rows), error);
    });
}

void BM_CsvWritePython(benchmark::State &state)
{
    const int rows = int(state.range(0));
    runPython(state, "csv write python",
              {QStringLiteral("csv-write"), path("rows.tsv", rows), path("python.csv", rows)});
}

void BM_CsvReadOurs(benchmark::State &state)
{
    runOurs(state, "csv read ours",
            [](int rows, QString *error) { return readBack(path("ours.csv", rows), rows, error); });
}

void BM_CsvReadPython(benchmark::State &state)
{
    runPython(state, "csv read python", {QStringLiteral("csv-read"), path("ours.csv", int(state.range(0)))});
}

// Ours are run three times at the smaller size; each Python run is one
// process, so one run each.
#define VK_OPEN_FORMAT_BENCH(fn, smallRuns)                                                                  \
    BENCHMARK(fn)->Arg(Small)->Iterations(smallRuns)->UseManualTime()->Unit(benchmark::kMillisecond);      \
    BENCHMARK(fn)->Arg(Large)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond)

VK_OPEN_FORMAT_BENCH(BM_XlsxWriteOurs, 3);
VK_OPEN_FORMAT_BENCH(BM_XlsxWriteOpenpyxl, 1);
VK_OPEN_FORMAT_BENCH(BM_XlsxReadOurs, 3);
VK_OPEN_FORMAT_BENCH(BM_XlsxReadOpenpyxl, 1);
VK_OPEN_FORMAT_BENCH(BM_CsvWriteOurs, 3);
VK_OPEN_FORMAT_BENCH(BM_CsvWritePython, 1);
VK_OPEN_FORMAT_BENCH(BM_CsvReadOurs, 3);
VK_OPEN_FORMAT_BENCH(BM_CsvReadPython, 1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    for (int rows : {Small, Large})
        writeRowsFile(rows);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (int rows : {Small, Large}) {
        std::printf("\n%d readings:\n", rows);
        for (const char *task : {"xlsx write", "xlsx read", "csv write", "csv read"}) {
            const QString reference = QLatin1String(task).startsWith(QLatin1String("xlsx")) ? "openpyxl" : "python";
            const double theirs = g_seconds.value(QStringLiteral("%1 %2 %3").arg(task, reference).arg(rows));
            const double ours = g_seconds.value(QStringLiteral("%1 ours %2").arg(task).arg(rows));
            if (theirs > 0 && ours > 0)
                std::printf("%-10s %-8s %9.1f ms   ours %9.1f ms   ours %.1fx faster\n", task,
                            qPrintable(reference), theirs * 1e3, ours * 1e3, theirs / ours);
        }
    }
    return 0;
}
