#include "data/dmmdata.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "data/measurementdatabase.h"

#include <QSemaphore>
#include <QThread>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

// The items kept in measurements.sqlite: a restart, and files that cannot
// be used.
class TestMeasurementDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("measurements.sqlite")); }

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString fields(const DmmData *r)
    {
        const QDateTime t = r->dateTime();
        return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
            .arg(t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) : QStringLiteral("null"))
            .arg(r->valueUm(), 0, 'g', 17)
            .arg(r->valueMil(), 0, 'g', 17)
            .arg(r->textUm(), r->textMil())
            .arg(r->overload())
            .arg(r->unit(), r->basis(), t.isValid() ? QString::number(t.toMSecsSinceEpoch()) : QString());
    }
    static QStringList describe(ItemData *item)
    {
        const ItemStatistics *s = item->statistics();
        const ItemLimits &l = item->limits();
        QStringList lines{QStringLiteral("%1 %2 %3 %4 %5 %6 %7 limits %8/%9/%10/%11/%12")
                              .arg(item->name())
                              .arg(item->type())
                              .arg(item->unit(), QString::number(s->num), s->avg, s->min, s->max)
                              .arg(l.nominal)
                              .arg(l.minimum)
                              .arg(l.maximum)
                              .arg(l.correction)
                              .arg(int(l.rule))};
        for (const DmmData *r : item->datas())
            lines << fields(r);
        return lines;
    }
    // Fills the "kept" store with one item of every kind, as the window would.
    static ItemData *fillEveryKind(ItemStore &store)
    {
        const QDateTime now = QDateTime::currentDateTime();
        store.append(store.storeItem(),
                     {Reading::make("10", "um", "Fe", now), Reading::make("20.5", "um", "NFe", now.addSecs(1))}, true);
        ItemData *measure = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
        store.setActive(measure);
        store.setUnit(measure, QStringLiteral("mil"));
        store.append(measure, Reading::make("2.13", "mil", "Fe", now));
        store.append(measure, Reading::make("    OL", "mil", "Fe", now));
        ItemData *imported = store.addItem(QStringLiteral("Import1"), ItemData::Import);
        const QDateTime offset(QDate(2024, 3, 1), QTime(8, 5, 9, 250), Qt::OffsetFromUTC, -5 * 3600);
        store.append(imported,
                     {Reading::make("127", QString::fromUtf8("μm"), QString::fromUtf8("铁基"), offset),
                      Reading::make("-OL", "um", "Fe", QDateTime()), Reading::make("100", "UM", "", offset)},
                     false);
        store.setUnit(imported, QStringLiteral("UM"));
        store.calcStatistics(imported);
        ItemData *gone = store.addItem(QStringLiteral("Gone"), ItemData::Measure);
        store.append(gone, Reading::make("1", "um", "Fe", now));
        store.renameItem(measure, QStringLiteral("Run 7"));
        ItemLimits limits;
        limits.nominal = 120;
        limits.maximum = 300.5;
        limits.correction = 25;
        limits.rule = AcceptanceRule::Iso19840;
        store.setLimits(measure, limits);
        store.setLimits(imported, limits);
        store.setLimits(imported, ItemLimits()); // cleared again
        store.removeItem(gone);
        return imported;
    }

    // Everything the Statistics tab and the report say about an item.
    static QStringList summaryTexts(const ItemData &item)
    {
        const ItemSummary s = summarizeItem(item);
        QStringList texts{s.name, s.unit, s.firstReading, s.lastReading, s.overloads.values.join('|'),
                          s.failures.join('|'), QString::number(s.passed)};
        for (const SummaryRow &row : s.figures + s.limits + s.rules)
            texts << row.caption + ':' + row.values.join('|');
        return texts;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void cleanup()
    {
        for (const QString &file : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(file));
    }

    void restartRestoresEveryKindAndTheActiveItem()
    {
        QStringList before;
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            ItemStore store("Store Data", "Live Data");
            QCOMPARE(store.restore(&database), nullptr);
            store.setActive(fillEveryKind(store));
            for (ItemData *item : QList<ItemData *>{store.storeItem()} + store.items())
                before << describe(item);
            QVERIFY(store.isKept());
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        QVERIFY(database.notice().isEmpty());
        ItemStore store(QStringLiteral("Gespeichert"), QStringLiteral("Live"));
        ItemData *active = store.restore(&database);
        QCOMPARE(store.items().size(), 2);
        QCOMPARE(active, store.items().at(1));
        QCOMPARE(store.storeItem()->name(), QStringLiteral("Gespeichert"));
        // Only names, units and statistics come in at start.
        QCOMPARE(store.items().at(0)->count(), 0);
        QCOMPARE(store.items().at(0)->statistics()->num, 2);

        QStringList after;
        for (ItemData *item : QList<ItemData *>{store.storeItem()} + store.items()) {
            after << describe(item);
            store.setActive(item);
            after << describe(item).mid(1);
        }
        after.first().replace(QStringLiteral("Gespeichert"), QStringLiteral("Store Data"));
        QCOMPARE(after, before);
    }

    // After a restart every kind of item says exactly what it said before,
    // shown in micrometres and in mils.
    void restartGivesTheSameSummary()
    {
        const QStringList units{QStringLiteral("um"), QStringLiteral("mil")};
        auto summaries = [&units](ItemStore &store) {
            QStringList all;
            for (ItemData *item : QList<ItemData *>{store.storeItem()} + store.items()) {
                for (const QString &unit : units) {
                    store.setActive(item);
                    store.switchUnit(item, unit);
                    all << summaryTexts(*item);
                }
            }
            return all;
        };
        QStringList before;
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            ItemStore store("Store Data", "Live Data");
            store.restore(&database);
            ItemData *imported = fillEveryKind(store);
            ItemLimits limits;
            limits.nominal = 100;
            limits.maximum = 130;
            limits.rule = AcceptanceRule::Iso19840;
            store.setLimits(imported, limits);
            store.append(imported, {Reading::make("OL", "um", "Fe", QDateTime())}, true);
            before = summaries(store);
            // Shown in micrometres when the program ends.
            store.setActive(store.storeItem());
            store.switchUnit(imported, QStringLiteral("um"));
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        ItemStore store("Store Data", "Live Data");
        store.restore(&database);
        QCOMPARE(summaries(store), before);
    }

    // Of two copies that open the file at the same moment, exactly one
    // keeps it; the other says it is in use.
    void oneOfTwoCopiesKeepsTheFile()
    {
        {
            MeasurementDatabase first;
            QVERIFY(first.open(path()));
        }
        for (int round = 0; round < 8; ++round) {
            QSemaphore started, tried, done;
            bool opened[2] = {false, false};
            QString problems[2];
            QList<QThread *> threads;
            for (int copy = 0; copy < 2; ++copy) {
                threads << QThread::create([&, copy] {
                    MeasurementDatabase database;
                    started.release();
                    started.acquire(2);
                    started.release(2);
                    opened[copy] = database.open(path());
                    problems[copy] = database.problem();
                    tried.release();
                    done.acquire();
                });
                threads.last()->start();
            }
            tried.acquire(2);
            done.release(2);
            for (QThread *thread : threads) {
                QVERIFY(thread->wait(10000));
                delete thread;
            }
            QVERIFY2(opened[0] != opened[1], qPrintable(problems[0] + ' ' + problems[1]));
            QVERIFY(problems[opened[0] ? 1 : 0].contains(QStringLiteral("another running copy")));
        }
    }

    // While one copy keeps the file, another process may read it.
    void othersReadWhileItIsKept()
    {
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        const qint64 id = database.addItem(QStringLiteral("Kept"), ItemData::Measure, QString());
        QVERIFY(id != 0);
        {
            QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
            reader.setDatabaseName(path());
            reader.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            QVERIFY(reader.open());
            QSqlQuery query(reader);
            QVERIFY(query.exec(QStringLiteral("SELECT name FROM items WHERE type = 1")) && query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("Kept"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("reader"));
        QVERIFY(database.renameItem(id, QStringLiteral("Still kept")));
    }

    // A file of the first layout gains the limits table and keeps its items.
    void firstLayoutIsUpgraded()
    {
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
            raw.setDatabaseName(path());
            QVERIFY(raw.open());
            QSqlQuery query(raw);
            for (const char *statement :
                 {"CREATE TABLE items (id INTEGER PRIMARY KEY, position INTEGER NOT NULL, type INTEGER NOT NULL,"
                  " name TEXT NOT NULL, unit TEXT NOT NULL, num INTEGER NOT NULL DEFAULT 0, avg TEXT NOT NULL"
                  " DEFAULT '0', min TEXT NOT NULL DEFAULT '0', max TEXT NOT NULL DEFAULT '0')",
                  "CREATE TABLE readings (item INTEGER NOT NULL, seq INTEGER NOT NULL, time INTEGER, zone INTEGER,"
                  " value_um REAL, value_mil REAL, text_um TEXT, text_mil TEXT, overload INTEGER NOT NULL,"
                  " unit TEXT NOT NULL, basis TEXT NOT NULL, PRIMARY KEY (item, seq)) WITHOUT ROWID",
                  "CREATE TABLE state (name TEXT PRIMARY KEY, value) WITHOUT ROWID",
                  "INSERT INTO items (id, position, type, name, unit, num, avg) VALUES (7, 1, 1, 'Old', 'um', 3,"
                  " '12.0')",
                  "PRAGMA user_version = 1"})
                QVERIFY2(query.exec(QLatin1String(statement)), statement);
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v1"));
        MeasurementDatabase database;
        QVERIFY2(database.open(path()), qPrintable(database.problem()));
        QCOMPARE(database.keptItems().size(), 1);
        QCOMPARE(database.keptItems().first().statistics.avg, QStringLiteral("12.0"));
        QVERIFY(!database.keptItems().first().limits.isSet());
        ItemLimits limits;
        limits.minimum = 50;
        QVERIFY(database.setLimits(7, limits));
    }

    // A file of the second layout gains the details table; the details come
    // back after a restart, and a new item takes the inspector and gauge.
    void secondLayoutGainsDetails()
    {
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v2"));
            raw.setDatabaseName(path());
            QVERIFY(raw.open());
            QSqlQuery query(raw);
            for (const char *statement :
                 {"CREATE TABLE items (id INTEGER PRIMARY KEY, position INTEGER NOT NULL, type INTEGER NOT NULL,"
                  " name TEXT NOT NULL, unit TEXT NOT NULL, num INTEGER NOT NULL DEFAULT 0, avg TEXT NOT NULL"
                  " DEFAULT '0', min TEXT NOT NULL DEFAULT '0', max TEXT NOT NULL DEFAULT '0')",
                  "CREATE TABLE readings (item INTEGER NOT NULL, seq INTEGER NOT NULL, time INTEGER, zone INTEGER,"
                  " value_um REAL, value_mil REAL, text_um TEXT, text_mil TEXT, overload INTEGER NOT NULL,"
                  " unit TEXT NOT NULL, basis TEXT NOT NULL, PRIMARY KEY (item, seq)) WITHOUT ROWID",
                  "CREATE TABLE state (name TEXT PRIMARY KEY, value) WITHOUT ROWID",
                  "CREATE TABLE limits (item INTEGER PRIMARY KEY, nominal REAL NOT NULL, minimum REAL NOT NULL,"
                  " maximum REAL NOT NULL, correction REAL NOT NULL, rule INTEGER NOT NULL)",
                  "INSERT INTO items (id, position, type, name, unit) VALUES (4, 1, 1, 'Deck', 'um')",
                  "INSERT INTO limits VALUES (4, 120, 0, 0, 0, 1)", "PRAGMA user_version = 2"})
                QVERIFY2(query.exec(QLatin1String(statement)), statement);
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v2"));
        ItemDetails details;
        details.project = QStringLiteral("Bridge 4");
        details.gaugeModel = QStringLiteral("VK508M");
        details.calibration = QDate(2026, 2, 3);
        details.inspector = QString::fromUtf8("李工");
        details.notes = QStringLiteral("two\nlines");
        {
            MeasurementDatabase database;
            QVERIFY2(database.open(path()), qPrintable(database.problem()));
            QCOMPARE(database.keptItems().first().limits.nominal, 120.0);
            QVERIFY(!database.keptItems().first().details.isSet());
            ItemStore store("Store Data", "Live Data");
            store.restore(&database);
            store.setDetails(store.items().first(), details);
            ItemData *next = store.addItem(QStringLiteral("Next"), ItemData::Measure);
            ItemData *gone = store.addItem(QStringLiteral("Gone"), ItemData::Measure);
            ItemData *imported = store.addItem(QStringLiteral("Import1"), ItemData::Import);
            QCOMPARE(next->details(), details.carriedOver());
            QVERIFY(next->details().project.isEmpty() && !imported->details().isSet());
            store.removeItem(gone);
        }
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            const QList<ItemKeeper::KeptItem> kept = database.keptItems();
            QCOMPARE(kept.size(), 4);
            QCOMPARE(kept.at(0).details, details);
            QCOMPARE(kept.at(2).details.inspector, details.inspector); // after Store Data
            QCOMPARE(kept.at(2).details.calibration, details.calibration);
        }
        QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v3"));
        check.setDatabaseName(path());
        QVERIFY(check.open());
        QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM details"), check);
        QVERIFY(count.next());
        QCOMPARE(count.value(0).toInt(), 2); // the removed item's row went with it
        count.finish();
        check.close();
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("v3"));
    }

    // The fourth layout gives the file and every item their team ids (an
    // item of before is made when its first reading was taken), and every
    // change of an item counts up its revision; clearing or replacing its
    // readings, its generation.
    void fourthLayoutGivesTeamIdsAndCounters()
    {
        // A file of the third layout: one of this build with what the
        // fourth step added taken away again.
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            QCOMPARE(database.addItem(QStringLiteral("Old"), ItemData::Measure, QStringLiteral("um")), 1);
            QCOMPARE(database.addItem(QStringLiteral("Store Data"), ItemData::StoreData, QStringLiteral("um")), 2);
        }
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v3"));
            raw.setDatabaseName(path());
            QVERIFY(raw.open());
            QSqlQuery query(raw);
            for (const char *statement :
                 {"UPDATE items SET id = 5 WHERE id = 1", "UPDATE items SET id = 6 WHERE id = 2",
                  "INSERT INTO readings VALUES (5, 0, 1700000000000, 0, 10, NULL, NULL, NULL, 0, 'um', 'Fe')",
                  "DROP INDEX items_uuid", "ALTER TABLE items DROP COLUMN uuid", "ALTER TABLE items DROP COLUMN made",
                  "ALTER TABLE items DROP COLUMN changed", "ALTER TABLE items DROP COLUMN revision",
                  "ALTER TABLE items DROP COLUMN generation", "DELETE FROM state WHERE name = 'installation'",
                  "PRAGMA user_version = 3"})
                QVERIFY2(query.exec(QLatin1String(statement)), statement);
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v3"));
        MeasurementDatabase database;
        QVERIFY2(database.open(path()), qPrintable(database.problem()));
        QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v4"));
        check.setDatabaseName(path());
        QVERIFY(check.open());
        auto row = [&](qint64 id) {
            QSqlQuery query(check);
            query.exec(QStringLiteral("SELECT uuid, made, revision, generation FROM items WHERE id = %1").arg(id));
            query.next();
            return QVariantList{query.value(0), query.value(1), query.value(2), query.value(3)};
        };
        const QRegularExpression uuid(
            QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$"));
        QSqlQuery installation(QStringLiteral("SELECT value FROM state WHERE name = 'installation'"), check);
        QVERIFY(installation.next() && uuid.match(installation.value(0).toString()).hasMatch());
        installation.finish();
        QVERIFY(uuid.match(row(5).at(0).toString()).hasMatch());
        QVERIFY(row(5).at(0) != row(6).at(0));
        QCOMPARE(row(5).at(1).toLongLong(), 1700000000000LL);
        QCOMPARE(row(5).mid(2), (QVariantList{1, 1}));

        ItemLimits limits;
        limits.minimum = 50;
        QVERIFY(database.renameItem(5, QStringLiteral("New")) && database.setUnit(5, QStringLiteral("mil"))
                && database.setLimits(5, limits) && database.setDetails(5, ItemDetails()));
        QCOMPARE(row(5).mid(2), (QVariantList{5, 1}));
        QVERIFY(database.clearReadings(5, ItemStatistics()));
        QCOMPARE(row(5).mid(2), (QVariantList{6, 2}));
        const qint64 added = database.addItem(QStringLiteral("Added"), ItemData::Measure, QStringLiteral("um"));
        QVERIFY(uuid.match(row(added).at(0).toString()).hasMatch());
        QVERIFY(qAbs(row(added).at(1).toLongLong() - QDateTime::currentMSecsSinceEpoch()) < 60000);
        check.close();
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("v4"));
    }

    void unusableFilesAreLeftAsTheyWere_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("says");
        QTest::newRow("not a database") << "garbage" << "renamed";
        QTest::newRow("damaged schema") << "damaged" << "renamed";
        QTest::newRow("newer schema") << "newer" << "newer version";
        QTest::newRow("read-only") << "readonly" << "read-only";
        QTest::newRow("locked") << "locked" << "another running copy";
    }
    void unusableFilesAreLeftAsTheyWere()
    {
        QFETCH(QString, kind);
        QFETCH(QString, says);
        MeasurementDatabase holder;
        if (kind == QLatin1String("garbage")) {
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(5000, 'x'));
        } else {
            {
                MeasurementDatabase first;
                QVERIFY(first.open(path()));
                ItemStore store("Store Data", "Live Data");
                store.restore(&first);
                store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
            }
            if (kind == QLatin1String("damaged")) {
                QFile file(path());
                QVERIFY(file.open(QIODevice::ReadWrite));
                file.seek(100);
                file.write(QByteArray(2000, '\xff'));
            } else if (kind == QLatin1String("newer")) {
                QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
                raw.setDatabaseName(path());
                QVERIFY(raw.open());
                QVERIFY(QSqlQuery(raw).exec(QStringLiteral("PRAGMA user_version = 99")));
                raw.close();
                raw = QSqlDatabase();
                QSqlDatabase::removeDatabase(QStringLiteral("raw"));
            } else if (kind == QLatin1String("readonly")) {
                QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
            } else {
                QVERIFY(holder.open(path()));
            }
        }
        const QByteArray original = contents(path());
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

        MeasurementDatabase database;
        const bool opened = database.open(path());
        const QString message = opened ? database.notice() : database.problem();
        QVERIFY2(message.contains(says), qPrintable(message));
        QVERIFY(message.contains(QDir::toNativeSeparators(path())));
        if (says == QLatin1String("renamed")) {
            // Set aside under a dated name, and a new file started.
            QVERIFY(opened);
            QVERIFY(database.asidePath().contains(QDate::currentDate().toString(Qt::ISODate)));
            QVERIFY(message.contains(QDir::toNativeSeparators(database.asidePath())));
            QCOMPARE(contents(database.asidePath()), original);
            QVERIFY(database.keptItems().isEmpty());
            QVERIFY(database.addItem(QStringLiteral("New"), ItemData::Measure, QString()) != 0);
        } else {
            QVERIFY(!opened);
            QVERIFY(message.contains(QStringLiteral("not being kept")));
            QCOMPARE(contents(path()), original);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
        }
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_MAIN(TestMeasurementDatabase)
#include "tst_measurementdatabase.moc"
