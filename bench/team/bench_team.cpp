// The team database against a real PostgreSQL server that the benchmark
// starts itself (default settings, so every commit is synced to disk):
// - push: one installation sends 1,000,000 readings in 20 items;
// - pull: another installation brings the same into its cache;
// - for scale: PostgreSQL's own COPY of the same 1,000,000 rows from a
//   file into a table with a primary key;
// - 20 installations of 50,000 readings each (5 items) syncing at once,
//   twice: the first round sends everything and brings what is there, the
//   second brings the rest. Checked: exactly 1,000,000 readings on the
//   server, and every installation's cache holds the other 19 inspectors'
//   items with all their readings.
// "bench_team single" measures push, pull and COPY only.
// Readings scattered around 120 µm (σ 12), one in forty an overload.

#include "bench/support/gaugereadings.h"
#include "data/measurementdatabase.h"
#include "team/measurementsreader.h"
#include "team/teamcache.h"
#include "team/teamconnection.h"
#include "team/teamschema.h"
#include "team/teamsync.h"
#include "tests/support/postgrescluster.h"
#include "tests/support/teamsettingsfor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Readings = 1000000;
constexpr int Installations = 20;

// Ends the run through main, so that the server is stopped and the
// temporary folders go.
struct Failure
{
    QString what;
};

[[noreturn]] void fail(const QString &what)
{
    throw Failure{what};
}

// A measurements file with items items of perItem readings each.
void fill(const QString &path, int items, int perItem, int offset)
{
    MeasurementDatabase database;
    if (!database.open(path))
        fail(database.problem());
    database.addItem(QStringLiteral("Store Data"), ItemData::StoreData, Unit::Micrometre);
    for (int i = 0; i < items; ++i) {
        const qint64 id = database.addItem(QStringLiteral("Area %1").arg(i + 1), ItemData::Measure,
                                           Unit::Micrometre);
        ReadingSeries readings;
        for (int n = 0; n < perItem; ++n)
            readings.append(scatteredFields(offset + i * perItem + n));
        ItemStatistics statistics;
        statistics.num = perItem;
        if (!database.appendReadings(id, readings, 0, statistics))
            fail(database.failure());
    }
}

struct Home
{
    QTemporaryDir dir;
    QString measurements() const { return dir.filePath(QStringLiteral("measurements.sqlite")); }
    QString cache() const { return dir.filePath(QStringLiteral("team.sqlite")); }
};

TeamSyncReport syncOf(const Home &home, const TeamSettings &settings, bool withFile = true)
{
    return runTeamSync({settings, settings.user + QStringLiteral("-pw"),
                        withFile ? home.measurements() : QString(), home.cache()});
}

double seconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// All readings of the file as the tab-separated text COPY reads.
QString copyFile(const QString &measurements, const QString &folder)
{
    MeasurementsReader reader(measurements);
    QList<TeamItem> items;
    if (!reader.open() || !reader.readItems(&items))
        fail(reader.problem());
    const QString path = folder + QStringLiteral("/readings.tsv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    QTextStream out(&file);
    out.setCodec("UTF-8");
    auto field = [](const auto &value) {
        return value ? QVariant::fromValue(*value).toString() : QStringLiteral("\\N");
    };
    for (const TeamItem &item : items) {
        QVector<StoredReading> rows;
        reader.readReadings(item.uuid, 0, Readings, &rows);
        for (const StoredReading &r : rows) {
            out << item.uuid << '\t' << r.seq << '\t' << field(r.time) << '\t' << field(r.zone) << '\t'
                << (r.valueUm ? QString::number(*r.valueUm, 'g', 17) : QStringLiteral("\\N")) << '\t'
                << (r.valueMil ? QString::number(*r.valueMil, 'g', 17) : QStringLiteral("\\N")) << '\t'
                << field(r.textUm) << '\t' << field(r.textMil) << '\t' << r.overload << '\t' << r.unit << '\t'
                << r.basis << '\n';
        }
    }
    file.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther | QFile::ReadGroup);
    return path;
}

} // namespace

int run(const QCoreApplication &app);

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    try {
        return run(app);
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.what));
        return 1;
    }
}

int run(const QCoreApplication &app)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qputenv("PGPASSFILE", "/nonexistent/pgpass");
    PostgresCluster cluster{QStringList()};
    if (!cluster.start())
        fail(cluster.error());
    QStringList setup = {QStringLiteral("CREATE DATABASE team"), QStringLiteral("CREATE DATABASE twenty")};
    if (!cluster.admin(setup))
        fail(cluster.error());
    QStringList roles = {QStringLiteral("alice"), QStringLiteral("bob")};
    for (int i = 1; i <= Installations; ++i)
        roles << QStringLiteral("inspector%1").arg(i, 2, 10, QLatin1Char('0'));
    for (const QString &role : roles) {
        if (!cluster.makeRole(role, role + QStringLiteral("-pw")))
            fail(cluster.error());
    }
    if (!cluster.admin({QStringLiteral("GRANT CREATE ON SCHEMA public TO PUBLIC")}, QStringLiteral("team"))
        || !cluster.admin({QStringLiteral("GRANT CREATE ON SCHEMA public TO PUBLIC")}, QStringLiteral("twenty")))
        fail(cluster.error());

    std::printf("PostgreSQL 15 on 127.0.0.1, default settings; %d cores\n", QThread::idealThreadCount());
    Home a, b;
    QElapsedTimer timer;
    timer.start();
    fill(a.measurements(), 20, Readings / 20, 0);
    std::printf("measurements file of %d readings in 20 items made in %.1f s\n", Readings, seconds(timer));

    // The tables first, so that the push is timed alone.
    const TeamSettings alice = teamSettingsFor(cluster, QStringLiteral("team"), QStringLiteral("alice"));
    {
        TeamConnection connection(alice, QStringLiteral("alice-pw"));
        if (!connection.open() || !TeamSchema(connection.database()).prepare())
            fail(QStringLiteral("the tables cannot be made"));
    }
    timer.restart();
    TeamSyncReport report = syncOf(a, alice);
    const double push = seconds(timer);
    if (report.fault.isSet() || report.readingsSent != Readings)
        fail(QStringLiteral("push: ") + report.describe(alice));
    std::printf("push of %d readings (21 items): %.2f s (target 10 s)\n", report.readingsSent, push);

    timer.restart();
    report = syncOf(a, alice);
    std::printf("push with nothing changed: %.3f s\n", seconds(timer));

    const TeamSettings bob = teamSettingsFor(cluster, QStringLiteral("team"), QStringLiteral("bob"));
    timer.restart();
    report = syncOf(b, bob, false);
    const double pull = seconds(timer);
    TeamCache cacheOfB(b.cache());
    int pulled = 0;
    if (cacheOfB.open()) {
        for (const TeamItem &item : cacheOfB.items())
            pulled += item.readingCount;
    }
    if (report.fault.isSet() || pulled != Readings)
        fail(QStringLiteral("pull: ") + report.describe(bob));
    std::printf("pull of %d readings into the cache: %.2f s (target 10 s)\n", pulled, pull);

    const QString tsv = copyFile(a.measurements(), cluster.socketDir());
    if (!cluster.admin({QStringLiteral("CREATE TABLE copied (item_uuid uuid NOT NULL, seq integer NOT NULL, time_ms "
                                       "bigint, zone_s integer, value_um double precision, value_mil double precision,"
                                       " text_um text, text_mil text, overload integer NOT NULL, unit text NOT NULL,"
                                       " basis text NOT NULL, PRIMARY KEY (item_uuid, seq))")},
                       QStringLiteral("team")))
        fail(cluster.error());
    timer.restart();
    if (!cluster.admin({QStringLiteral("COPY copied FROM '%1'").arg(tsv)}, QStringLiteral("team")))
        fail(cluster.error());
    std::printf("for scale, COPY of the same %d rows from a file into a table with a primary key: %.2f s\n",
                Readings, seconds(timer));

    // Twenty installations at once (left out with the argument "single").
    if (app.arguments().contains(QStringLiteral("single")))
        return 0;
    std::vector<std::unique_ptr<Home>> homes;
    timer.restart();
    for (int i = 0; i < Installations; ++i) {
        homes.emplace_back(new Home);
        fill(homes.back()->measurements(), 5, Readings / Installations / 5, i * (Readings / Installations));
    }
    std::printf("%d measurements files of %d readings in 5 items made in %.1f s\n", Installations,
                Readings / Installations, seconds(timer));
    for (int round = 1; round <= 2; ++round) {
        std::vector<TeamSyncReport> reports(Installations);
        std::vector<std::unique_ptr<QThread>> threads;
        timer.restart();
        for (int i = 0; i < Installations; ++i) {
            const TeamSettings settings = teamSettingsFor(cluster, QStringLiteral("twenty"), roles.at(2 + i));
            threads.emplace_back(
                QThread::create([&, i, settings] { reports[size_t(i)] = syncOf(*homes[size_t(i)], settings); }));
            threads.back()->start();
        }
        for (auto &thread : threads)
            thread->wait();
        const double elapsed = seconds(timer);
        int sent = 0;
        for (const TeamSyncReport &r : reports) {
            if (r.fault.isSet())
                fail(QStringLiteral("round %1: %2").arg(round).arg(r.fault.detail));
            sent += r.readingsSent;
        }
        std::printf("%d installations syncing at once, round %d: %.2f s (%d readings sent)\n", Installations, round,
                    elapsed, sent);
    }
    TeamConnection check(teamSettingsFor(cluster, QStringLiteral("twenty"), roles.at(2)), roles.at(2) + "-pw");
    QSqlQuery count(check.open() ? check.database() : QSqlDatabase());
    if (!count.exec(QStringLiteral("SELECT count(*), count(DISTINCT (item_uuid, seq)) FROM readings")) || !count.next())
        fail(QStringLiteral("the server cannot be counted"));
    std::printf("readings on the server: %lld (distinct %lld)\n", count.value(0).toLongLong(),
                count.value(1).toLongLong());
    bool complete = count.value(0).toLongLong() == Readings && count.value(1).toLongLong() == Readings;
    for (int i = 0; i < Installations; ++i) {
        TeamCache cache(homes[size_t(i)]->cache());
        QSet<QString> inspectors;
        int readings = 0;
        if (cache.open()) {
            for (const TeamItem &item : cache.items()) {
                inspectors.insert(item.inspector);
                readings += item.readingCount;
            }
        }
        // The own items are in the own file; the cache holds the others'.
        if (inspectors.size() != Installations - 1 || inspectors.contains(roles.at(2 + i))
            || readings != Readings - Readings / Installations) {
            std::printf("installation %d holds %d other inspectors, %d readings\n", i + 1, int(inspectors.size()),
                        readings);
            complete = false;
        }
    }
    std::printf(complete ? "every installation holds all 20 inspectors' items\n" : "INCOMPLETE\n");
    return complete ? 0 : 1;
}
