#pragma once

#include "team/teamcache.h"
#include "team/teamfault.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <atomic>

class MeasurementsReader;

// Sends this installation's items to the team database: those whose
// revision or generation the server does not hold yet, each in one
// transaction together with the readings the server lacks, and deletes on
// the server what was deleted here. The server's rows are the record of
// what was sent, so a push broken off anywhere is taken up by the next one
// and every reading ends up there once.
class TeamPush
{
public:
    // Readings per statement.
    static const int BatchSize;

    TeamPush(QSqlDatabase server, MeasurementsReader &local, const QString &inspector,
             const std::atomic_bool *stop = nullptr);

    bool run();
    const TeamFault &fault() const { return m_fault; }
    // Whether the server said what it holds; then sent() is what it holds
    // of this installation's items after the run, also when it failed halfway.
    bool knowsServer() const { return m_knowsServer; }
    QHash<QString, TeamCache::Sent> sent() const { return m_sent; }
    int itemsSent() const { return m_itemsSent; }
    int readingsSent() const { return m_readingsSent; }
    int itemsDeleted() const { return m_itemsDeleted; }

private:
    bool readServer();
    bool deleteGone(const QList<TeamItem> &items);
    bool sendItem(TeamItem item);
    bool sendReadings(const QString &uuid, qint64 generation, int from, int count);
    bool failed(const TeamFault &fault);
    bool stopped() const { return m_stop && m_stop->load(); }

    QSqlDatabase m_server;
    MeasurementsReader &m_local;
    QString m_inspector;
    const std::atomic_bool *m_stop;
    QHash<QString, TeamCache::Sent> m_sent;
    bool m_knowsServer = false;
    TeamFault m_fault;
    int m_itemsSent = 0;
    int m_readingsSent = 0;
    int m_itemsDeleted = 0;
};
