#pragma once

#include "team/teamfault.h"
#include "team/teamsettings.h"

#include <QString>

// What the Test button of the Team options finds: whether this role can
// reach, read and write the team database as set, without changing it.
struct TeamCheck
{
    TeamFault fault;
    int layout = 0;        // of the team tables found; 0: none yet
    bool readOnly = false; // a newer layout, read but never written

    // Connects through the calling thread.
    static TeamCheck run(const TeamSettings &settings, const QString &password);
    // A sentence for the user.
    QString describe(const TeamSettings &settings) const;
};
