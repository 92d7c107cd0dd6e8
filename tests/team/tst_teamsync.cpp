#include "data/itemstore.h"
#include "data/measurementdatabase.h"
#include "team/measurementsreader.h"
#include "team/teamcache.h"
#include "team/teamcheck.h"
#include "team/teamconnection.h"
#include "team/teamcontroller.h"
#include "team/teamsync.h"
#include "tests/support/postgrescluster.h"
#include "tests/support/teamsettingsfor.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include "tests/support/seriesfields.h"

#include <QtTest>

#include <memory>

// Installations syncing through one private PostgreSQL server: what one
// sends the others get reading for reading, roles change only their own
// rows, and a push or pull broken off anywhere is taken up again.
class TestTeamSync : public QObject
{
    Q_OBJECT

private:
    // A home of one installation: its measurements file, kept by an item
    // store as the window keeps it, and its team cache.
    struct Installation
    {
        QTemporaryDir home;
        MeasurementDatabase database;
        ItemStore store{QStringLiteral("Store Data"), QStringLiteral("Live Data")};

        Installation()
        {
            database.open(measurements());
            store.restore(&database);
        }
        QString measurements() const { return home.filePath(QStringLiteral("measurements.sqlite")); }
        QString cache() const { return home.filePath(QStringLiteral("team.sqlite")); }
        QString installation() const
        {
            MeasurementsReader reader(measurements());
            return reader.open() ? reader.installation() : QString();
        }
    };

    PostgresCluster cluster;

    TeamSettings settingsOf(const QString &role, const QString &database = QStringLiteral("team")) const
    {
        TeamSettings s = teamSettingsFor(cluster, database, role);
        s.inspector = role.toUpper();
        return s;
    }

    TeamSyncReport sync(Installation &home, const QString &role) const
    {
        // The readings of this turn are kept first.
        home.store.flush();
        return runTeamSync({settingsOf(role), role + QStringLiteral("-pw"), home.measurements(), home.cache()});
    }

    // The superuser's answer to one query in the team database.
    QVariant ask(const QString &sql)
    {
        const QString name = QStringLiteral("ask");
        QVariant answer;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(cluster.socketDir());
            db.setPort(cluster.port());
            db.setUserName(QStringLiteral("postgres"));
            db.setDatabaseName(QStringLiteral("team"));
            QSqlQuery query(db);
            if (db.open() && query.exec(sql) && query.next())
                answer = query.value(0);
        }
        QSqlDatabase::removeDatabase(name);
        return answer;
    }

    static QString describe(const StoredReading &r)
    {
        auto text = [](const auto &value) {
            return value ? QVariant::fromValue(*value).toString() : QStringLiteral("NULL");
        };
        return QStringLiteral("%1 %2 %3 %4/%5 %6/%7 %8 %9 %10")
            .arg(r.seq)
            .arg(text(r.time), text(r.zone))
            .arg(r.valueUm ? QString::number(*r.valueUm, 'g', 17) : QStringLiteral("NULL"),
                 r.valueMil ? QString::number(*r.valueMil, 'g', 17) : QStringLiteral("NULL"), text(r.textUm),
                 text(r.textMil))
            .arg(r.overload)
            .arg(r.unit, r.basis);
    }

    static QStringList itemLines(const TeamItem &item)
    {
        const ItemLimits &l = item.limits;
        return {item.name, item.unit, QString::number(item.type), QString::number(item.statistics.num),
                item.statistics.avg, item.statistics.min, item.statistics.max,
                QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(l.nominal)
                    .arg(l.minimum)
                    .arg(l.maximum)
                    .arg(l.correction)
                    .arg(int(l.rule)),
                item.details.project, item.details.inspector, item.details.calibration.toString(Qt::ISODate),
                item.details.notes, QString::number(item.made), QString::number(item.changed)};
    }

    // Every item of from's file is in to's cache, with the same rows.
    static void expectCopies(Installation &from, Installation &to, const QString &inspector)
    {
        MeasurementsReader origin(from.measurements());
        QVERIFY(origin.open());
        QList<TeamItem> sent;
        QVERIFY(origin.readItems(&sent));
        TeamCache cache(to.cache());
        QVERIFY(cache.open());
        QHash<QString, TeamItem> copies;
        for (const TeamItem &copy : cache.items())
            copies.insert(copy.uuid, copy);
        for (const TeamItem &item : qAsConst(sent)) {
            QVERIFY2(copies.contains(item.uuid), qPrintable(item.name));
            const TeamItem copy = copies.value(item.uuid);
            QCOMPARE(itemLines(copy), itemLines(item));
            QCOMPARE(copy.details, item.details);
            QCOMPARE(copy.installation, origin.installation());
            QCOMPARE(copy.inspector, inspector);
            QVector<StoredReading> rows;
            QVERIFY(origin.readReadings(item.uuid, 0, 1000000, &rows));
            QStringList expected, copied;
            for (const StoredReading &r : qAsConst(rows))
                expected << describe(r);
            QVERIFY(cache.readReadings(item.uuid, [&](const StoredReading &r) { copied << describe(r); }));
            QCOMPARE(copied, expected);
            QCOMPARE(copy.readingCount, rows.size());
        }
    }

    // items items of count readings each, kept straight through the keeper
    // as a long measuring day would leave them.
    static void fill(Installation &home, int items, int count)
    {
        const QDateTime start(QDate(2024, 3, 1), QTime(8, 0), Qt::OffsetFromUTC, 8 * 3600);
        ReadingSeries readings;
        for (int n = 0; n < count; ++n)
            readings.appendText(n % 40 ? QString::number(100 + n % 50 * 0.7, 'f', 1) : QStringLiteral("OL"),
                                QStringLiteral("um"), QStringLiteral("Fe"), start.addMSecs(n % 1000 * 250));
        for (int i = 0; i < items; ++i) {
            const qint64 id = home.database.addItem(QStringLiteral("Run %1").arg(i), ItemData::Measure,
                                                    Unit::Micrometre);
            ItemStatistics statistics;
            statistics.num = count;
            QVERIFY(home.database.appendReadings(id, readings, 0, statistics));
        }
    }

    // Readings of the installation on the server, and how many distinct ones.
    QPair<int, int> serverReadings(const QString &installation)
    {
        const QString items = QStringLiteral("(SELECT uuid FROM items WHERE installation = '%1')").arg(installation);
        return {ask(QStringLiteral("SELECT count(*) FROM readings WHERE item_uuid IN %1").arg(items)).toInt(),
                ask(QStringLiteral("SELECT count(DISTINCT (item_uuid, seq)) FROM readings WHERE item_uuid IN %1"
                                   " AND seq < (SELECT reading_count FROM items WHERE uuid = item_uuid)")
                        .arg(items))
                    .toInt()};
    }

    // Waits until sql answers a number of at least least; false after 60 s.
    bool waitFor(const QString &sql, int least)
    {
        QElapsedTimer timer;
        timer.start();
        while (ask(sql).toInt() < least) {
            if (timer.hasExpired(60000))
                return false;
            QThread::msleep(2);
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        // Never skipped: a machine without the server fails here.
        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        // alice may make the tables in the empty team database; the
        // others may only use them.
        QVERIFY2(cluster.admin({"CREATE DATABASE team", "CREATE DATABASE empty", "CREATE DATABASE newer",
                                "CREATE DATABASE solo",
                                "REVOKE CONNECT ON DATABASE team FROM PUBLIC"}),
                 qPrintable(cluster.error()));
        for (const char *role : {"alice", "bob", "carol", "dave"})
            QVERIFY2(cluster.makeRole(role, role + QStringLiteral("-pw")), qPrintable(cluster.error()));
        QVERIFY(cluster.admin({"GRANT CONNECT ON DATABASE team TO alice, bob, dave",
                               "GRANT CREATE ON SCHEMA public TO alice"}, QStringLiteral("team")));
        for (const char *database : {"newer", "solo"})
            QVERIFY(cluster.admin({"GRANT CREATE ON SCHEMA public TO alice"}, QLatin1String(database)));
        // No password file of the machine's user takes part.
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
    }

    void twoInstallationsShareTheirItems()
    {
        Installation a, b;
        const QDateTime noon(QDate(2024, 5, 6), QTime(12, 0, 0, 125), Qt::OffsetFromUTC, -4 * 3600);
        a.store.replaceReadings(a.store.storeItem(), seriesOf({ReadingFields::fromText("85.2", "um", "Fe", noon),
                                                       ReadingFields::fromText("OL", "um", "Fe", noon.addSecs(1))}));
        ItemData *deck = a.store.addItem(QStringLiteral("Deck 1"), ItemData::Measure);
        a.store.setUnit(deck, Unit::Mil);
        a.store.append(deck, ReadingFields::fromText("4.93", "mil", "Fe", noon));
        a.store.append(deck, ReadingFields::fromText("    OL", "mil", "NFe", QDateTime()));
        a.store.append(deck, ReadingFields::fromText("5.01", "mil", QString::fromUtf8("铁基"), noon.addMSecs(333)));
        ItemLimits limits;
        limits.nominal = 125.3;
        limits.maximum = 300.1;
        limits.correction = 0.1;
        limits.rule = AcceptanceRule::Iso19840;
        a.store.setLimits(deck, limits);
        ItemDetails details;
        details.project = QString::fromUtf8("Bridge \"4\" \\ north");
        details.inspector = QString::fromUtf8("李工");
        details.calibration = QDate(2026, 2, 3);
        details.notes = QStringLiteral("two\nlines, \"quoted\"");
        a.store.setDetails(deck, details);
        ItemData *imported = a.store.addItem(QStringLiteral("Import1"), ItemData::Import);
        a.store.append(imported, seriesOf({ReadingFields::fromText("127", "um", "Fe", noon), ReadingFields::fromText("-OL", "um", "Fe", noon)}),
                       true);
        ItemData *hostile = a.store.addItem(QStringLiteral("'); DROP TABLE items; --"), ItemData::Measure);
        a.store.append(hostile, ReadingFields::fromText("1", "um", "{\"x\"}", noon));
        // An empty text is kept as one, not as NULL (which means derived).
        ReadingFields blank = ReadingFields::fromText("2", "um", "", noon);
        blank.textUm = QString(QLatin1String(""));
        a.store.append(hostile, blank);
        b.store.append(b.store.addItem(QStringLiteral("Hull"), ItemData::Measure),
                       ReadingFields::fromText("99", "um", "Fe", noon));

        // alice's first sync makes the tables in the empty database.
        TeamSyncReport report = sync(a, QStringLiteral("alice"));
        QVERIFY2(!report.fault.isSet(), qPrintable(report.describe(settingsOf("alice"))));
        QCOMPARE(report.itemsSent, 4);
        QCOMPARE(report.waiting, 0);
        report = sync(b, QStringLiteral("bob"));
        QVERIFY2(!report.fault.isSet(), qPrintable(report.describe(settingsOf("bob"))));
        QCOMPARE(report.changed.size(), 4);
        expectCopies(a, b, QStringLiteral("ALICE"));
        QCOMPARE(ask("SELECT count(*) FROM items WHERE name = '''); DROP TABLE items; --'").toInt(), 1);

        // Renames, readings, a new download and a deletion follow; only
        // the items they touch travel.
        a.store.renameItem(deck, QStringLiteral("Deck 1 (redone)"));
        a.store.append(deck, ReadingFields::fromText("5.20", "mil", "Fe", noon.addSecs(5)));
        a.store.replaceReadings(a.store.storeItem(), seriesOf({ReadingFields::fromText("77", "um", "Fe", noon.addDays(1))}));
        a.store.removeItem(imported);
        report = sync(a, QStringLiteral("alice"));
        QVERIFY(!report.fault.isSet());
        QCOMPARE(report.itemsSent, 2);
        QCOMPARE(report.readingsSent, 1 + 1); // one appended, one downloaded anew
        QCOMPARE(report.itemsDeleted, 1);
        QCOMPARE(report.changed.size(), 2); // bob's items, sent after alice's first sync
        report = sync(b, QStringLiteral("bob"));
        QVERIFY(!report.fault.isSet());
        QCOMPARE(report.changed.size(), 2);
        QCOMPARE(report.dropped.size(), 1);
        expectCopies(a, b, QStringLiteral("ALICE"));
        TeamCache cacheOfB(b.cache());
        QVERIFY(cacheOfB.open());
        QCOMPARE(cacheOfB.items().size(), 3);
        // ... and the other way round.
        QVERIFY(!sync(a, QStringLiteral("alice")).fault.isSet());
        expectCopies(b, a, QStringLiteral("BOB"));
        const QPair<int, int> held = serverReadings(a.installation());
        QCOMPARE(held.first, 1 + 4 + 2);
        QCOMPARE(held.second, held.first);
    }

    // Row-level security holds for any SQL a member may type.
    void rolesChangeOnlyTheirOwnRows()
    {
        Installation a;
        a.store.append(a.store.addItem(QStringLiteral("Tank"), ItemData::Measure), ReadingFields::fromText("10", "um", "Fe",
                                                                                                   QDateTime()));
        QVERIFY(!sync(a, QStringLiteral("alice")).fault.isSet());
        const QString uuid = ask(QStringLiteral("SELECT uuid FROM items WHERE name = 'Tank'")).toString();
        QVERIFY(!uuid.isEmpty());

        TeamConnection bob(settingsOf(QStringLiteral("bob")), QStringLiteral("bob-pw"));
        QVERIFY(bob.open());
        QSqlQuery query(bob.database());
        for (const QString &change : {QStringLiteral("UPDATE items SET name = 'taken' WHERE uuid = '%1'"),
                                      QStringLiteral("UPDATE items SET owner = 'bob' WHERE uuid = '%1'"),
                                      QStringLiteral("DELETE FROM readings WHERE item_uuid = '%1'"),
                                      QStringLiteral("DELETE FROM items WHERE uuid = '%1'")}) {
            QVERIFY2(query.exec(change.arg(uuid)), qPrintable(query.lastError().text()));
            QCOMPARE(query.numRowsAffected(), 0);
        }
        for (const QString &sneak :
             {QStringLiteral("INSERT INTO readings (item_uuid, seq, overload, unit, basis)"
                             " VALUES ('%1', 7, 0, 'um', 'Fe')"),
              QStringLiteral("INSERT INTO readings (item_uuid, seq, overload, unit, basis, owner)"
                             " VALUES ('%1', 7, 0, 'um', 'Fe', 'alice')"),
              QStringLiteral("UPDATE readings SET value_um = 0 WHERE item_uuid = '%1'")})
            QVERIFY2(!query.exec(sneak.arg(uuid)), qPrintable(sneak));
        QCOMPARE(ask(QStringLiteral("SELECT name || count(r.seq) FROM items i JOIN readings r ON r.item_uuid = i.uuid"
                                    " WHERE i.uuid = '%1' GROUP BY name").arg(uuid)).toString(),
                 QStringLiteral("Tank1"));
    }

    // kill -9 in the middle of a push, then a push again: every reading
    // is on the server once.
    void killedPushLeavesEveryReadingOnce()
    {
        Installation a;
        const int items = 20, count = 2000;
        fill(a, items, count);
        const QString installation = a.installation();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VK_TEAM_PASSWORD"), QStringLiteral("alice-pw"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/team_sync_child"),
                    {QString::number(cluster.port()), QStringLiteral("team"), QStringLiteral("alice"),
                     a.measurements(), a.cache()});
        QVERIFY(child.waitForStarted());
        const QString sent = QStringLiteral("SELECT count(*) FROM items WHERE installation = '%1'").arg(installation);
        QVERIFY(waitFor(sent, 3));
        child.kill();
        QVERIFY(child.waitForFinished());
        QVERIFY2(ask(sent).toInt() < items + 1, "the push ended before it was killed");

        const TeamSyncReport report = sync(a, QStringLiteral("alice"));
        QVERIFY2(!report.fault.isSet(), qPrintable(report.describe(settingsOf("alice"))));
        QVERIFY(report.itemsSent > 0 && report.itemsSent < items + 1);
        QCOMPARE(serverReadings(installation), qMakePair(items * count, items * count));
    }

    // The server going away in a push or a pull is a state; the next sync
    // completes, and a broken pull leaves the cache as it was.
    void syncSurvivesTheServerStopping()
    {
        Installation a, b;
        QVERIFY(!sync(a, QStringLiteral("alice")).fault.isSet()); // the tables, when no test made them yet
        QVERIFY(!sync(b, QStringLiteral("bob")).fault.isSet());
        const QList<TeamItem> before = [&] {
            TeamCache cache(b.cache());
            cache.open();
            return cache.items();
        }();
        fill(a, 10, 3000);
        const QString installation = a.installation();
        TeamSyncReport report;
        std::unique_ptr<QThread> pushing(QThread::create([&] { report = sync(a, QStringLiteral("alice")); }));
        pushing->start();
        QVERIFY(waitFor(QStringLiteral("SELECT count(*) FROM items WHERE installation = '%1'").arg(installation), 1));
        QVERIFY2(cluster.stop(), qPrintable(cluster.error()));
        QVERIFY(pushing->wait(120000));
        QVERIFY2(report.fault.isOffline(), qPrintable(report.describe(settingsOf("alice"))));
        QVERIFY(report.waiting > 0 && report.waiting < 12);
        QVERIFY(report.describe(settingsOf("alice")).contains(QStringLiteral("wait to be sent")));
        QVERIFY(sync(a, QStringLiteral("alice")).fault.kind == TeamFault::Unreachable);

        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        report = sync(a, QStringLiteral("alice"));
        QVERIFY2(!report.fault.isSet(), qPrintable(report.describe(settingsOf("alice"))));
        QCOMPARE(report.waiting, 0);
        QCOMPARE(serverReadings(installation), qMakePair(30000, 30000));

        // The readings held locked: the pull stops in its middle, on them.
        QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("locker"));
        locker.setHostName(cluster.socketDir());
        locker.setPort(cluster.port());
        locker.setUserName(QStringLiteral("postgres"));
        locker.setDatabaseName(QStringLiteral("team"));
        QVERIFY(locker.open() && locker.transaction()
                && QSqlQuery(locker).exec(QStringLiteral("LOCK TABLE readings IN ACCESS EXCLUSIVE MODE")));
        std::unique_ptr<QThread> pulling(QThread::create([&] { report = sync(b, QStringLiteral("bob")); }));
        pulling->start();
        QVERIFY(waitFor(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE usename = 'bob'"
                                       " AND wait_event_type = 'Lock'"),
                        1));
        QVERIFY(cluster.stop());
        QVERIFY(pulling->wait(120000));
        locker.close();
        locker = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        QVERIFY(report.fault.isOffline());
        TeamCache cache(b.cache());
        QVERIFY(cache.open());
        QCOMPARE(cache.items().size(), before.size());
        QVERIFY(cluster.start());
        QVERIFY(!sync(b, QStringLiteral("bob")).fault.isSet());
        QCOMPARE(cache.items().size() - before.size(), 10);
    }

    // The Test button's words, as the real server gives cause for them.
    void checkSaysWhatIsWrong()
    {
        auto check = [&](const TeamSettings &s, const QString &password) {
            return TeamCheck::run(s, password);
        };
        TeamSettings alice = settingsOf(QStringLiteral("alice"));
        QCOMPARE(check(alice, QStringLiteral("alice-pw")).fault.kind, TeamFault::None);
        QCOMPARE(check(alice, QStringLiteral("wrong")).fault.kind, TeamFault::PasswordRefused);
        QCOMPARE(check(alice, QString()).fault.kind, TeamFault::PasswordMissing);
        QCOMPARE(check(settingsOf(QStringLiteral("carol")), QStringLiteral("carol-pw")).fault.kind,
                 TeamFault::NoRights);
        const TeamSettings dave = settingsOf(QStringLiteral("dave"), QStringLiteral("empty"));
        QCOMPARE(check(dave, QStringLiteral("dave-pw")).fault.kind, TeamFault::NoTables);
        const TeamSettings nowhere = settingsOf(QStringLiteral("alice"), QStringLiteral("nothing"));
        QCOMPARE(check(nowhere, QStringLiteral("alice-pw")).fault.kind, TeamFault::NoDatabase);
        TeamSettings away = alice;
        away.port = 1;
        QCOMPARE(check(away, QStringLiteral("alice-pw")).fault.kind, TeamFault::Unreachable);
        TeamSettings ssl = alice;
        ssl.sslMode = QStringLiteral("require");
        QCOMPARE(check(ssl, QStringLiteral("alice-pw")).fault.kind, TeamFault::SslUnavailable);
        QVERIFY(cluster.setHostRules({QStringLiteral("hostssl all all 127.0.0.1/32 scram-sha-256")}));
        QCOMPARE(check(alice, QStringLiteral("alice-pw")).fault.kind, TeamFault::SslRequired);
        QVERIFY(cluster.setHostRules({QStringLiteral("host all all 127.0.0.1/32 scram-sha-256")}));

        // A newer layout is read and never written.
        Installation a;
        a.store.addItem(QStringLiteral("Kept here"), ItemData::Measure);
        TeamSyncJob job{settingsOf(QStringLiteral("alice"), QStringLiteral("newer")), QStringLiteral("alice-pw"),
                        a.measurements(), a.cache()};
        QVERIFY(!runTeamSync(job).fault.isSet());
        QVERIFY(cluster.admin({"INSERT INTO schema_version (version) VALUES (99)"}, QStringLiteral("newer")));
        a.store.addItem(QStringLiteral("Not sent"), ItemData::Measure);
        const TeamSyncReport report = runTeamSync(job);
        QVERIFY(report.readOnly && report.pulled && report.itemsSent == 0 && report.waiting == 1);
        QVERIFY(check(job.settings, job.password).readOnly);
    }

    // The controller syncs at start and after local changes pause, and an
    // unreachable server is a state that the next occasion tries again.
    void controllerSyncsAtStartAndAfterChanges()
    {
        Installation a;
        const TeamSettings solo = settingsOf(QStringLiteral("alice"), QStringLiteral("solo"));
        TeamSettings away = solo;
        away.port = 1;
        {
            TeamController controller(away, a.measurements(), a.cache());
            QSignalSpy synced(&controller, &TeamController::synced);
            QVERIFY(synced.wait(120000));
            QVERIFY(controller.stateText().contains(QStringLiteral("cannot be reached")));
            QVERIFY(controller.stateText().contains(QStringLiteral("1 item(s) wait to be sent")));
        }
        TeamController controller(solo, a.measurements(), a.cache());
        controller.setPassword(QStringLiteral("alice-pw"));
        controller.setQuietDelay(50);
        QSignalSpy synced(&controller, &TeamController::synced);
        QVERIFY(synced.wait(120000));
        QVERIFY2(controller.stateText().startsWith(QStringLiteral("Team: synced at")),
                 qPrintable(controller.stateText()));
        a.store.addItem(QStringLiteral("Later"), ItemData::Measure);
        controller.noteLocalChange();
        QVERIFY(synced.wait(120000));
        QCOMPARE(synced.last().first().value<TeamSyncReport>().itemsSent, 1);
    }

    void settingsFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("team.conf"));
        TeamSettings s = settingsOf(QStringLiteral("alice"));
        s.inspector = QString::fromUtf8("Zhang, Wei 张伟");
        QVERIFY(s.save(path));
        QCOMPARE(TeamSettings::load(path), s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[team]\nenabled=true\ninspector=Li, Na\nsslmode=always\ninterval=0\n");
        file.close();
        QStringList problems;
        const TeamSettings read = TeamSettings::load(path, &problems);
        QCOMPARE(read.inspector, QStringLiteral("Li, Na"));
        QCOMPARE(read.sslMode, QStringLiteral("prefer"));
        QCOMPARE(read.interval, 5);
        QCOMPARE(problems.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestTeamSync)
#include "tst_teamsync.moc"
