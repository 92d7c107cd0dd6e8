// Export and import of 65,535 readings, side by side with python3-xlwt
// writing and python3-xlrd (and libfreexl) reading the same rows. Prints the
// ratios at the end.

#include "data/readingseries.h"
#include "exchange/readingsworkbook.h"

#include "bench/exchange/tablesnapshot.h"
#include "tests/exchange/xlstesttools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>
#include <freexl.h>

#include <cstdio>

namespace {

constexpr int Rows = 65535;

QTemporaryDir *g_dir = nullptr;
QMap<QString, double> g_seconds; // mean seconds per run, by benchmark

QString path(const QString &name)
{
    return g_dir->filePath(name);
}

const QAbstractItemModel &model()
{
    static const XlsTestTools::SyntheticReadings readings(Rows);
    static const TableSnapshot snapshot(readings);
    return snapshot;
}

void record(benchmark::State &state, const char *name, double seconds)
{
    g_seconds[QString::fromLatin1(name)] = seconds / double(state.iterations());
}

double runPython(const QStringList &args)
{
    QProcess p;
    p.start(XlsTestTools::python(), QStringList{QStringLiteral(VK_BENCH_SCRIPT)} + args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::fprintf(stderr, "python failed: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    return p.readAllStandardOutput().trimmed().toDouble();
}

void writeRowsFile()
{
    QFile f(path(QStringLiteral("rows.tsv")));
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out.setCodec("UTF-8");
    const auto &m = model();
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < 5; ++c)
            out << (c ? "\t" : "") << m.data(m.index(r, c)).toString();
        out << "\n";
    }
}

void BM_ExportOurs(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QString error;
        if (!writeReadingsWorkbook(path(QStringLiteral("ours.xls")), model(), &error))
            state.SkipWithError(qPrintable(error));
        total += t.nsecsElapsed() / 1e9;
    }
    record(state, "export ours", total);
}

void BM_ExportXlwt(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        const double s = runPython({QStringLiteral("write"), path(QStringLiteral("rows.tsv")),
                                    path(QStringLiteral("xlwt.xls"))});
        if (s < 0)
            state.SkipWithError("xlwt failed");
        state.SetIterationTime(s);
        total += s;
    }
    record(state, "export xlwt", total);
}

// The used range alone: cell values, as xlrd's row values.
void BM_ReadOurs(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QList<QVariantList> rows;
        QString error;
        if (!readFirstSheetUsedRange(path(QStringLiteral("ours.xls")), &rows, &error))
            state.SkipWithError(qPrintable(error));
        total += t.nsecsElapsed() / 1e9;
        if (rows.size() != Rows + 1)
            state.SkipWithError("wrong row count");
    }
    record(state, "read ours", total);
}

// The import's work: the used range, then one reading per row. Freeing
// them afterwards is not timed (nor is it for xlrd's values).
void BM_ImportOurs(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QList<QVariantList> rows;
        QString error;
        if (!readFirstSheetUsedRange(path(QStringLiteral("ours.xls")), &rows, &error))
            state.SkipWithError(qPrintable(error));
        ReadingSeries readings;
        for (int r = 1; r < rows.size(); ++r)
            readingFromRow(rows.at(r), &readings);
        total += t.nsecsElapsed() / 1e9;
        if (readings.size() != Rows)
            state.SkipWithError("wrong row count");
    }
    record(state, "import ours", total);
}

void BM_ImportXlrd(benchmark::State &state)
{
    double total = 0;
    for (auto _ : state) {
        const double s = runPython({QStringLiteral("read"), path(QStringLiteral("ours.xls"))});
        if (s < 0)
            state.SkipWithError("xlrd failed");
        state.SetIterationTime(s);
        total += s;
    }
    record(state, "import xlrd", total);
}

void BM_ImportFreexl(benchmark::State &state)
{
    double total = 0;
    const QByteArray file = QFile::encodeName(path(QStringLiteral("ours.xls")));
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const void *handle = nullptr;
        if (freexl_open(file.constData(), &handle) != FREEXL_OK
                || freexl_select_active_worksheet(handle, 0) != FREEXL_OK) {
            state.SkipWithError("freexl failed");
            break;
        }
        unsigned int rows = 0;
        unsigned short columns = 0;
        freexl_worksheet_dimensions(handle, &rows, &columns);
        FreeXL_CellValue v;
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < columns; ++c)
                freexl_get_cell_value(handle, r, c, &v);
        freexl_close(handle);
        total += t.nsecsElapsed() / 1e9;
    }
    record(state, "import freexl", total);
}

BENCHMARK(BM_ExportOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExportXlwt)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ReadOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportOurs)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ImportXlrd)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_ImportFreexl)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    writeRowsFile();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    auto ratio = [](const char *other, const char *ours) {
        const double a = g_seconds.value(QString::fromLatin1(other));
        const double b = g_seconds.value(QString::fromLatin1(ours));
        if (a > 0 && b > 0)
            std::printf("%-14s %8.1f ms   %-12s %8.1f ms   ours %.1fx faster\n", other, a * 1e3, ours,
                        b * 1e3, a / b);
    };
    std::printf("\n%d readings:\n", Rows);
    ratio("export xlwt", "export ours");
    ratio("import xlrd", "read ours");
    ratio("import xlrd", "import ours");
    ratio("import freexl", "read ours");
    return 0;
}
