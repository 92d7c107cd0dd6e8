#pragma once

#include "team/scopedconnection.h"
#include "team/storedreading.h"
#include "team/teamitem.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <functional>

// team.sqlite beside measurements.sqlite: the items of the other
// installations as the last pull left them, with their readings, and what
// this installation last knew the server to hold of its own items. Only the
// sync worker writes it, each pull in one transaction; the window reads it
// through a connection of its own and sees one pull or the next, never half
// of one. A cache: a file of another layout is made again.
class TeamCache
{
public:
    // The layout this build writes, in PRAGMA user_version.
    static const int Layout;

    // The revision and generation the server holds of an item.
    struct Sent
    {
        qint64 revision = 0;
        qint64 generation = 0;
    };

    explicit TeamCache(const QString &path);

    // team.sqlite in QStandardPaths::AppDataLocation.
    static QString defaultPath();

    // Opens the file to read; a missing file or one of another layout reads
    // as empty. False with problem() when it cannot be read.
    bool open();
    // Opens the file for the sync worker, making it when needed.
    bool openToWrite();
    QString problem() const { return m_problem; }
    QSqlDatabase database() const { return m_db; }

    // The items of the other installations, by inspector and then name.
    QList<TeamItem> items();
    // The same; false with problem() when they cannot be read.
    bool readItems(QList<TeamItem> *items);
    // The item's readings in order, one call of each per reading; false
    // with problem() when they cannot be read.
    bool readReadings(const QString &uuid, const std::function<void(const StoredReading &)> &each);

    // A value the worker keeps (the pull's change counter, whose server).
    QString value(const QString &name) const;
    bool setValue(const QString &name, const QString &value);
    QHash<QString, Sent> sent() const;
    // Replaces what is known of this installation's items on the server.
    bool setSent(const QHash<QString, Sent> &sent);

private:
    bool connect(bool readOnly);
    bool make();
    bool failed(const QString &problem);

    QString m_path;
    ScopedConnection m_connection;
    QSqlDatabase &m_db;
    bool m_empty = false;
    QString m_problem;
};
