#pragma once

#include "team/teamsettings.h"
#include "tests/support/postgrescluster.h"

// Team settings for a role of a private cluster's database, over TCP
// without SSL; the inspector is named after the role.
inline TeamSettings teamSettingsFor(const PostgresCluster &cluster, const QString &database, const QString &role)
{
    TeamSettings s;
    s.enabled = true;
    s.host = cluster.host();
    s.port = cluster.port();
    s.database = database;
    s.user = role;
    s.sslMode = QStringLiteral("disable");
    s.inspector = role;
    return s;
}
