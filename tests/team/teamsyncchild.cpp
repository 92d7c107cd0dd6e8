#include "team/teamsync.h"

#include <QCoreApplication>

// One sync of the given measurements file, in a process of its own that a
// test may kill at any moment.
// Arguments: port database user measurements cache; the password in
// VK_TEAM_PASSWORD.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    TeamSyncJob job;
    job.settings.enabled = true;
    job.settings.host = QStringLiteral("127.0.0.1");
    job.settings.port = args.at(1).toInt();
    job.settings.database = args.at(2);
    job.settings.user = args.at(3);
    job.settings.sslMode = QStringLiteral("disable");
    job.password = qEnvironmentVariable("VK_TEAM_PASSWORD");
    job.measurementsPath = args.at(4);
    job.cachePath = args.at(5);
    return runTeamSync(job).fault.isSet() ? 1 : 0;
}
