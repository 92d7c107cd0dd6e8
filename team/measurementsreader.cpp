#include "team/measurementsreader.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The layout that gave items and the file their team ids.
constexpr int TeamIdsLayout = 4;

} // namespace

MeasurementsReader::MeasurementsReader(const QString &path)
    : m_path(path)
    , m_connection(QStringLiteral("QSQLITE"), QStringLiteral("measurements-reader"))
    , m_db(m_connection.database())
{
}

bool MeasurementsReader::failed(const QString &problem)
{
    m_problem = QStringLiteral("%1: %2").arg(m_path, problem);
    return false;
}

bool MeasurementsReader::open()
{
    if (!QFileInfo::exists(m_path))
        return failed(QStringLiteral("the file is missing"));
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
    if (!m_db.open())
        return failed(m_db.lastError().text());
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failed(query.lastError().text());
    // A later layout only adds; an earlier one has no ids yet.
    if (query.value(0).toInt() < TeamIdsLayout)
        return failed(QStringLiteral("the file has no team ids yet"));
    if (!query.exec(QStringLiteral("SELECT value FROM state WHERE name = 'installation'")) || !query.next())
        return failed(query.lastError().isValid() ? query.lastError().text() : QStringLiteral("no installation id"));
    m_installation = query.value(0).toString();
    return true;
}

bool MeasurementsReader::beginSnapshot()
{
    return m_db.transaction() || failed(m_db.lastError().text());
}

void MeasurementsReader::endSnapshot()
{
    m_db.commit();
}

bool MeasurementsReader::readItems(QList<TeamItem> *items)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT i.id, i.uuid, i.type, i.name, i.unit, i.num, i.avg, i.min, i.max, l.nominal, l.minimum,"
            " l.maximum, l.correction, l.rule, d.project, d.structure, d.coating, d.gauge_model, d.gauge_serial,"
            " d.probe_serial, d.calibration, d.adjustment, d.inspector, d.notes, i.made, i.changed, i.revision,"
            " i.generation FROM items i LEFT JOIN limits l ON l.item = i.id LEFT JOIN details d ON d.item = i.id"
            " WHERE i.type IN (1, 2, 3) ORDER BY i.position, i.id")))
        return failed(q.lastError().text());
    while (q.next()) {
        TeamItem item;
        int c = 0;
        auto next = [&] { return q.value(c++); };
        next(); // the file's own id
        item.uuid = next().toString();
        item.type = ItemData::DataType(next().toInt());
        item.name = next().toString();
        item.unit = next().toString();
        item.statistics.num = next().toInt();
        item.statistics.avg = next().toString();
        item.statistics.min = next().toString();
        item.statistics.max = next().toString();
        item.limits.nominal = next().toDouble();
        item.limits.minimum = next().toDouble();
        item.limits.maximum = next().toDouble();
        item.limits.correction = next().toDouble();
        item.limits.rule = AcceptanceRule(next().toInt());
        ItemDetails &d = item.details;
        d.project = next().toString();
        d.structure = next().toString();
        d.coating = next().toString();
        d.gaugeModel = next().toString();
        d.gaugeSerial = next().toString();
        d.probeSerial = next().toString();
        d.calibration = QDate::fromString(next().toString(), QStringLiteral("yyyy-MM-dd"));
        d.adjustment = next().toString();
        d.inspector = next().toString();
        d.notes = next().toString();
        item.made = next().toLongLong();
        item.changed = next().toLongLong();
        item.revision = next().toLongLong();
        item.generation = next().toLongLong();
        items->append(item);
    }
    return !q.lastError().isValid() || failed(q.lastError().text());
}

bool MeasurementsReader::countReadings(const QString &uuid, int *count)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM readings WHERE item = (SELECT id FROM items WHERE uuid = ?)"));
    q.addBindValue(uuid);
    if (!q.exec() || !q.next())
        return failed(q.lastError().text());
    *count = q.value(0).toInt();
    return true;
}

bool MeasurementsReader::readGeneration(const QString &uuid, qint64 *generation)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT generation FROM items WHERE uuid = ?"));
    q.addBindValue(uuid);
    if (!q.exec())
        return failed(q.lastError().text());
    // A deleted item has none.
    *generation = q.next() ? q.value(0).toLongLong() : 0;
    return true;
}

bool MeasurementsReader::readReadings(const QString &uuid, int from, int limit, QVector<StoredReading> *readings)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT seq, time, zone, value_um, value_mil, text_um, text_mil, overload, unit, basis"
                             " FROM readings WHERE item = (SELECT id FROM items WHERE uuid = ?) AND seq >= ?"
                             " ORDER BY seq LIMIT ?"));
    q.addBindValue(uuid);
    q.addBindValue(from);
    q.addBindValue(limit);
    if (!q.exec())
        return failed(q.lastError().text());
    while (q.next())
        readings->append(StoredReading::fromRow(q));
    return !q.lastError().isValid() || failed(q.lastError().text());
}
