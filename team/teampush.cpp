#include "team/teampush.h"

#include "team/arrayliteral.h"
#include "team/measurementsreader.h"
#include "team/readingbatches.h"
#include "team/teamitemcolumns.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>


const int TeamPush::BatchSize = 10000;

TeamPush::TeamPush(QSqlDatabase server, MeasurementsReader &local, const QString &inspector,
                   const std::atomic_bool *stop)
    : m_server(server)
    , m_local(local)
    , m_inspector(inspector)
    , m_stop(stop)
{
}

bool TeamPush::failed(const TeamFault &fault)
{
    m_fault = fault;
    if (m_server.isOpen())
        m_server.rollback();
    return false;
}

bool TeamPush::run()
{
    if (!m_local.beginSnapshot())
        return failed(TeamFault::of(TeamFault::Local, m_local.problem()));
    QList<TeamItem> items;
    bool ok = m_local.readItems(&items);
    if (!ok)
        failed(TeamFault::of(TeamFault::Local, m_local.problem()));
    ok = ok && readServer() && deleteGone(items);
    for (const TeamItem &item : qAsConst(items)) {
        if (!ok)
            break;
        const auto held = m_sent.constFind(item.uuid);
        if (held != m_sent.constEnd() && held->revision == item.revision && held->generation == item.generation)
            continue;
        ok = sendItem(item);
    }
    m_local.endSnapshot();
    return ok;
}

bool TeamPush::readServer()
{
    QSqlQuery query(m_server);
    // A commit lost to a crash of the server is sent again by the next
    // push, which asks the server what it holds; so the push need not wait
    // for each commit to reach the server's disk.
    if (!query.exec(QStringLiteral("SET synchronous_commit TO off")))
        return failed(TeamFault::ofStatement(query.lastError()));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT uuid::text, revision, generation FROM items"
                                 " WHERE installation = CAST(? AS uuid)"));
    query.addBindValue(m_local.installation());
    if (!query.exec())
        return failed(TeamFault::ofStatement(query.lastError()));
    m_sent.clear();
    while (query.next())
        m_sent.insert(query.value(0).toString(), {query.value(1).toLongLong(), query.value(2).toLongLong()});
    if (query.lastError().isValid())
        return failed(TeamFault::ofStatement(query.lastError()));
    m_knowsServer = true;
    return true;
}

bool TeamPush::deleteGone(const QList<TeamItem> &items)
{
    QSet<QString> kept;
    for (const TeamItem &item : items)
        kept.insert(item.uuid);
    ArrayLiteral gone;
    QStringList goneUuids;
    for (auto it = m_sent.constBegin(); it != m_sent.constEnd(); ++it) {
        if (!kept.contains(it.key())) {
            gone.add(it.key());
            goneUuids << it.key();
        }
    }
    if (goneUuids.isEmpty())
        return true;
    QSqlQuery query(m_server);
    query.prepare(QStringLiteral("DELETE FROM items WHERE uuid = ANY (CAST(? AS uuid[]))"));
    query.addBindValue(gone.text());
    if (!query.exec())
        return failed(TeamFault::ofStatement(query.lastError()));
    for (const QString &uuid : qAsConst(goneUuids))
        m_sent.remove(uuid);
    m_itemsDeleted += goneUuids.size();
    return true;
}

bool TeamPush::sendItem(TeamItem item)
{
    if (stopped())
        return failed(TeamFault::of(TeamFault::Lost));
    int count = 0;
    if (!m_local.countReadings(item.uuid, &count))
        return failed(TeamFault::of(TeamFault::Local, m_local.problem()));
    item.installation = m_local.installation();
    item.inspector = m_inspector;
    item.readingCount = count;

    if (!m_server.transaction())
        return failed(TeamFault::ofStatement(m_server.lastError()));
    QSqlQuery query(m_server);
    // Locked, so that what the server holds cannot change until the commit.
    query.prepare(QStringLiteral("SELECT generation, reading_count FROM items WHERE uuid = CAST(? AS uuid)"
                                 " FOR UPDATE"));
    query.addBindValue(item.uuid);
    if (!query.exec())
        return failed(TeamFault::ofStatement(query.lastError()));
    const bool held = query.next();
    const qint64 heldGeneration = held ? query.value(0).toLongLong() : 0;
    const int heldCount = held ? query.value(1).toInt() : 0;
    query.finish();
    // Readings cleared or replaced here (or fewer than there, as after
    // restoring an older file) replace the team copy's readings.
    const bool replace = held && (heldGeneration != item.generation || heldCount > count);
    const int from = held && !replace ? heldCount : 0;
    if (replace) {
        query.prepare(QStringLiteral("DELETE FROM readings WHERE item_uuid = CAST(? AS uuid)"));
        query.addBindValue(item.uuid);
        if (!query.exec())
            return failed(TeamFault::ofStatement(query.lastError()));
    }
    query.prepare(TeamItemColumns::serverUpsert());
    TeamItemColumns::bindForServer(query, item);
    if (!query.exec())
        return failed(TeamFault::ofStatement(query.lastError()));
    if (!sendReadings(item.uuid, item.generation, from, count))
        return false;
    if (!m_server.commit())
        return failed(TeamFault::ofStatement(m_server.lastError()));
    m_sent.insert(item.uuid, {item.revision, item.generation});
    ++m_itemsSent;
    m_readingsSent += count - from;
    return true;
}

bool TeamPush::sendReadings(const QString &uuid, qint64 generation, int from, int count)
{
    QSqlQuery insert(m_server);
    // Set-returning functions in the select list: PostgreSQL unnests them
    // row by row, without first storing the whole batch as unnest in FROM does.
    insert.prepare(QStringLiteral(
        "INSERT INTO readings (item_uuid, seq, time_ms, zone_s, value_um, value_mil, text_um, text_mil, overload,"
        " unit, basis) SELECT CAST(? AS uuid), unnest(CAST(? AS integer[])), unnest(CAST(? AS bigint[])),"
        " unnest(CAST(? AS integer[])), unnest(CAST(? AS float8[])), unnest(CAST(? AS float8[])),"
        " unnest(CAST(? AS text[])), unnest(CAST(? AS text[])), unnest(CAST(? AS integer[])),"
        " unnest(CAST(? AS text[])), unnest(CAST(? AS text[]))"));
    ReadingBatches batches(m_local.path(), uuid, generation, from, count, BatchSize);
    QStringList columns;
    int size = 0;
    int sent = from;
    while (batches.next(&columns, &size)) {
        if (stopped())
            return failed(TeamFault::of(TeamFault::Lost));
        insert.bindValue(0, uuid);
        for (int c = 0; c < columns.size(); ++c)
            insert.bindValue(c + 1, columns.at(c));
        if (!insert.exec())
            return failed(TeamFault::ofStatement(insert.lastError()));
        sent += size;
    }
    if (sent != count)
        return failed(TeamFault::of(TeamFault::Local, batches.problem()));
    return true;
}
