#include "data/measurementdatabase.h"

#include "data/jobprogress.h"
#include "data/keptrow.h"
#include "data/readingseries.h"
#include "data/sqlitereadings.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <QVariant>
#include <QtNumeric>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// A random (version 4) UUID, and the time in milliseconds since 1970 UTC,
// in SQL for the schema steps.
#define NEW_UUID_SQL                                                                                          \
    "lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' || substr(hex(randomblob(2)), 2) || '-'" \
    " || substr('89ab', 1 + abs(random() % 4), 1) || substr(hex(randomblob(2)), 2) || '-'"                 \
    " || hex(randomblob(6)))"
#define NOW_MS_SQL "CAST((julianday('now') - 2440587.5) * 86400000 AS INTEGER)"

// Each step takes a file from the version of its place in the list to the
// next one, inside one transaction. A later layout appends a step (for
// instance "ALTER TABLE items ADD COLUMN ..."); existing steps never change.
const std::vector<std::vector<const char *>> Migrations = {
    // 1: the items ("Store Data" among them) with their statistics texts,
    // their readings, and which item is active. A reading's mil value and
    // its texts are stored only when they differ from what the micrometre
    // value gives, which is most of the time not.
    {
        "CREATE TABLE items (id INTEGER PRIMARY KEY, position INTEGER NOT NULL, type INTEGER NOT NULL,"
        " name TEXT NOT NULL, unit TEXT NOT NULL, num INTEGER NOT NULL DEFAULT 0,"
        " avg TEXT NOT NULL DEFAULT '0', min TEXT NOT NULL DEFAULT '0', max TEXT NOT NULL DEFAULT '0')",
        "CREATE TABLE readings (item INTEGER NOT NULL, seq INTEGER NOT NULL, time INTEGER, zone INTEGER,"
        " value_um REAL, value_mil REAL, text_um TEXT, text_mil TEXT, overload INTEGER NOT NULL,"
        " unit TEXT NOT NULL, basis TEXT NOT NULL, PRIMARY KEY (item, seq)) WITHOUT ROWID",
        "CREATE TABLE state (name TEXT PRIMARY KEY, value) WITHOUT ROWID",
    },
    // 2: an item's acceptance limits, in micrometres, and its rule; an item
    // without a row has none.
    {
        "CREATE TABLE limits (item INTEGER PRIMARY KEY, nominal REAL NOT NULL, minimum REAL NOT NULL,"
        " maximum REAL NOT NULL, correction REAL NOT NULL, rule INTEGER NOT NULL)",
    },
    // 3: an item's inspection details, texts as typed and the calibration
    // date as yyyy-MM-dd (NULL when not set); an item without a row has none.
    {
        "CREATE TABLE details (item INTEGER PRIMARY KEY, project TEXT NOT NULL, structure TEXT NOT NULL,"
        " coating TEXT NOT NULL, gauge_model TEXT NOT NULL, gauge_serial TEXT NOT NULL,"
        " probe_serial TEXT NOT NULL, calibration TEXT, adjustment TEXT NOT NULL, inspector TEXT NOT NULL,"
        " notes TEXT NOT NULL)",
    },
    // 4: what the team database knows items and readings by: this file's
    // installation id, an id per item, when an item was made and last
    // changed, a revision counted up by every change of the item and a
    // generation counted up whenever its readings are cleared or replaced.
    // An item made before takes the time of its first reading.
    {
        "ALTER TABLE items ADD COLUMN uuid TEXT",
        "ALTER TABLE items ADD COLUMN made INTEGER",
        "ALTER TABLE items ADD COLUMN changed INTEGER",
        "ALTER TABLE items ADD COLUMN revision INTEGER NOT NULL DEFAULT 1",
        "ALTER TABLE items ADD COLUMN generation INTEGER NOT NULL DEFAULT 1",
        "UPDATE items SET uuid = " NEW_UUID_SQL ", changed = " NOW_MS_SQL
        ", made = IFNULL((SELECT MIN(time) FROM readings WHERE item = items.id), " NOW_MS_SQL ")",
        "CREATE UNIQUE INDEX items_uuid ON items (uuid)",
        "INSERT INTO state (name, value) VALUES ('installation', " NEW_UUID_SQL ")",
    },
};
#undef NEW_UUID_SQL
#undef NOW_MS_SQL

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// How long opening waits for another copy that holds the file, and a
// statement for a reader that holds it for a moment.
constexpr int LockWaitMs = 1500;
constexpr int BusyWaitMs = 250;

const QString ActiveItemKey = QStringLiteral("active item");

// SQLite's primary result codes, as the driver reports them.
enum SqliteCode { Busy = 5, Locked = 6, ReadOnly = 8, Corrupt = 11, NotADatabase = 26 };

// A null text would be stored as NULL, which means "derived" or breaks
// a NOT NULL column; keep it an empty text.
QVariant textValue(const QString &text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

} // namespace

const int MeasurementDatabase::SchemaVersion = int(Migrations.size());

struct MeasurementDatabase::Statements
{
    explicit Statements(const QSqlDatabase &db)
        : begin(db)
        , commit(db)
        , rollback(db)
        , insertReading(db)
        , statistics(db)
        , loadReadings(db)
        , firstBasis(db)
    {
    }
    // Prepared once: the driver's own transaction calls prepare each time.
    QSqlQuery begin;
    QSqlQuery commit;
    QSqlQuery rollback;
    QSqlQuery insertReading;
    QSqlQuery statistics;
    QSqlQuery loadReadings;
    QSqlQuery firstBasis;
};

MeasurementDatabase::MeasurementDatabase()
    : m_connection(QStringLiteral("measurements-%1").arg(quintptr(this), 0, 16))
{
}

MeasurementDatabase::~MeasurementDatabase()
{
    close();
}

QString MeasurementDatabase::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("measurements.sqlite"));
}

void MeasurementDatabase::forget(const QString &path)
{
    close();
    m_path = path;
    m_asidePath.clear();
    m_problem.clear();
    m_notice.clear();
    m_failure.clear();
    m_lastError.clear();
    m_fault = Fault::None;
}

bool MeasurementDatabase::openToRead(const QString &path)
{
    forget(path);
    m_reading = true;
    if (!QFileInfo::exists(path)) {
        m_open = true;
        return true;
    }
    m_fault = connectFile();
    if (m_fault != Fault::None) {
        m_problem = describe(m_fault, m_lastError);
        disconnectFile();
        return false;
    }
    m_open = true;
    return true;
}

bool MeasurementDatabase::open(const QString &path)
{
    forget(path);
    m_reading = false;

    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        m_fault = Fault::Failed;
        m_problem = describe(Fault::Failed, tr("its folder cannot be made"));
        return false;
    }
    // A file the user marked read-only stays untouched, even for a user
    // who may write it anyway.
    if (info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))) {
        m_fault = Fault::ReadOnly;
        m_problem = describe(Fault::ReadOnly, QString());
        return false;
    }

    // One running copy writes the file; others may read it meanwhile. The
    // lock names its process, so a killed program leaves none that counts.
    m_lock.reset(new QLockFile(path + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(LockWaitMs)) {
        const bool held = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        m_fault = held ? Fault::Locked : Fault::Failed;
        m_problem = describe(m_fault, tr("its lock file cannot be made"));
        return false;
    }

    Fault fault = connectFileRetrying();
    if (fault == Fault::Damaged) {
        disconnectFile();
        if (!moveAside()) {
            m_fault = Fault::Damaged;
            m_problem = describe(Fault::Damaged, QString());
            return false;
        }
        fault = connectFileRetrying();
        m_notice = tr("%1 was damaged. It was renamed %2, and a new %1 was started.")
                       .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(m_asidePath));
    }
    if (fault != Fault::None) {
        m_fault = fault;
        m_problem = describe(fault, m_lastError);
        if (!m_notice.isEmpty())
            m_problem = m_notice + QLatin1Char(' ') + m_problem;
        m_notice.clear();
        disconnectFile();
        m_lock.reset();
        return false;
    }
    m_open = true;
    return true;
}

void MeasurementDatabase::close()
{
    disconnectFile();
    m_lock.reset();
}

MeasurementDatabase::Fault MeasurementDatabase::connectFileRetrying()
{
    // A reader that is just starting (another copy listing the items, the
    // team's sync) may hold the file for a moment; try again after a
    // random pause until the deadline.
    QDeadlineTimer deadline(LockWaitMs);
    for (;;) {
        const Fault fault = connectFile();
        if (fault != Fault::Locked || deadline.hasExpired())
            return fault;
        disconnectFile();
        QThread::msleep(20 + QRandomGenerator::global()->bounded(80));
    }
}

MeasurementDatabase::Fault MeasurementDatabase::connectFile()
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(m_path);
    // Readers never block a writer in the write-ahead log; only a reader
    // starting up does, for a moment.
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyWaitMs);
    m_db.setConnectOptions(m_reading ? QStringLiteral("QSQLITE_OPEN_READONLY;") + busy : busy);
    if (!m_db.open())
        return classify(m_db.lastError());

    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return classify(query.lastError());
    const int version = query.value(0).toInt();
    query.finish();
    if (version > SchemaVersion)
        return Fault::Newer;
    Fault fault = Fault::None;
    if (m_reading) {
        // One read transaction for as long as the file is open: the items
        // and their readings are all of one moment of the writer's.
        if (!m_db.transaction())
            return classify(m_db.lastError());
        fault = readCatalogue(version);
        // An empty file has no tables to read readings from.
        if (fault != Fault::None || version == 0)
            return fault;
    } else {
        if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL"))
            || !query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
            return classify(query.lastError());
        query.finish();
        fault = migrate(version);
        if (fault == Fault::None)
            fault = readCatalogue(SchemaVersion);
        if (fault != Fault::None)
            return fault;
    }

    m_statements.reset(new Statements(m_db));
    if (m_directAllowed && SqliteReadings::available())
        m_direct.reset(new SqliteReadings(m_db.driver()->handle()));
    if (m_direct && !m_direct->isValid())
        m_direct.reset();
    Statements &s = *m_statements;
    s.loadReadings.setForwardOnly(true);
    s.firstBasis.setForwardOnly(true);
    bool prepared = s.loadReadings.prepare(QStringLiteral(
                        "SELECT time, zone, value_um, value_mil, text_um, text_mil, overload,"
                        " CASE unit WHEN 'um' THEN 0 WHEN 'mil' THEN 1 ELSE unit END,"
                        " CASE basis WHEN ? THEN NULL ELSE basis END FROM readings WHERE item = ? ORDER BY seq"))
        && s.firstBasis.prepare(QStringLiteral("SELECT basis FROM readings WHERE item = ? ORDER BY seq LIMIT 1"));
    // A reader's file may be of an earlier layout, which it never writes.
    if (!m_reading)
        prepared = prepared && s.begin.prepare(QStringLiteral("BEGIN")) && s.commit.prepare(QStringLiteral("COMMIT"))
            && s.rollback.prepare(QStringLiteral("ROLLBACK"))
            && s.insertReading.prepare(QStringLiteral(
                "INSERT INTO readings (item, seq, time, zone, value_um, value_mil, text_um, text_mil, overload, unit,"
                " basis) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
            && s.statistics.prepare(QStringLiteral("UPDATE items SET num = ?, avg = ?, min = ?, max = ?,"
                                                   " revision = revision + 1, changed = ? WHERE id = ?"));
    if (!prepared)
        return classify(m_db.lastError());
    return Fault::None;
}

MeasurementDatabase::Fault MeasurementDatabase::classify(const QSqlError &error)
{
    m_lastError = error.text();
    switch (error.nativeErrorCode().toInt()) {
    case NotADatabase:
    case Corrupt:
        return Fault::Damaged;
    case Busy:
    case Locked:
        return Fault::Locked;
    case ReadOnly:
        return Fault::ReadOnly;
    default:
        return Fault::Failed;
    }
}

MeasurementDatabase::Fault MeasurementDatabase::migrate(int version)
{
    if (!m_db.transaction())
        return classify(m_db.lastError());
    QSqlQuery query(m_db);
    bool ok = true;
    for (int step = version; ok && step < SchemaVersion; ++step) {
        for (const char *statement : Migrations[size_t(step)])
            ok = ok && query.exec(QLatin1String(statement));
    }
    // Written even when current: this takes the write lock now, so a
    // second copy is refused at its start rather than at its first reading.
    ok = ok && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    if (!ok) {
        const Fault fault = classify(query.lastError());
        query.finish();
        m_db.rollback();
        return fault;
    }
    if (!m_db.commit()) {
        const Fault fault = classify(m_db.lastError());
        m_db.rollback();
        return fault;
    }
    return Fault::None;
}

MeasurementDatabase::Fault MeasurementDatabase::readCatalogue(int version)
{
    m_items.clear();
    m_activeId = 0;
    if (version == 0)
        return Fault::None;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT id, type, name, unit, num, avg, min, max FROM items ORDER BY position, id")))
        return classify(query.lastError());
    while (query.next()) {
        KeptItem item;
        item.id = query.value(0).toLongLong();
        item.type = ItemData::DataType(query.value(1).toInt());
        item.name = query.value(2).toString();
        item.unit = itemUnit(query.value(3).toString());
        item.statistics.num = query.value(4).toInt();
        item.statistics.avg = query.value(5).toString();
        item.statistics.min = query.value(6).toString();
        item.statistics.max = query.value(7).toString();
        m_items << item;
    }
    if (query.lastError().isValid())
        return classify(query.lastError());
    // Layouts before 2 have no limits, before 3 no details.
    if (version >= 2
        && !query.exec(QStringLiteral("SELECT item, nominal, minimum, maximum, correction, rule FROM limits")))
        return classify(query.lastError());
    while (version >= 2 && query.next()) {
        const qint64 id = query.value(0).toLongLong();
        for (KeptItem &item : m_items) {
            if (item.id != id)
                continue;
            item.limits.nominal = query.value(1).toDouble();
            item.limits.minimum = query.value(2).toDouble();
            item.limits.maximum = query.value(3).toDouble();
            item.limits.correction = query.value(4).toDouble();
            const int rule = query.value(5).toInt();
            item.limits.rule = rule >= 0 && rule <= int(AcceptanceRule::SspcPa2) ? AcceptanceRule(rule)
                                                                                   : AcceptanceRule::None;
        }
    }
    if (version >= 3
        && !query.exec(QStringLiteral("SELECT item, project, structure, coating, gauge_model, gauge_serial,"
                                      " probe_serial, calibration, adjustment, inspector, notes FROM details")))
        return classify(query.lastError());
    while (version >= 3 && query.next()) {
        const qint64 id = query.value(0).toLongLong();
        for (KeptItem &item : m_items) {
            if (item.id != id)
                continue;
            ItemDetails &d = item.details;
            d.project = query.value(1).toString();
            d.structure = query.value(2).toString();
            d.coating = query.value(3).toString();
            d.gaugeModel = query.value(4).toString();
            d.gaugeSerial = query.value(5).toString();
            d.probeSerial = query.value(6).toString();
            d.calibration = QDate::fromString(query.value(7).toString(), DateFormat);
            d.adjustment = query.value(8).toString();
            d.inspector = query.value(9).toString();
            d.notes = query.value(10).toString();
        }
    }
    query.prepare(QStringLiteral("SELECT value FROM state WHERE name = ?"));
    query.addBindValue(ActiveItemKey);
    if (!query.exec())
        return classify(query.lastError());
    if (query.next())
        m_activeId = query.value(0).toLongLong();
    return Fault::None;
}

void MeasurementDatabase::disconnectFile()
{
    m_inChanges = false;
    // Its statements go before the connection closes.
    m_direct.reset();
    m_statements.reset();
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_connection))
        QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
    m_items.clear();
    m_activeId = 0;
}

bool MeasurementDatabase::moveAside()
{
    const QFileInfo info(m_path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hhmmss"));
    QString aside;
    for (int n = 1;; ++n) {
        const QString count = n > 1 ? QStringLiteral("-%1").arg(n) : QString();
        aside = info.dir().filePath(
            QStringLiteral("%1-damaged-%2%3.%4").arg(info.completeBaseName(), stamp, count, info.suffix()));
        if (!QFileInfo::exists(aside))
            break;
    }
    if (!QFile::rename(m_path, aside))
        return false;
    // The journal files belong to the damaged file, not to the new one.
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        if (QFileInfo::exists(m_path + QLatin1String(suffix)))
            QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    }
    m_asidePath = aside;
    return true;
}

QString MeasurementDatabase::describe(Fault fault, const QString &detail) const
{
    const QString file = QDir::toNativeSeparators(m_path);
    // A reader leaves the file as it is and keeps nothing.
    if (m_reading) {
        switch (fault) {
        case Fault::Damaged:
            return tr("%1 is damaged. It was left as it is.").arg(file);
        case Fault::Newer:
            return tr("%1 was written by a newer version of this program.").arg(file);
        case Fault::Locked:
            return tr("%1 is busy. Try again in a moment.").arg(file);
        default:
            return tr("%1 cannot be read (%2).").arg(file, detail);
        }
    }
    switch (fault) {
    case Fault::Damaged:
        return tr("%1 is damaged and could not be renamed aside. It was left as it is, and measurements are not "
                  "being kept.")
            .arg(file);
    case Fault::Newer:
        return tr("%1 was written by a newer version of this program. It was left as it is, and measurements are "
                  "not being kept.")
            .arg(file);
    case Fault::ReadOnly:
        return tr("%1 is read-only. It was left as it is, and measurements are not being kept.").arg(file);
    case Fault::Locked:
        return tr("%1 is in use by another running copy of this program. Measurements are not being kept.")
            .arg(file);
    case Fault::Failed:
    case Fault::None:
        break;
    }
    return tr("%1 cannot be opened (%2). Measurements are not being kept.").arg(file, detail);
}

void MeasurementDatabase::requestReadings(qint64 id, const ReadingsDone &done)
{
    ReadingSeries readings;
    const bool ok = loadReadings(id, &readings);
    done(ok, readings);
}

bool MeasurementDatabase::loadReadings(qint64 id, ReadingSeries *readings)
{
    // A reader's missing or empty file has no readings to load.
    if (!m_open || !m_statements)
        return true;
    ReadingSeries loaded;
    if (m_direct) {
        if (!m_direct->load(id, &loaded))
            return fail(m_direct->error());
        readings->append(loaded);
        return true;
    }
    // Most readings share one basis: the query leaves it out (NULL) for
    // them, so that no text is made for it per reading.
    QSqlQuery &first = m_statements->firstBasis;
    first.bindValue(0, id);
    if (!first.exec())
        return fail(first.lastError());
    const QString commonBasis = first.next() ? first.value(0).toString() : QString();
    first.finish();

    QSqlQuery &query = m_statements->loadReadings;
    query.bindValue(0, commonBasis);
    query.bindValue(1, id);
    if (!query.exec())
        return fail(query.lastError());
    const QString units[] = {unitName(Unit::Micrometre), unitName(Unit::Mil)};
    KeptRow row;
    while (query.next()) {
        const QVariant time = query.value(0);
        row.timed = !time.isNull();
        row.time = time.toLongLong();
        row.zone = query.value(1).toInt();
        const QVariant um = query.value(2);
        row.hasValueUm = !um.isNull();
        row.valueUm = um.toDouble();
        const QVariant mil = query.value(3);
        row.hasValueMil = !mil.isNull();
        row.valueMil = mil.toDouble();
        row.textUm = query.value(4).toString();
        row.textMil = query.value(5).toString();
        row.overload = query.value(6).toInt();
        const QVariant unit = query.value(7);
        row.unit = unit.userType() == QMetaType::QString ? unit.toString() : units[unit.toInt() == 0 ? 0 : 1];
        const QVariant basis = query.value(8);
        row.basis = basis.isNull() ? commonBasis : basis.toString();
        appendKeptRow(row, &loaded);
    }
    const QSqlError error = query.lastError();
    query.finish();
    if (error.isValid())
        return fail(error);
    readings->append(loaded);
    return true;
}

qint64 MeasurementDatabase::addItem(const QString &name, ItemData::DataType type, Unit unit)
{
    return addItem(name, type, unit, 0);
}

qint64 MeasurementDatabase::addItem(const QString &name, ItemData::DataType type, Unit unit, qint64 id)
{
    if (!m_open)
        return 0;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO items (id, position, type, name, unit, uuid, made, changed)"
                                 " VALUES (?, (SELECT IFNULL(MAX(position), 0) + 1 FROM items), ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(id > 0 ? QVariant(id) : QVariant(QVariant::LongLong));
    query.addBindValue(int(type));
    query.addBindValue(textValue(name));
    query.addBindValue(unitName(unit));
    query.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    query.addBindValue(now);
    query.addBindValue(now);
    if (!run(query))
        return 0;
    return query.lastInsertId().toLongLong();
}

qint64 MeasurementDatabase::largestItemId()
{
    if (!m_open)
        return 0;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT IFNULL(MAX(id), 0) FROM items")) || !query.next())
        return 0;
    return query.value(0).toLongLong();
}

void MeasurementDatabase::releaseConnection()
{
    if (!m_open)
        return;
    const QList<KeptItem> items = m_items;
    const qint64 active = m_activeId;
    disconnectFile();
    // The catalogue read at open stays what it was.
    m_items = items;
    m_activeId = active;
    m_open = true;
}

bool MeasurementDatabase::takeConnection()
{
    if (!m_open)
        return false;
    const QList<KeptItem> items = m_items;
    const qint64 active = m_activeId;
    const Fault fault = connectFileRetrying();
    m_items = items;
    m_activeId = active;
    if (fault != Fault::None) {
        m_failure = describe(fault, m_lastError);
        disconnectFile();
        return false;
    }
    m_open = true;
    return true;
}

void MeasurementDatabase::keepNewItem(const NewItem &item, const ReadingSeries &readings,
                                      const std::shared_ptr<JobProgress> &progress, const NewItemDone &done)
{
    NewItem numbered = item;
    numbered.id = largestItemId() + 1;
    const Outcome outcome = keepNewItem(numbered, readings, progress.get());
    done(outcome, outcome == Outcome::Kept ? numbered.id : 0);
}

ItemKeeper::Outcome MeasurementDatabase::keepNewItem(const NewItem &item, const ReadingSeries &readings,
                                                     JobProgress *progress)
{
    if (!m_open)
        return Outcome::Kept;
    const bool outer = m_inChanges;
    if (!outer && !beginChanges())
        return Outcome::Failed;
    bool ok = addItem(item.name, item.type, item.unit, item.id) != 0
        && insertReadings(item.id, readings, 0, progress) && bindStatistics(item.id, item.statistics);
    const bool cancelled = progress && progress->isCancelled();
    if (ok && !cancelled)
        return outer || commitChanges() ? Outcome::Kept : Outcome::Failed;
    if (cancelled && m_inChanges) {
        // Undone as a whole; the keeping goes on.
        m_inChanges = false;
        m_statements->rollback.exec();
        m_failure.clear();
        return Outcome::Cancelled;
    }
    return Outcome::Failed;
}

bool MeasurementDatabase::removeItem(qint64 id)
{
    return inTransaction([&] {
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("DELETE FROM readings WHERE item = ?"));
        query.addBindValue(id);
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("DELETE FROM limits WHERE item = ?"));
        query.addBindValue(id);
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("DELETE FROM details WHERE item = ?"));
        query.addBindValue(id);
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("DELETE FROM items WHERE id = ?"));
        query.addBindValue(id);
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("DELETE FROM state WHERE name = ? AND value = ?"));
        query.addBindValue(ActiveItemKey);
        query.addBindValue(id);
        return run(query);
    });
}

bool MeasurementDatabase::replaceItemRow(const QString &table, const QStringList &columns, qint64 id,
                                         const QVariantList &values)
{
    return inTransaction([&] {
        QSqlQuery query(m_db);
        if (values.isEmpty()) {
            query.prepare(QStringLiteral("DELETE FROM %1 WHERE item = ?").arg(table));
            query.addBindValue(id);
        } else {
            const QString marks = QStringLiteral(", ?").repeated(columns.size());
            query.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (item, %2) VALUES (?%3)")
                              .arg(table, columns.join(QStringLiteral(", ")), marks));
            query.addBindValue(id);
            for (const QVariant &value : values)
                query.addBindValue(value);
        }
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("UPDATE items SET revision = revision + 1, changed = ? WHERE id = ?"));
        query.addBindValue(QDateTime::currentMSecsSinceEpoch());
        query.addBindValue(id);
        return run(query);
    });
}

bool MeasurementDatabase::setLimits(qint64 id, const ItemLimits &limits)
{
    QVariantList values;
    if (limits.isSet())
        values = {limits.nominal, limits.minimum, limits.maximum, limits.correction, int(limits.rule)};
    return replaceItemRow(QStringLiteral("limits"),
                          {QStringLiteral("nominal"), QStringLiteral("minimum"), QStringLiteral("maximum"),
                           QStringLiteral("correction"), QStringLiteral("rule")},
                          id, values);
}

bool MeasurementDatabase::setDetails(qint64 id, const ItemDetails &details)
{
    QVariantList values;
    if (details.isSet()) {
        for (const QString &text : {details.project, details.structure, details.coating, details.gaugeModel,
                                    details.gaugeSerial, details.probeSerial})
            values << textValue(text);
        values << (details.calibration.isValid() ? QVariant(details.calibration.toString(DateFormat))
                                                 : QVariant(QVariant::String));
        for (const QString &text : {details.adjustment, details.inspector, details.notes})
            values << textValue(text);
    }
    return replaceItemRow(QStringLiteral("details"),
                          {QStringLiteral("project"), QStringLiteral("structure"), QStringLiteral("coating"),
                           QStringLiteral("gauge_model"), QStringLiteral("gauge_serial"),
                           QStringLiteral("probe_serial"), QStringLiteral("calibration"),
                           QStringLiteral("adjustment"), QStringLiteral("inspector"), QStringLiteral("notes")},
                          id, values);
}

bool MeasurementDatabase::renameItem(qint64 id, const QString &name)
{
    if (!m_open)
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE items SET name = ?, revision = revision + 1, changed = ? WHERE id = ?"));
    query.addBindValue(textValue(name));
    query.addBindValue(QDateTime::currentMSecsSinceEpoch());
    query.addBindValue(id);
    return run(query);
}

bool MeasurementDatabase::setUnit(qint64 id, Unit unit)
{
    if (!m_open)
        return true;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE items SET unit = ?, revision = revision + 1, changed = ? WHERE id = ?"));
    query.addBindValue(unitName(unit));
    query.addBindValue(QDateTime::currentMSecsSinceEpoch());
    query.addBindValue(id);
    return run(query);
}

bool MeasurementDatabase::setActiveItem(qint64 id)
{
    if (!m_open)
        return true;
    QSqlQuery query(m_db);
    if (id == 0) {
        query.prepare(QStringLiteral("DELETE FROM state WHERE name = ?"));
        query.addBindValue(ActiveItemKey);
    } else {
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO state (name, value) VALUES (?, ?)"));
        query.addBindValue(ActiveItemKey);
        query.addBindValue(id);
    }
    return run(query);
}

bool MeasurementDatabase::appendReadings(qint64 id, const ReadingSeries &readings, int first,
                                         const ItemStatistics &statistics)
{
    return inTransaction([&] { return insertReadings(id, readings, first, nullptr) && bindStatistics(id, statistics); });
}

bool MeasurementDatabase::insertReadings(qint64 id, const ReadingSeries &readings, int first, JobProgress *progress)
{
    // In parts, so that a progress hears of them and may stop them.
    constexpr int Part = 16384;
    for (int from = first; from < readings.size(); from += Part) {
        if (progress && progress->isCancelled())
            return false;
        const int to = std::min(readings.size(), from + Part);
        if (m_direct) {
            if (!m_direct->insert(id, readings, from, to))
                return fail(m_direct->error());
        } else {
            QSqlQuery &insert = m_statements->insertReading;
            const QVariant null;
            for (int i = from; i < to; ++i) {
                const KeptRow row = keptRowOf(readings, i);
                insert.bindValue(0, id);
                insert.bindValue(1, i);
                insert.bindValue(2, row.timed ? QVariant(row.time) : null);
                insert.bindValue(3, row.timed ? QVariant(row.zone) : null);
                insert.bindValue(4, row.hasValueUm ? QVariant(row.valueUm) : null);
                insert.bindValue(5, row.hasValueMil ? QVariant(row.valueMil) : null);
                insert.bindValue(6, row.textUm.isNull() ? null : QVariant(row.textUm));
                insert.bindValue(7, row.textMil.isNull() ? null : QVariant(row.textMil));
                insert.bindValue(8, row.overload);
                insert.bindValue(9, textValue(row.unit));
                insert.bindValue(10, textValue(row.basis));
                if (!run(insert))
                    return false;
            }
        }
        if (progress)
            progress->setDone(to);
    }
    return true;
}

bool MeasurementDatabase::clearReadings(qint64 id, const ItemStatistics &statistics)
{
    return inTransaction([&] {
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("DELETE FROM readings WHERE item = ?"));
        query.addBindValue(id);
        if (!run(query))
            return false;
        query.prepare(QStringLiteral("UPDATE items SET generation = generation + 1 WHERE id = ?"));
        query.addBindValue(id);
        return run(query) && bindStatistics(id, statistics);
    });
}

bool MeasurementDatabase::setStatistics(qint64 id, const ItemStatistics &statistics)
{
    return !m_open || bindStatistics(id, statistics);
}

bool MeasurementDatabase::bindStatistics(qint64 id, const ItemStatistics &statistics)
{
    QSqlQuery &query = m_statements->statistics;
    query.bindValue(0, statistics.num);
    query.bindValue(1, textValue(statistics.avg));
    query.bindValue(2, textValue(statistics.min));
    query.bindValue(3, textValue(statistics.max));
    query.bindValue(4, QDateTime::currentMSecsSinceEpoch());
    query.bindValue(5, id);
    return run(query);
}

bool MeasurementDatabase::beginChanges()
{
    if (!m_open || m_inChanges)
        return true;
    if (!m_statements->begin.exec())
        return fail(m_statements->begin.lastError());
    m_inChanges = true;
    return true;
}

bool MeasurementDatabase::commitChanges()
{
    if (!m_open || !m_inChanges)
        return true;
    m_inChanges = false;
    Statements &s = *m_statements;
    if (!s.commit.exec()) {
        const QSqlError error = s.commit.lastError();
        s.rollback.exec();
        return fail(error);
    }
    return true;
}

bool MeasurementDatabase::run(QSqlQuery &query)
{
    if (!query.exec())
        return fail(query.lastError());
    return true;
}

template <typename Body>
bool MeasurementDatabase::inTransaction(Body body)
{
    if (!m_open)
        return true;
    // Inside beginChanges the outer step commits; a failure has already
    // undone it (fail).
    if (m_inChanges)
        return body();
    Statements &s = *m_statements;
    if (!s.begin.exec())
        return fail(s.begin.lastError());
    if (!body()) {
        s.rollback.exec();
        return false;
    }
    if (!s.commit.exec()) {
        fail(s.commit.lastError());
        s.rollback.exec();
        return false;
    }
    return true;
}

bool MeasurementDatabase::fail(const QSqlError &error)
{
    return fail(error.text());
}

bool MeasurementDatabase::fail(const QString &error)
{
    if (m_inChanges) {
        m_inChanges = false;
        m_statements->rollback.exec();
    }
    m_failure = tr("The measurement file %1 failed (%2). Measurements are not being kept from now on.")
                    .arg(QDir::toNativeSeparators(m_path), error);
    return false;
}
