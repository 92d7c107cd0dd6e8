#include "data/keeperthread.h"

#include "data/readingseries.h"

KeeperThread::KeeperThread(MeasurementDatabase *database, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_worker(new QObject)
{
    m_items = database->keptItems();
    m_activeId = database->keptActiveItem();
    m_lastId = database->largestItemId();
    database->releaseConnection();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("measurements"));
    m_thread.start();
    post([](MeasurementDatabase &db) { return db.takeConnection(); });
}

KeeperThread::~KeeperThread()
{
    // Everything handed over is kept before the connection comes back.
    // The thread ends from its last event, so that every event before it
    // is handled.
    MeasurementDatabase *database = m_database;
    QMetaObject::invokeMethod(
        m_worker,
        [database] {
            database->releaseConnection();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
    database->takeConnection();
}

void KeeperThread::post(const std::function<bool(MeasurementDatabase &)> &change)
{
    MeasurementDatabase *database = m_database;
    QMetaObject::invokeMethod(
        m_worker,
        [this, database, change] {
            if (m_failing)
                return;
            if (!change(*database)) {
                m_failing = true;
                const QString reason = database->failure();
                QMetaObject::invokeMethod(this, [this, reason] { onFailed(reason); }, Qt::QueuedConnection);
            }
        },
        Qt::QueuedConnection);
}

void KeeperThread::onFailed(const QString &reason)
{
    if (!m_failure.isEmpty())
        return;
    m_failure = reason;
    emit failed(reason);
}

void KeeperThread::requestReadings(qint64 id, const ReadingsDone &done)
{
    MeasurementDatabase *database = m_database;
    QMetaObject::invokeMethod(
        m_worker,
        [this, database, id, done] {
            ReadingSeries readings;
            const bool ok = !m_failing && database->loadReadings(id, &readings);
            if (!ok && !m_failing) {
                m_failing = true;
                const QString reason = database->failure();
                QMetaObject::invokeMethod(this, [this, reason] { onFailed(reason); }, Qt::QueuedConnection);
            }
            QMetaObject::invokeMethod(this, [done, ok, readings] { done(ok, readings); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

qint64 KeeperThread::addItem(const QString &name, ItemData::DataType type, Unit unit)
{
    const qint64 id = newItemId();
    post([=](MeasurementDatabase &db) { return db.addItem(name, type, unit, id) != 0; });
    return id;
}

bool KeeperThread::removeItem(qint64 id)
{
    post([=](MeasurementDatabase &db) { return db.removeItem(id); });
    return true;
}

bool KeeperThread::renameItem(qint64 id, const QString &name)
{
    post([=](MeasurementDatabase &db) { return db.renameItem(id, name); });
    return true;
}

bool KeeperThread::setUnit(qint64 id, Unit unit)
{
    post([=](MeasurementDatabase &db) { return db.setUnit(id, unit); });
    return true;
}

bool KeeperThread::setActiveItem(qint64 id)
{
    post([=](MeasurementDatabase &db) { return db.setActiveItem(id); });
    return true;
}

bool KeeperThread::appendReadings(qint64 id, const ReadingSeries &readings, int first,
                                  const ItemStatistics &statistics)
{
    // A snapshot: the item goes on growing meanwhile.
    const ReadingSeries snapshot = readings;
    post([=](MeasurementDatabase &db) { return db.appendReadings(id, snapshot, first, statistics); });
    return true;
}

bool KeeperThread::clearReadings(qint64 id, const ItemStatistics &statistics)
{
    post([=](MeasurementDatabase &db) { return db.clearReadings(id, statistics); });
    return true;
}

bool KeeperThread::setStatistics(qint64 id, const ItemStatistics &statistics)
{
    post([=](MeasurementDatabase &db) { return db.setStatistics(id, statistics); });
    return true;
}

bool KeeperThread::setLimits(qint64 id, const ItemLimits &limits)
{
    post([=](MeasurementDatabase &db) { return db.setLimits(id, limits); });
    return true;
}

bool KeeperThread::setDetails(qint64 id, const ItemDetails &details)
{
    post([=](MeasurementDatabase &db) { return db.setDetails(id, details); });
    return true;
}

bool KeeperThread::beginChanges()
{
    post([](MeasurementDatabase &db) { return db.beginChanges(); });
    return true;
}

bool KeeperThread::commitChanges()
{
    post([](MeasurementDatabase &db) { return db.commitChanges(); });
    return true;
}

void KeeperThread::keepNewItem(const NewItem &item, const ReadingSeries &readings,
                               const std::shared_ptr<JobProgress> &progress, const NewItemDone &done)
{
    MeasurementDatabase *database = m_database;
    NewItem numbered = item;
    numbered.id = newItemId();
    QMetaObject::invokeMethod(
        m_worker,
        [this, database, numbered, readings, progress, done] {
            Outcome outcome = Outcome::Failed;
            if (!m_failing)
                outcome = database->keepNewItem(numbered, readings, progress.get());
            if (outcome == Outcome::Failed && !m_failing) {
                m_failing = true;
                const QString reason = database->failure();
                QMetaObject::invokeMethod(this, [this, reason] { onFailed(reason); }, Qt::QueuedConnection);
            }
            const qint64 id = numbered.id;
            QMetaObject::invokeMethod(this, [done, outcome, id] { done(outcome, id); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void KeeperThread::whenKept(const std::function<void()> &done)
{
    QMetaObject::invokeMethod(
        m_worker, [this, done] { QMetaObject::invokeMethod(this, done, Qt::QueuedConnection); },
        Qt::QueuedConnection);
}
