#pragma once

#include "team/teamfault.h"

#include <QSqlDatabase>
#include <QStringList>

// The layout of the team database, versioned in its table schema_version
// and made by the steps team-schema-N.sql, which ship with the program for
// the administrator as well. A later layout only adds, so that a program
// that meets a newer one can still read it.
class TeamSchema
{
public:
    // The layout this program writes.
    static const int Version;

    explicit TeamSchema(QSqlDatabase db);

    // Finds the layout and, where the database is empty or older and the
    // role may, makes or upgrades it. False with fault() when the team
    // tables cannot be used at all.
    bool prepare();
    // Finds the layout without changing anything.
    bool inspect();
    // The layout found (0: none).
    int version() const { return m_version; }
    // A newer layout is read, never written.
    bool isWritable() const { return m_version == Version; }
    const TeamFault &fault() const { return m_fault; }

    // The SQL of step n (1 makes the first layout).
    static QString stepText(int step);
    // The statements of a script, split at semicolons that end a line
    // outside $$ quotes.
    static QStringList statements(const QString &script);

private:
    bool readVersion();
    bool upgrade();
    bool upgradeLocked();

    QSqlDatabase m_db;
    int m_version = 0;
    bool m_foreign = false;
    TeamFault m_fault;
};
