#include "team/teamcachereader.h"

#include "data/readingseries.h"
#include "team/teamcache.h"

TeamCacheReader::TeamCacheReader(const QString &cachePath, QObject *parent)
    : QObject(parent)
    , m_path(cachePath)
    , m_worker(new QObject)
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("team cache"));
    m_thread.start();
}

TeamCacheReader::~TeamCacheReader()
{
    m_thread.quit();
    m_thread.wait();
}

void TeamCacheReader::requestItems(const ItemsDone &done)
{
    const QString path = m_path;
    QMetaObject::invokeMethod(
        m_worker,
        [this, path, done] {
            TeamCache cache(path);
            QList<TeamItem> items;
            const bool ok = cache.open() && cache.readItems(&items);
            QList<TeamItemHead> heads;
            for (const TeamItem &item : qAsConst(items))
                heads << headOf(item);
            const QString problem = cache.problem();
            QMetaObject::invokeMethod(this, [done, ok, heads, problem] { done(ok, heads, problem); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void TeamCacheReader::requestReadings(const QString &uuid, const ReadingsDone &done)
{
    const QString path = m_path;
    QMetaObject::invokeMethod(
        m_worker,
        [this, path, uuid, done] {
            TeamCache cache(path);
            ReadingSeries readings;
            const bool ok = cache.open() && cache.readReadings(uuid, [&readings](const StoredReading &reading) {
                appendKeptRow(keptRowOf(reading), &readings);
            });
            const QString problem = cache.problem();
            QMetaObject::invokeMethod(this, [done, ok, readings, problem] { done(ok, readings, problem); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

TeamItemHead TeamCacheReader::headOf(const TeamItem &item)
{
    TeamItemHead head;
    head.uuid = item.uuid;
    head.inspector = item.inspector;
    head.name = item.name;
    head.unit = item.unit == unitName(Unit::Micrometre) ? Unit::Micrometre : Unit::Mil;
    head.statistics = item.statistics;
    head.limits = item.limits;
    head.details = item.details;
    head.revision = item.revision;
    head.generation = item.generation;
    return head;
}

KeptRow TeamCacheReader::keptRowOf(const StoredReading &reading)
{
    // NULL stands for what the value gives, as in the measurements file.
    KeptRow row;
    row.timed = reading.time.has_value();
    row.time = reading.time.value_or(0);
    row.zone = reading.zone.value_or(0);
    row.hasValueUm = reading.valueUm.has_value();
    row.valueUm = reading.valueUm.value_or(0);
    row.hasValueMil = reading.valueMil.has_value();
    row.valueMil = reading.valueMil.value_or(0);
    row.textUm = reading.textUm.value_or(QString());
    row.textMil = reading.textMil.value_or(QString());
    row.overload = reading.overload;
    row.unit = reading.unit;
    row.basis = reading.basis;
    return row;
}
