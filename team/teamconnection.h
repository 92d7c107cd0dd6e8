#pragma once

#include "team/scopedconnection.h"
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

    // False with fault() set when the server cannot be used.
    bool open();
    QSqlDatabase &database() { return m_connection.database(); }
    const TeamFault &fault() const { return m_fault; }

private:
    TeamSettings m_settings;
    QString m_password;
    ScopedConnection m_connection;
    TeamFault m_fault;
};
