#pragma once

#include "data/keptrow.h"
#include "data/teamsource.h"
#include "team/storedreading.h"
#include "team/teamitem.h"

#include <QObject>
#include <QThread>

// Reads the team cache for the window on a thread of its own: the list of
// the other installations' items, and an item's readings, each row turned
// into the reading its origin holds. Each read opens the file afresh, so a
// cache the sync made again is read as it is now.
class TeamCacheReader : public QObject, public TeamSource
{
    Q_OBJECT

public:
    explicit TeamCacheReader(const QString &cachePath, QObject *parent = nullptr);
    // Waits for the read in hand; answers not yet given are dropped.
    ~TeamCacheReader() override;

    void requestItems(const ItemsDone &done) override;
    void requestReadings(const QString &uuid, const ReadingsDone &done) override;

    static TeamItemHead headOf(const TeamItem &item);
    static KeptRow keptRowOf(const StoredReading &reading);

private:
    QString m_path;
    QThread m_thread;
    QObject *m_worker; // lives on m_thread
};
