#include "team/teampull.h"

#include "team/teamcache.h"
#include "team/teamitemcolumns.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <utility>

const int TeamPull::PageSize = 50000;
const int TeamPull::RowsPerInsert = 100;

namespace {

const QString MarkKey = QStringLiteral("pulled up to");
const QString ServerKey = QStringLiteral("server");
const QString StartedKey = QStringLiteral("server started");

} // namespace

TeamPull::TeamPull(QSqlDatabase server, TeamCache &cache, const QString &installation, const QString &serverKey,
                   const std::atomic_bool *stop)
    : m_server(server)
    , m_cache(cache)
    , m_db(cache.database())
    , m_installation(installation)
    , m_serverKey(serverKey)
    , m_stop(stop)
{
}

bool TeamPull::serverFailed(const QSqlError &error)
{
    m_fault = TeamFault::ofStatement(error);
    return false;
}

bool TeamPull::cacheFailed(const QSqlError &error)
{
    m_fault = TeamFault::of(TeamFault::Local, error.text());
    return false;
}

bool TeamPull::run()
{
    m_changed.clear();
    m_dropped.clear();
    // One snapshot of the server for the whole pull, and one transaction
    // of the cache.
    QSqlQuery begin(m_server);
    if (!begin.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")))
        return serverFailed(begin.lastError());
    if (!m_db.transaction()) {
        QSqlQuery(m_server).exec(QStringLiteral("ROLLBACK"));
        return cacheFailed(m_db.lastError());
    }
    const bool ok = pull();
    QSqlQuery end(m_server);
    end.exec(QStringLiteral("ROLLBACK"));
    if (!ok || !m_db.commit()) {
        if (ok)
            cacheFailed(m_db.lastError());
        m_db.rollback();
        m_changed.clear();
        m_dropped.clear();
        return false;
    }
    return true;
}

bool TeamPull::pull()
{
    QSqlQuery server(m_server);
    server.setForwardOnly(true);
    QSqlQuery cache(m_db);
    // Every transaction below this one has ended for the snapshot, so the
    // next pull starts here: what is written later, or was still being
    // written, has a counter at or above it. A server that crashed may hand
    // out counters again that a pull has passed already, so after a restart
    // a pull compares every item (the readings only where they differ).
    if (!server.exec(QStringLiteral("SELECT pg_snapshot_xmin(pg_current_snapshot())::text,"
                                    " pg_postmaster_start_time()::text"))
        || !server.next())
        return serverFailed(server.lastError());
    const QString mark = server.value(0).toString();
    const QString started = server.value(1).toString();
    const bool afresh = m_cache.value(ServerKey) != m_serverKey || m_cache.value(StartedKey) != started
        || m_cache.value(MarkKey).isEmpty();
    const QString since = afresh ? QStringLiteral("0") : m_cache.value(MarkKey);

    if (!afresh) {
        server.prepare(QStringLiteral("SELECT uuid::text FROM removed_items WHERE change >= CAST(? AS xid8)"));
        server.addBindValue(since);
        if (!server.exec())
            return serverFailed(server.lastError());
        while (server.next()) {
            if (!drop(server.value(0).toString()))
                return false;
        }
    }

    server.prepare(TeamItemColumns::serverSelect()
                   + QStringLiteral(" WHERE installation <> CAST(? AS uuid) AND change >= CAST(? AS xid8)"));
    server.addBindValue(m_installation.isEmpty() ? QStringLiteral("00000000-0000-0000-0000-000000000000")
                                                 : m_installation);
    server.addBindValue(since);
    if (!server.exec())
        return serverFailed(server.lastError());
    QList<TeamItem> items;
    QSet<QString> present;
    while (server.next()) {
        items << TeamItemColumns::fromRow(server);
        present.insert(items.last().uuid);
    }
    if (server.lastError().isValid())
        return serverFailed(server.lastError());
    // Compared afresh, what the server no longer holds goes.
    if (afresh) {
        QStringList held;
        if (!cache.exec(QStringLiteral("SELECT uuid FROM items")))
            return cacheFailed(cache.lastError());
        while (cache.next())
            held << cache.value(0).toString();
        for (const QString &uuid : qAsConst(held)) {
            if (!present.contains(uuid) && !drop(uuid))
                return false;
        }
    }

    for (const TeamItem &item : qAsConst(items)) {
        if (m_stop && m_stop->load())
            return serverFailed(QSqlError());
        cache.prepare(QStringLiteral("SELECT id, generation, reading_count FROM items WHERE uuid = ?"));
        cache.addBindValue(item.uuid);
        if (!cache.exec())
            return cacheFailed(cache.lastError());
        const bool held = cache.next();
        const qint64 heldId = held ? cache.value(0).toLongLong() : 0;
        const bool replace = !held || cache.value(1).toLongLong() != item.generation
            || cache.value(2).toInt() > item.readingCount;
        const int from = replace ? 0 : cache.value(2).toInt();
        cache.finish();
        if (replace && held) {
            cache.prepare(QStringLiteral("DELETE FROM readings WHERE item = ?"));
            cache.addBindValue(heldId);
            if (!cache.exec())
                return cacheFailed(cache.lastError());
        }
        cache.prepare(TeamItemColumns::cacheUpsert());
        TeamItemColumns::bindForCache(cache, item);
        if (!cache.exec())
            return cacheFailed(cache.lastError());
        cache.prepare(QStringLiteral("SELECT id FROM items WHERE uuid = ?"));
        cache.addBindValue(item.uuid);
        if (!cache.exec() || !cache.next())
            return cacheFailed(cache.lastError());
        const qint64 id = cache.value(0).toLongLong();
        cache.finish();
        if (!fetchReadings(item.uuid, id, from, item.readingCount))
            return false;
        m_changed << item.uuid;
    }
    if (!m_cache.setValue(MarkKey, mark) || !m_cache.setValue(ServerKey, m_serverKey)
        || !m_cache.setValue(StartedKey, started)) {
        m_fault = TeamFault::of(TeamFault::Local, m_cache.problem());
        return false;
    }
    return true;
}

bool TeamPull::drop(const QString &uuid)
{
    QSqlQuery cache(m_db);
    cache.prepare(QStringLiteral("DELETE FROM readings WHERE item = (SELECT id FROM items WHERE uuid = ?)"));
    cache.addBindValue(uuid);
    if (!cache.exec())
        return cacheFailed(cache.lastError());
    cache.prepare(QStringLiteral("DELETE FROM items WHERE uuid = ?"));
    cache.addBindValue(uuid);
    if (!cache.exec())
        return cacheFailed(cache.lastError());
    if (cache.numRowsAffected() > 0)
        m_dropped << uuid;
    return true;
}

bool TeamPull::fetchReadings(const QString &uuid, qint64 id, int from, int count)
{
    QSqlQuery server(m_server);
    server.setForwardOnly(true);
    server.prepare(QStringLiteral("SELECT seq, time_ms, zone_s, value_um, value_mil, text_um, text_mil, overload,"
                                  " unit, basis FROM readings WHERE item_uuid = CAST(? AS uuid)"
                                  " AND seq >= ? AND seq < ? ORDER BY seq LIMIT ?"));
    // Many rows to a statement: SQLite's cost per statement is most of a row's.
    const QString row = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QString insertInto = QStringLiteral("INSERT INTO readings (item, seq, time, zone, value_um, value_mil,"
                                              " text_um, text_mil, overload, unit, basis) VALUES ");
    QSqlQuery many(m_db);
    QSqlQuery one(m_db);
    many.prepare(insertInto + row + QStringLiteral(", %1").arg(row).repeated(RowsPerInsert - 1));
    one.prepare(insertInto + row);
    // Each value goes over as the driver hands it: NULL as NULL, an empty
    // text as an empty text.
    QVector<QVariantList> rows;
    rows.reserve(RowsPerInsert);
    auto insert = [&](QSqlQuery &query) {
        for (int i = 0; i < rows.size(); ++i) {
            query.bindValue(i * 11, id);
            for (int c = 0; c < 10; ++c)
                query.bindValue(i * 11 + 1 + c, rows.at(i).at(c));
        }
        const bool inserted = query.exec() || cacheFailed(query.lastError());
        rows.clear();
        return inserted;
    };
    int next = from;
    // Pages in the same snapshot, so that memory stays bounded whatever
    // the driver buffers.
    while (next < count) {
        if (m_stop && m_stop->load())
            return serverFailed(QSqlError());
        server.bindValue(0, uuid);
        server.bindValue(1, next);
        server.bindValue(2, count);
        server.bindValue(3, PageSize);
        if (!server.exec())
            return serverFailed(server.lastError());
        const int pageStart = next;
        while (server.next()) {
            if (server.value(0).toInt() != next)
                break;
            QVariantList row;
            row.reserve(10);
            for (int c = 0; c < 10; ++c)
                row << server.value(c);
            rows.append(row);
            ++next;
            if (rows.size() == RowsPerInsert && !insert(many))
                return false;
        }
        if (server.lastError().isValid())
            return serverFailed(server.lastError());
        if (next == pageStart || (next < count && next - pageStart < PageSize)) {
            m_fault = TeamFault::of(TeamFault::Failed,
                                    QStringLiteral("the team copy of item %1 lacks readings").arg(uuid));
            return false;
        }
    }
    const QVector<QVariantList> rest = std::exchange(rows, {});
    for (const QVariantList &row : rest) {
        rows = {row};
        if (!insert(one))
            return false;
    }
    return true;
}
