#pragma once

#include "team/teamfault.h"
#include "team/teamsettings.h"

#include <QDateTime>
#include <QMetaType>
#include <QStringList>

#include <atomic>

// What one sync is to do.
struct TeamSyncJob
{
    TeamSettings settings;
    QString password;          // empty: libpq's password file, if any
    QString measurementsPath;  // empty: nothing to send
    QString cachePath;
    const std::atomic_bool *stop = nullptr; // set: end at the next batch
};

// How a sync ended.
struct TeamSyncReport
{
    TeamFault fault;
    QDateTime ended;
    int waiting = 0;       // items changed here that the server does not hold yet
    bool readOnly = false; // the team tables are of a newer layout: only read
    bool pulled = false;
    int itemsSent = 0;
    int readingsSent = 0;
    int itemsDeleted = 0;
    QStringList changed;   // items of others added or changed in the cache
    QStringList dropped;   // items of others gone from the cache

    // A line for the status bar.
    QString describe(const TeamSettings &settings) const;
};
Q_DECLARE_METATYPE(TeamSyncReport)
Q_DECLARE_METATYPE(TeamSyncJob)

// Sends what changed here and fetches what changed elsewhere, through
// connections of the calling thread. Never changes measurements.sqlite.
TeamSyncReport runTeamSync(const TeamSyncJob &job);
