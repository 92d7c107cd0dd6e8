#pragma once

#include "team/teamfault.h"

#include <QSqlDatabase>
#include <QStringList>

#include <atomic>

class TeamCache;

// Brings the items of the other installations from the team database into
// the team cache: those changed since the last pull (by the server's change
// counter, the transaction that wrote them) with the readings the cache
// lacks, and drops those deleted at their origin. The server is read in one
// snapshot and the cache written in one transaction, so a pull that fails
// halfway leaves the cache as the pull before left it. The first pull, and
// the first after the server restarted, compare every item instead.
class TeamPull
{
public:
    // Readings fetched per statement.
    static const int PageSize;
    // Rows of the cache's readings per statement.
    static const int RowsPerInsert;

    // serverKey names the server, database and installation the cache
    // belongs to; another one makes the pull start afresh.
    TeamPull(QSqlDatabase server, TeamCache &cache, const QString &installation, const QString &serverKey,
             const std::atomic_bool *stop = nullptr);

    bool run();
    const TeamFault &fault() const { return m_fault; }
    // The items added or changed in the cache, and those dropped.
    QStringList changed() const { return m_changed; }
    QStringList dropped() const { return m_dropped; }

private:
    bool pull();
    // Drops an item and its readings from the cache.
    bool drop(const QString &uuid);
    bool fetchReadings(const QString &uuid, qint64 id, int from, int count);
    bool serverFailed(const QSqlError &error);
    bool cacheFailed(const QSqlError &error);

    QSqlDatabase m_server;
    TeamCache &m_cache;
    QSqlDatabase m_db;
    QString m_installation;
    QString m_serverKey;
    const std::atomic_bool *m_stop;
    TeamFault m_fault;
    QStringList m_changed;
    QStringList m_dropped;
};
