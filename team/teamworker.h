#pragma once

#include "team/teamsync.h"

#include <QObject>

// Runs syncs on the thread it lives in, one at a time.
class TeamWorker : public QObject
{
    Q_OBJECT
public slots:
    void sync(const TeamSyncJob &job) { emit finished(runTeamSync(job)); }

signals:
    void finished(const TeamSyncReport &report);
};
