#pragma once

#include "team/teamsettings.h"
#include "team/teamsync.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>

class TeamWorker;

// Decides when this installation syncs with the team database: at start,
// a few seconds after the last local change, every few minutes, and when
// asked. The syncs run one at a time on a thread of their own, so the
// window never waits for the server. An unreachable server is a state,
// tried again at the next occasion.
class TeamController : public QObject
{
    Q_OBJECT
public:
    TeamController(const TeamSettings &settings, const QString &measurementsPath, const QString &cachePath,
                   QObject *parent = nullptr);
    // Ends a running sync at its next batch and waits for it.
    ~TeamController() override;

    // The password for this session only; an empty one leaves libpq's
    // password file to it.
    void setPassword(const QString &password);
    // How long after the last local change a sync starts.
    void setQuietDelay(int ms) { m_quiet->setInterval(ms); }
    QString stateText() const { return m_stateText; }
    bool isSyncing() const { return m_running; }
    const TeamSettings &settings() const { return m_settings; }

public slots:
    // Starts a sync now, or right after the one running.
    void syncNow();
    // A local item changed: a sync follows once changes pause.
    void noteLocalChange();

signals:
    void stateChanged(const QString &text);
    // The server wants a password and none is known; asked once a session.
    void passwordNeeded();
    // A sync ended; the cache holds what it pulled.
    void synced(const TeamSyncReport &report);

private:
    void finished(const TeamSyncReport &report);
    void setState(const QString &text);

    TeamSettings m_settings;
    QString m_measurementsPath;
    QString m_cachePath;
    QString m_password;
    bool m_passwordAsked = false;
    QThread m_thread;
    TeamWorker *m_worker;
    QTimer *m_quiet;
    QTimer *m_interval;
    std::atomic_bool m_stop{false};
    bool m_running = false;
    bool m_again = false;
    QString m_stateText;
};
