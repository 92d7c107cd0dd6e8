// Large and hostile workbooks read and imported as the window imports
// them: the file read row by row and every row turned into a reading.
// - 1,048,575 readings in an .xlsx written by openpyxl (number, time, value,
//   unit, basis and a note);
// - 65,535 readings in an .xls written by xlwt, alone and with one cell far
//   to the right (column IV) that stretches the used range;
// - hostile .xlsx files (a sheet of 20 million cells packed into a few
//   hundred kilobytes, 15 million tiny shared strings, cells at opposite
//   corners of the sheet) and an .xls with cells at its four corners.
// Readings as a gauge takes them: scattered normally around 120 um (sigma
// 12), one in forty an overload. Each run is a process of its own, which
// reports its processor and wall times and how far its peak resident
// memory (VmHWM) grew over what it held before; "read" walks the rows and
// asks for every cell, "import" makes the readings, and "alone" makes as
// many readings as the large file holds without any file, for the memory
// the readings themselves take.
//   bench_largeimport [DIR]   keeps the generated files in DIR (made once)

#include "data/readingseries.h"
#include "exchange/readingsimport.h"
#include "exchange/sheetrows.h"
#include "exchange/tablefile.h"

#include "bench/support/gaugereadings.h"
#include "bench/support/processmemory.h"
#include "tests/exchange/xlstesttools.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

struct Outcome
{
    double cpu = 0;
    double wall = 0;
    double growthMiB = 0;
    int imported = 0;
    int skipped = 0;
    int rejected = 0;
    qint64 cells = 0;
    QString error;
};

// The rows walked, every cell asked for.
void readRows(const QString &path, Outcome *o)
{
    QString error;
    const std::unique_ptr<SheetRows> rows = TableFile::open(path, &error);
    if (!rows) {
        o->error = error;
        return;
    }
    while (rows->next())
        for (int i = 0; i < rows->cellCount(); ++i)
            o->cells += rows->value(i).isValid();
    o->error = rows->errorString();
}

// The readings made; they are held until the peak has been taken.
ReadingSeries importRows(const QString &path, Outcome *o)
{
    QString error;
    const std::unique_ptr<SheetRows> rows = TableFile::open(path, &error);
    if (!rows) {
        o->error = error;
        return {};
    }
    ReadingsImport import(*rows);
    o->error = rows->errorString();
    o->imported = import.imported();
    o->skipped = import.skipped();
    o->rejected = import.rejected();
    return import.takeReadings();
}

int child(const QString &mode, const QString &path)
{
    Outcome o;
    resetPeak();
    const qint64 before = statusKiB("VmRSS:");
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpu = std::clock();
    ReadingSeries readings;
    if (mode == QLatin1String("read")) {
        readRows(path, &o);
    } else if (mode == QLatin1String("alone")) {
        for (int i = 0, count = path.toInt(); i < count; ++i)
            readings.append(scatteredFields(i));
        o.imported = readings.size();
    } else {
        readings = importRows(path, &o);
    }
    o.cpu = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    o.wall = wall.nsecsElapsed() / 1e9;
    o.growthMiB = (statusKiB("VmHWM:") - before) / 1024.0;
    readings.clear();
    std::printf("%.3f %.3f %.1f %d %d %d %lld %s\n", o.cpu, o.wall, o.growthMiB, o.imported, o.skipped, o.rejected,
                o.cells, qPrintable(o.error.left(90).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    return 0;
}

Outcome run(const QString &mode, const QString &path)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode, path});
    Outcome o;
    if (!p.waitForFinished(1800000) || p.exitCode() != 0) {
        o.error = QStringLiteral("the run failed: ") + QString::fromLocal8Bit(p.readAllStandardError()).left(200);
        return o;
    }
    const QString line = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    const QStringList f = line.split(QLatin1Char(' '));
    if (f.size() < 7)
        return o;
    o.cpu = f.at(0).toDouble();
    o.wall = f.at(1).toDouble();
    o.growthMiB = f.at(2).toDouble();
    o.imported = f.at(3).toInt();
    o.skipped = f.at(4).toInt();
    o.rejected = f.at(5).toInt();
    o.cells = f.at(6).toLongLong();
    o.error = f.mid(7).join(QLatin1Char(' '));
    return o;
}

// The run with the least processor time of a few.
Outcome best(const QString &mode, const QString &path, int rounds)
{
    Outcome chosen;
    for (int i = 0; i < rounds; ++i) {
        const Outcome o = run(mode, path);
        if (i == 0 || o.cpu < chosen.cpu)
            chosen = o;
    }
    return chosen;
}

bool make(const QString &dir, const QString &name, const QStringList &args)
{
    const QString path = dir + QLatin1Char('/') + name;
    if (QFile::exists(path))
        return true;
    std::printf("making %s ...\n", qPrintable(name));
    std::fflush(stdout);
    QProcess p;
    p.start(XlsTestTools::python(), QStringList{QStringLiteral(VK_BENCH_SCRIPT), args.first(), path} + args.mid(1));
    if (p.waitForFinished(3600000) && p.exitCode() == 0)
        return true;
    std::fprintf(stderr, "%s\n", p.readAllStandardError().constData());
    QFile::remove(path);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--child"))
        return child(args.at(2), args.at(3));

    QTemporaryDir temporary;
    const QString dir = args.size() > 1 ? args.at(1) : temporary.path();
    QDir().mkpath(dir);
    struct Case
    {
        const char *name;
        QStringList make;
        int rounds;
    };
    const QList<Case> cases = {
            {"readings-1048575.xlsx", {"xlsx", "1048575"}, 2},
            {"readings-65535.xls", {"xls", "65535"}, 3},
            {"readings-65535-far.xls", {"xls", "65535", "far"}, 3},
            {"bomb-cells.xlsx", {"bomb-cells"}, 1},
            {"bomb-strings.xlsx", {"bomb-strings"}, 1},
            {"corners.xlsx", {"corners"}, 1},
            {"corners.xls", {"corners-xls"}, 1},
    };
    for (const Case &c : cases)
        if (!make(dir, QLatin1String(c.name), c.make))
            return 1;

    std::printf("%-24s %-6s %8s %8s %10s %9s %8s %8s %9s  %s\n", "file", "what", "cpu s", "wall s", "peak +MiB",
                "imported", "skipped", "rejected", "cells", "error");
    for (const Case &c : cases) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(c.name);
        for (const char *mode : {"read", "import"}) {
            const Outcome o = best(QLatin1String(mode), path, c.rounds);
            std::printf("%-24s %-6s %8.2f %8.2f %10.1f %9d %8d %8d %9lld  %s\n", c.name, mode, o.cpu, o.wall,
                        o.growthMiB, o.imported, o.skipped, o.rejected, o.cells, qPrintable(o.error));
            std::fflush(stdout);
        }
    }
    // What the readings themselves take, made without a file (their times
    // would only measure the drawing of random numbers).
    const Outcome alone = run(QStringLiteral("alone"), QStringLiteral("1048575"));
    std::printf("%-24s %-6s %8s %8s %10.1f %9d\n", "(no file)", "alone", "-", "-", alone.growthMiB, alone.imported);
    return 0;
}
