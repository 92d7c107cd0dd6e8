#pragma once

#include "team/teamfault.h"
#include "team/teamsettings.h"

#include <QSqlDatabase>
#include <QString>

// A connection to the team's PostgreSQL server (Qt's QPSQL driver), for
// the thread that makes it and as long as the object lives. The password
// given is used only when not empty; libpq looks into ~/.pgpass (or
// PGPASSFILE) otherwise.
class TeamConnection
{
public:
    TeamConnection(const TeamSettings &settings, const QString &password);
    ~TeamConnection();
    TeamConnection(const TeamConnection &) = delete;
    TeamConnection &operator=(const TeamConnection &) = delete;

    // False with fault() set when the server cannot be used.
    bool open();
    QSqlDatabase &database() { return m_db; }
    const TeamFault &fault() const { return m_fault; }
    // Whether Qt has the QPSQL driver at all (libqt5sql5-psql).
    static bool driverAvailable();

private:
    QString m_name;
    TeamSettings m_settings;
    QString m_password;
    QSqlDatabase m_db;
    TeamFault m_fault;
};
