#include "team/teamsync.h"

#include "team/measurementsreader.h"
#include "team/teamcache.h"
#include "team/teamconnection.h"
#include "team/teampull.h"
#include "team/teampush.h"
#include "team/teamschema.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

#include <memory>

namespace {

// Items whose revision or generation the server was last known not to
// hold, and items it holds that are gone here.
int countWaiting(const QList<TeamItem> &items, const QHash<QString, TeamCache::Sent> &sent)
{
    int waiting = 0;
    QSet<QString> here;
    for (const TeamItem &item : items) {
        here.insert(item.uuid);
        const auto held = sent.constFind(item.uuid);
        if (held == sent.constEnd() || held->revision != item.revision || held->generation != item.generation)
            ++waiting;
    }
    for (auto it = sent.constBegin(); it != sent.constEnd(); ++it)
        waiting += here.contains(it.key()) ? 0 : 1;
    return waiting;
}

} // namespace

QString TeamSyncReport::describe(const TeamSettings &settings) const
{
    const QString at = ended.toString(QStringLiteral("HH:mm"));
    QString text;
    if (!fault.isSet())
        text = readOnly ? QCoreApplication::translate("TeamSyncReport", "Team: read at %1; the team database is of a "
                                                                        "newer layout, nothing is sent.")
                              .arg(at)
                        : QCoreApplication::translate("TeamSyncReport", "Team: synced at %1.").arg(at);
    else
        text = QCoreApplication::translate("TeamSyncReport", "Team (%1): %2").arg(at, fault.describe(settings));
    if (waiting > 0)
        text += QLatin1Char(' ')
            + QCoreApplication::translate("TeamSyncReport", "%n item(s) wait to be sent.", nullptr, waiting);
    return text;
}

TeamSyncReport runTeamSync(const TeamSyncJob &job)
{
    TeamSyncReport report;
    auto finish = [&](const TeamFault &fault) {
        report.fault = fault;
        report.ended = QDateTime::currentDateTime();
        return report;
    };

    TeamCache cache(job.cachePath);
    if (!cache.openToWrite())
        return finish(TeamFault::of(TeamFault::Local, cache.problem()));

    std::unique_ptr<MeasurementsReader> local;
    QList<TeamItem> localItems;
    // Without a measurements file (none could be made) there is only the pull.
    if (!job.measurementsPath.isEmpty() && QFileInfo::exists(job.measurementsPath)) {
        local.reset(new MeasurementsReader(job.measurementsPath));
        if (!local->open() || !local->readItems(&localItems))
            return finish(TeamFault::of(TeamFault::Local, local->problem()));
        report.waiting = countWaiting(localItems, cache.sent());
    }

    TeamConnection connection(job.settings, job.password);
    if (!connection.open())
        return finish(connection.fault());
    TeamSchema schema(connection.database());
    if (!schema.prepare())
        return finish(schema.fault());
    report.readOnly = !schema.isWritable();

    if (local && !report.readOnly) {
        // The team sees the items under the role's name when no inspector is named.
        const QString inspector = job.settings.inspector.isEmpty() ? job.settings.user : job.settings.inspector;
        TeamPush push(connection.database(), *local, inspector, job.stop);
        const bool pushed = push.run();
        if (push.knowsServer()) {
            cache.setSent(push.sent());
            report.waiting = countWaiting(localItems, push.sent());
        }
        report.itemsSent = push.itemsSent();
        report.readingsSent = push.readingsSent();
        report.itemsDeleted = push.itemsDeleted();
        if (!pushed)
            return finish(push.fault());
    }

    const QString serverKey = QStringLiteral("%1:%2/%3 %4")
                                  .arg(job.settings.host)
                                  .arg(job.settings.port)
                                  .arg(job.settings.database, local ? local->installation() : QString());
    TeamPull pull(connection.database(), cache, local ? local->installation() : QString(), serverKey, job.stop);
    if (!pull.run())
        return finish(pull.fault());
    report.pulled = true;
    report.changed = pull.changed();
    report.dropped = pull.dropped();
    return finish(TeamFault());
}
