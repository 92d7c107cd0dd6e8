// What keeping the items in measurements.sqlite costs the window:
// - live intake: a flood of 10,000 readings through the window's intake
//   (item, table row, histogram, chart point, labels), with and without the
//   database (the readings of a turn committed before they show), until
//   the table shows them all. The
//   store alone is also measured with the log synced only at checkpoints
//   (synchronous=NORMAL, what the program uses) against synced at every
//   commit (synchronous=FULL);
// - start-up: opening the database, building the window and its first
//   paint, with 1,000,000 kept readings in 20 items against an empty file;
// - the file's size per kept reading.
// Runs from the tests' home folder, which holds the test plug-in in Lib/.

#include "app/widget.h"
#include "bench/support/gaugereadings.h"
#include "device/dmmdata.h"
#include "data/itemstore.h"
#include "data/measurementdatabase.h"
#include "tests/support/testgauge.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int FloodReadings = 10000;
constexpr int KeptItems = 20;
constexpr int KeptReadings = 1000000;
constexpr int Rounds = 3;

// Microseconds per reading of a live flood; events are handled afterwards.
double floodMicroseconds(MeasurementDatabase *database)
{
    TestDmmControl *control = findTestGauge();
    control->reset();
    Widget window(database);
    window.show();
    control->setLinkOpen(true);
    control->emitOpened();
    window.findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < FloodReadings; ++i)
        control->emitDisplay(scatteredReading(i));
    // Until every reading is kept and shown; a stale test plug-in binds
    // nothing, and the flood would never show.
    QAbstractItemModel *table = window.findChild<QAbstractItemView *>(QStringLiteral("tv"))->model();
    while (table->rowCount() < FloodReadings && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double elapsed = timer.nsecsElapsed() / 1000.0 / FloodReadings;
    if (table->rowCount() != FloodReadings) {
        std::fprintf(stderr, "the window did not take the readings; rebuild the test plug-in (testdmm)\n");
        std::exit(1);
    }
    return elapsed;
}

// The same flood through the item store alone: what keeping adds by itself.
double storeMicroseconds(ItemKeeper *keeper)
{
    ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
    store.restore(keeper);
    ItemData *item = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
    store.setActive(item);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < FloodReadings; ++i)
        store.append(item, scatteredFields(i));
    store.flush();
    return timer.nsecsElapsed() / 1000.0 / FloodReadings;
}

// Waits for the first paint of a widget.
class FirstPaint : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Milliseconds from opening the file to the window's first paint.
double startMilliseconds(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    MeasurementDatabase database;
    database.open(path);
    Widget window(&database);
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    while (!paint.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    window.removeEventFilter(&paint);
    return elapsed;
}

void fill(const QString &path)
{
    MeasurementDatabase database;
    database.open(path);
    const int perItem = KeptReadings / KeptItems;
    qint64 first = 0;
    for (int item = 0; item < KeptItems; ++item) {
        const qint64 id = database.addItem(QStringLiteral("Measure%1").arg(item + 1), ItemData::Measure,
                                           Unit::Micrometre);
        first = first ? first : id;
        ReadingSeries readings;
        for (int group = 0; group < perItem; group += 1000) {
            for (int i = 0; i < 1000; ++i)
                readings.append(scatteredFields(item * perItem + group + i));
            ItemStatistics statistics;
            statistics.num = group + 1000;
            database.appendReadings(id, readings, group, statistics);
        }
    }
    database.setActiveItem(first);
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!testGaugeAtHand())
        return 1;
    QTemporaryDir dir;

    QList<double> memory, kept, storeMemory, storeKept, storeFull;
    for (int round = 0; round < Rounds; ++round) {
        memory << floodMicroseconds(nullptr);
        MeasurementDatabase database;
        database.open(dir.filePath(QStringLiteral("flood%1.sqlite").arg(round)));
        kept << floodMicroseconds(&database);
        storeMemory << storeMicroseconds(nullptr);
        MeasurementDatabase storeDatabase;
        storeDatabase.open(dir.filePath(QStringLiteral("store%1.sqlite").arg(round)));
        storeKept << storeMicroseconds(&storeDatabase);
        MeasurementDatabase fullDatabase;
        fullDatabase.open(dir.filePath(QStringLiteral("full%1.sqlite").arg(round)));
        for (const QString &name : QSqlDatabase::connectionNames()) {
            QSqlDatabase connection = QSqlDatabase::database(name);
            if (connection.databaseName() == fullDatabase.path())
                QSqlQuery(connection).exec(QStringLiteral("PRAGMA synchronous = FULL"));
        }
        storeFull << storeMicroseconds(&fullDatabase);
    }
    std::printf("live intake of %d readings, median of %d rounds:\n", FloodReadings, Rounds);
    std::printf("  window, in memory only  %8.1f us per reading\n", median(memory));
    std::printf("  window, kept            %8.1f us per reading   (%.2fx)\n", median(kept),
                median(kept) / median(memory));
    std::printf("  store alone, in memory  %8.1f us per reading\n", median(storeMemory));
    std::printf("  store alone, kept       %8.1f us per reading   (synchronous=NORMAL)\n", median(storeKept));
    std::printf("  store alone, kept       %8.1f us per reading   (synchronous=FULL)\n", median(storeFull));

    const QString empty = dir.filePath(QStringLiteral("empty.sqlite"));
    const QString full = dir.filePath(QStringLiteral("full.sqlite"));
    { MeasurementDatabase database; database.open(empty); }
    QElapsedTimer filling;
    filling.start();
    fill(full);
    std::printf("filling %d readings in %d items took %.1f s\n", KeptReadings, KeptItems, filling.elapsed() / 1000.0);

    QList<double> emptyStart, fullStart;
    startMilliseconds(empty); // loads fonts, icons and plug-ins once
    for (int round = 0; round < Rounds; ++round) {
        emptyStart << startMilliseconds(empty);
        fullStart << startMilliseconds(full);
    }
    std::printf("start to first paint, median of %d rounds:\n", Rounds);
    std::printf("  empty file                          %8.1f ms\n", median(emptyStart));
    std::printf("  %d readings in %d items, %d active %8.1f ms   (+%.1f ms)\n", KeptReadings, KeptItems,
                KeptReadings / KeptItems, median(fullStart), median(fullStart) - median(emptyStart));

    const double bytes = QFileInfo(full).size();
    std::printf("file size: %.1f MB, %.1f bytes per reading\n", bytes / 1e6, bytes / KeptReadings);
    return 0;
}
