#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "data/measurementdatabase.h"
#include "data/sqlitereadings.h"
#include "tests/support/seriesfields.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QThread>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
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
    static QString fields(const ReadingSeries &readings, int i)
    {
        const ReadingFields r = readings.fields(i);
        const QDateTime t = r.time;
        return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
            .arg(t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")) : QStringLiteral("null"))
            .arg(r.valueUm, 0, 'g', 17)
            .arg(r.valueMil, 0, 'g', 17)
            .arg(r.textUm, r.textMil)
            .arg(int(r.overload))
            .arg(r.unit, r.basis, t.isValid() ? QString::number(t.toMSecsSinceEpoch()) : QString());
    }
    static ReadingFields reading(const QString &text, const QString &unit, const QString &basis,
                                 const QDateTime &time)
    {
        return ReadingFields::fromText(text, unit, basis, time);
    }
    static ReadingSeries readings(const QList<ReadingFields> &list)
    {
        ReadingSeries series;
        for (const ReadingFields &r : list)
            series.append(r);
        return series;
    }
    static QStringList describe(ItemData *item)
    {
        const ItemStatistics *s = item->statistics();
        const ItemLimits &l = item->limits();
        QStringList lines{QStringLiteral("%1 %2 %3 %4 %5 %6 %7 limits %8/%9/%10/%11/%12")
                              .arg(item->name())
                              .arg(item->type())
                              .arg(unitName(item->unit()), QString::number(s->num), s->avg, s->min, s->max)
                              .arg(l.nominal)
                              .arg(l.minimum)
                              .arg(l.maximum)
                              .arg(l.correction)
                              .arg(int(l.rule))};
        for (int i = 0; i < item->count(); ++i)
            lines << fields(item->readings(), i);
        return lines;
    }
    // Fills the "kept" store with one item of every kind, as the window would.
    static ItemData *fillEveryKind(ItemStore &store)
    {
        const QDateTime now = QDateTime::currentDateTime();
        store.append(store.storeItem(),
                     readings({reading("10", "um", "Fe", now), reading("20.5", "um", "NFe", now.addSecs(1))}), true);
        ItemData *measure = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
        store.setActive(measure);
        store.setUnit(measure, Unit::Mil);
        store.append(measure, reading("2.13", "mil", "Fe", now));
        store.append(measure, reading("    OL", "mil", "Fe", now));
        ItemData *imported = store.addItem(QStringLiteral("Import1"), ItemData::Import);
        const QDateTime offset(QDate(2024, 3, 1), QTime(8, 5, 9, 250), Qt::OffsetFromUTC, -5 * 3600);
        store.append(imported,
                     readings({reading("127", QString::fromUtf8("μm"), QString::fromUtf8("铁基"), offset),
                               reading("-OL", "um", "Fe", QDateTime()), reading("100", "UM", "", offset)}),
                     false);
        store.setUnit(imported, Unit::Mil);
        store.calcStatistics(imported);
        ItemData *gone = store.addItem(QStringLiteral("Gone"), ItemData::Measure);
        store.append(gone, reading("1", "um", "Fe", now));
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
        const QList<Unit> units{Unit::Micrometre, Unit::Mil};
        auto summaries = [&units](ItemStore &store) {
            QStringList all;
            for (ItemData *item : QList<ItemData *>{store.storeItem()} + store.items()) {
                for (Unit unit : units) {
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
            store.append(imported, readings({reading("OL", "um", "Fe", QDateTime())}), true);
            before = summaries(store);
            // Shown in micrometres when the program ends.
            store.setActive(store.storeItem());
            store.switchUnit(imported, Unit::Micrometre);
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        ItemStore store("Store Data", "Live Data");
        store.restore(&database);
        QCOMPARE(summaries(store), before);
    }

    // Readings as the file has always kept them (a value or text only when
    // it differs from what the micrometre value gives), read the way it
    // always was, against the series the file now loads them into, through
    // SQLite itself and through Qt's driver; and written back, the same rows.
    void loadingGivesTheRowsAsTheyWereKept_data()
    {
        QTest::addColumn<bool>("direct");
        QTest::newRow("through SQLite") << true;
        QTest::newRow("through Qt") << false;
    }
    void loadingGivesTheRowsAsTheyWereKept()
    {
        QFETCH(bool, direct);
        const double nan = qQNaN();
        const QDateTime local(QDate(2024, 3, 31), QTime(1, 59, 59, 500));
        QList<ReadingFields> readings;
        for (const char *text : {"125.4", "125", "0.0", "OL", "-OL", "1250.00", " 88.4", "abc"})
            readings << reading(text, "um", "Fe", local);
        for (const char *text : {"4.94", "12.7", "3", "-OL", "0.1", "4.9400"})
            readings << reading(text, "mil", "NFe", local.addSecs(3600));
        readings << reading("100", "UM", "Fe", QDateTime()) << reading("7", "mils", "", local)
                 << reading("127", QString::fromUtf8("μm"), QString::fromUtf8("铁基"), local);
        ReadingFields own = reading("4.94", "mil", "Fe", local);
        own.valueUm = 125.5;
        own.textUm = "125";
        readings << own;
        own = reading("125.4", "um", "Fe", local);
        own.valueMil = nan;
        own.textMil = "4.9";
        readings << own;
        // Values of every size and number of decimals, enough of them to
        // be written in groups too.
        QRandomGenerator random(19);
        for (int k = 0; k < 600; ++k) {
            const double value = random.generateDouble() * std::pow(10.0, random.bounded(7)) * (k % 7 ? 1 : -1);
            readings << reading(QString::number(value, 'f', random.bounded(5)), k % 2 ? "um" : "mil", "Fe", local);
        }

        // The rows as the file was written before, and as it was read.
        auto oldRow = [](const ReadingFields &r) {
            const QVariant null;
            return QVariantList{r.time.isValid() ? QVariant(r.time.toMSecsSinceEpoch()) : null,
                                r.time.isValid() ? QVariant(r.time.offsetFromUtc()) : null,
                                r.valueUm,
                                r.valueMil == r.valueUm / 25.4 ? null : QVariant(r.valueMil),
                                r.textUm == QString::number(r.valueUm, 'f', 0) ? null : QVariant(r.textUm),
                                r.textMil == QString::number(r.valueMil, 'f', 2) ? null : QVariant(r.textMil),
                                int(r.overload), r.unit, r.basis};
        };
        auto oldReading = [](const QVariantList &row) {
            ReadingFields f;
            if (!row.at(0).isNull())
                f.time = QDateTime::fromMSecsSinceEpoch(row.at(0).toLongLong(), Qt::OffsetFromUTC, row.at(1).toInt());
            f.valueUm = row.at(2).isNull() ? qQNaN() : row.at(2).toDouble();
            f.valueMil = row.at(3).isNull() ? f.valueUm / 25.4 : row.at(3).toDouble();
            f.textUm = row.at(4).isNull() ? QString::number(f.valueUm, 'f', 0) : row.at(4).toString();
            f.textMil = row.at(5).isNull() ? QString::number(f.valueMil, 'f', 2) : row.at(5).toString();
            const int overload = row.at(6).toInt();
            f.overload = overload > 0 ? Overload::Above : overload < 0 ? Overload::Below : Overload::None;
            f.unit = row.at(7).toString();
            f.basis = row.at(8).toString();
            return f;
        };
        const QString columns = QStringLiteral("time, zone, value_um, value_mil, text_um, text_mil, overload, unit, basis");

        MeasurementDatabase database;
        database.setDirectReadings(direct);
        QVERIFY(database.open(path()));
        QCOMPARE(database.readsDirectly(), direct && SqliteReadings::available());
        const qint64 id = database.addItem(QStringLiteral("Old"), ItemData::Import, Unit::Micrometre);
        const qint64 again = database.addItem(QStringLiteral("Again"), ItemData::Import, Unit::Micrometre);
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(path());
        QVERIFY(raw.open());
        auto rowsOf = [&](qint64 item) {
            QList<QVariantList> rows;
            QSqlQuery query(raw);
            if (!query.exec(QStringLiteral("SELECT %1 FROM readings WHERE item = %2 ORDER BY seq").arg(columns).arg(item)))
                return rows;
            while (query.next()) {
                rows << QVariantList();
                for (int c = 0; c < query.record().count(); ++c)
                    rows.last() << query.value(c);
            }
            return rows;
        };
        {
            QSqlQuery insert(raw);
            QVERIFY(insert.prepare(
                QStringLiteral("INSERT INTO readings (item, seq, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(columns)));
            for (int i = 0; i < readings.size(); ++i) {
                insert.addBindValue(id);
                insert.addBindValue(i);
                for (const QVariant &v : oldRow(readings.at(i)))
                    insert.addBindValue(v);
                QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
            }
        }
        const QList<QVariantList> rows = rowsOf(id);
        QCOMPARE(rows.size(), readings.size());

        ReadingSeries loaded;
        QVERIFY(database.loadReadings(id, &loaded));
        QCOMPARE(loaded.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(fields(loaded, i), fields(seriesOf({oldReading(rows.at(i))}), 0));

        QVERIFY(database.appendReadings(again, loaded, 0, ItemStatistics()));
        const QList<QVariantList> back = rowsOf(again);
        QCOMPARE(back.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(QVariant(back.at(i)).toStringList(), QVariant(rows.at(i)).toStringList());
            for (int c = 0; c < rows.at(i).size(); ++c)
                QVERIFY2(back.at(i).at(c).isNull() == rows.at(i).at(c).isNull(),
                         qPrintable(QStringLiteral("row %1 column %2").arg(i).arg(c)));
        }
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
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
        const qint64 id = database.addItem(QStringLiteral("Kept"), ItemData::Measure, Unit::Micrometre);
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
        // Read as it is: a reader never upgrades.
        const QByteArray before = contents(path());
        {
            MeasurementDatabase reader;
            QVERIFY2(reader.openToRead(path()), qPrintable(reader.problem()));
            QCOMPARE(reader.keptItems().size(), 1);
            ReadingSeries none;
            QVERIFY(reader.loadReadings(7, &none) && none.isEmpty());
        }
        QCOMPARE(contents(path()), before);
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
            QCOMPARE(database.addItem(QStringLiteral("Old"), ItemData::Measure, Unit::Micrometre), 1);
            QCOMPARE(database.addItem(QStringLiteral("Store Data"), ItemData::StoreData, Unit::Micrometre), 2);
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
        QVERIFY(database.renameItem(5, QStringLiteral("New")) && database.setUnit(5, Unit::Mil)
                && database.setLimits(5, limits) && database.setDetails(5, ItemDetails()));
        QCOMPARE(row(5).mid(2), (QVariantList{5, 1}));
        QVERIFY(database.clearReadings(5, ItemStatistics()));
        QCOMPARE(row(5).mid(2), (QVariantList{6, 2}));
        const qint64 added = database.addItem(QStringLiteral("Added"), ItemData::Measure, Unit::Micrometre);
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
            QVERIFY(database.addItem(QStringLiteral("New"), ItemData::Measure, Unit::Micrometre) != 0);
        } else {
            QVERIFY(!opened);
            QVERIFY(message.contains(QStringLiteral("not being kept")));
            QCOMPARE(contents(path()), original);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
        }

        // Opened to read, each stays as it was; the read-only and the
        // locked one are read.
        const QString unusable = opened ? database.asidePath() : path();
        MeasurementDatabase reader;
        const bool read = reader.openToRead(unusable);
        QCOMPARE(read, kind == QLatin1String("readonly") || kind == QLatin1String("locked"));
        QCOMPARE(reader.fault() == MeasurementDatabase::Fault::Damaged, says == QLatin1String("renamed"));
        QCOMPARE(reader.keptItems().size(), read ? 2 : 0);
        QCOMPARE(contents(unusable), original);
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_MAIN(TestMeasurementDatabase)
#include "tst_measurementdatabase.moc"
