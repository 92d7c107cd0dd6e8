#include "cli/commands.h"

#include "cli/console.h"
#include "cli/itemreadout.h"
#include "cli/jobwatch.h"
#include "cli/keptitems.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "data/measurementdatabase.h"
#include "exchange/exportjobs.h"
#include "exchange/importjob.h"
#include "exchange/itempictures.h"
#include "exchange/savedfile.h"
#include "team/teamsync.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

int measurementsFault(MeasurementDatabase::Fault fault)
{
    return fault == MeasurementDatabase::Fault::None ? ExitSuccess : ExitMeasurements;
}

// The kept items, opened to read; false with the message said.
bool openItems(KeptItems &items, int *status)
{
    if (items.open())
        return true;
    Console::error(items.problem());
    *status = ExitMeasurements;
    return false;
}

// The named item with its readings; none with the message said.
std::unique_ptr<ItemData> loadItem(KeptItems &items, const QString &name, qint64 *id, QString *group, int *status)
{
    if (!openItems(items, status))
        return nullptr;
    bool several = false;
    const ItemKeeper::KeptItem *kept = items.find(name, &several);
    if (!kept) {
        Console::error(items.problem());
        *status = several ? ExitUsage : ExitMissing;
        return nullptr;
    }
    std::unique_ptr<ItemData> item = items.load(*kept);
    if (!item) {
        Console::error(items.problem());
        *status = ExitMeasurements;
        return nullptr;
    }
    if (id)
        *id = kept->id;
    if (group)
        *group = KeptItems::groupOf(*kept);
    return item;
}

// The table format a file's suffix names.
bool tableFormat(const QString &file, TableFile::Format *format)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QLatin1String("xls") && suffix != QLatin1String("xlsx") && suffix != QLatin1String("csv")) {
        Console::error(Commands::tr("%1: the name must end in .xls, .xlsx or .csv.").arg(file));
        return false;
    }
    *format = TableFile::exportFormat(file, QString());
    return true;
}

// A write that failed: said, unless it was cancelled.
int writeFailed(const QString &file, const QString &error)
{
    if (error.isEmpty()) {
        Console::error(Commands::tr("Cancelled."));
        return ExitCancelled;
    }
    Console::error(Commands::tr("%1 was not written: %2").arg(file, error));
    return ExitFile;
}

// A readings file read as the window's Import reads it; false when it made
// no readings, with the reason said and the status set.
bool readReadingsFile(const QString &file, ImportOutcome *outcome, int *status)
{
    JobWatch watch;
    *outcome = importReadingsFile(file, watch.progress());
    if (outcome->cancelled) {
        Console::error(Commands::tr("Cancelled."));
        *status = ExitCancelled;
        return false;
    }
    if (!outcome->refusal.isEmpty()) {
        Console::error(Commands::tr("%1 was not read: %2").arg(file, outcome->refusal));
        *status = ExitFile;
        return false;
    }
    // Rows refused or skipped are counted, as the window's message counts them.
    if (!outcome->report.isEmpty())
        Console::error(QStringLiteral("%1: %2").arg(file, outcome->report));
    return true;
}

} // namespace

int Commands::list(bool json)
{
    KeptItems items;
    int status = ExitSuccess;
    if (!openItems(items, &status))
        return status;
    QJsonArray array;
    for (const ItemKeeper::KeptItem &kept : items.items()) {
        const std::unique_ptr<ItemData> item = items.load(kept);
        if (!item) {
            Console::error(items.problem());
            return ExitMeasurements;
        }
        const ItemReadout readout(kept.id, KeptItems::groupOf(kept), *item);
        if (json)
            array << readout.listEntry();
        else
            Console::out(readout.listLine() + QLatin1Char('\n'));
    }
    if (json)
        Console::outBytes(QJsonDocument(array).toJson());
    return ExitSuccess;
}

int Commands::show(const QString &name, bool json)
{
    KeptItems items;
    qint64 id = 0;
    QString group;
    int status = ExitSuccess;
    const std::unique_ptr<ItemData> item = loadItem(items, name, &id, &group, &status);
    if (!item)
        return status;
    const ItemReadout readout(id, group, *item);
    if (json)
        Console::outBytes(QJsonDocument(readout.showEntry()).toJson());
    else
        Console::out(readout.showText());
    return ExitSuccess;
}

int Commands::import(const QStringList &files, const QString &name)
{
    // Only one copy of the program writes the file; a window that keeps
    // it is waited for a moment, as a second window would be.
    MeasurementDatabase database;
    if (!database.open()) {
        if (database.fault() == MeasurementDatabase::Fault::Locked)
            Console::error(tr("%1 is in use by the window or another command; nothing was imported.")
                               .arg(QDir::toNativeSeparators(database.path())));
        else
            Console::error(database.problem());
        return measurementsFault(database.fault());
    }
    if (!database.notice().isEmpty())
        Console::error(database.notice());
    QStringList names;
    for (const ItemKeeper::KeptItem &kept : database.keptItems())
        names << kept.name;

    int status = ExitSuccess;
    for (const QString &file : files) {
        ImportOutcome outcome;
        int failed = ExitSuccess;
        if (!readReadingsFile(file, &outcome, &failed)) {
            if (failed == ExitCancelled)
                return failed;
            status = failed;
            continue;
        }
        // As the window makes it: named "Import" with a number, in the unit
        // of its last reading, its statistics counted before it is kept.
        const QString itemName = name.isEmpty() ? ItemStore::nextImportName(names) : name;
        const ReadingSeries &readings = outcome.readings;
        ItemData item(itemName, ItemData::Import);
        item.setUnit(readings.unit(readings.size() - 1));
        item.append(readings, true);
        ItemKeeper::NewItem spec;
        spec.name = itemName;
        spec.type = ItemData::Import;
        spec.unit = item.unit();
        spec.statistics = *item.statistics();

        JobWatch watch;
        watch.progress().beginStep(tr("Keeping readings…"), readings.size());
        ItemKeeper::Outcome kept = ItemKeeper::Outcome::Failed;
        qint64 id = 0;
        database.keepNewItem(spec, item.readings(), watch.sharedProgress(),
                             [&](ItemKeeper::Outcome outcome, qint64 newId) {
                                 kept = outcome;
                                 id = newId;
                             });
        if (kept == ItemKeeper::Outcome::Cancelled) {
            Console::error(tr("Cancelled."));
            return ExitCancelled;
        }
        if (kept == ItemKeeper::Outcome::Failed) {
            Console::error(database.failure());
            return ExitMeasurements;
        }
        names << itemName;
        Console::out(QStringLiteral("%1\t%2\t%3\n").arg(id).arg(itemName).arg(readings.size()));
        if (!outcome.complete)
            status = ExitFile;
    }
    return status;
}

int Commands::exportReadings(const QString &name, const QString &file)
{
    TableFile::Format format;
    if (!tableFormat(file, &format))
        return ExitUsage;
    KeptItems items;
    int status = ExitSuccess;
    const std::unique_ptr<ItemData> item = loadItem(items, name, nullptr, nullptr, &status);
    if (!item)
        return status;
    JobWatch watch;
    QString error;
    if (!ExportJobs::writeReadings(file, format, item->readings(), item->unit(), &error, watch.progress()))
        return writeFailed(file, error);
    return ExitSuccess;
}

int Commands::report(const QString &name, const QString &chosen)
{
    KeptItems items;
    int status = ExitSuccess;
    const std::unique_ptr<ItemData> item = loadItem(items, name, nullptr, nullptr, &status);
    if (!item)
        return status;
    const QString file = withDefaultSuffix(chosen, QStringLiteral("pdf"));
    // The pictures a window of standard size shows of all the readings.
    const ItemPictureSettings pictures = ItemPictureMaker::standardSettings(item->unit(), item->limits());
    JobWatch watch;
    QString error;
    if (!ExportJobs::writeReport(file, item.get(), item->count(), QString(), pictures, QDate::currentDate(), &error,
                                 watch.progress()))
        return writeFailed(file, error);
    return ExitSuccess;
}

int Commands::summary(const QString &chosen)
{
    KeptItems items;
    int status = ExitSuccess;
    if (!openItems(items, &status))
        return status;
    std::vector<std::unique_ptr<ItemData>> loaded;
    QList<const ItemData *> all;
    for (const ItemKeeper::KeptItem &kept : items.items()) {
        loaded.push_back(items.load(kept));
        if (!loaded.back()) {
            Console::error(items.problem());
            return ExitMeasurements;
        }
        all << loaded.back().get();
    }
    if (std::none_of(all.cbegin(), all.cend(), [](const ItemData *item) { return item->count() > 0; })) {
        Console::error(ExportJobs::tr("No item has readings."));
        return ExitMissing;
    }
    const QString file = withDefaultSuffix(chosen, QStringLiteral("pdf"));
    JobWatch watch;
    QString error;
    if (!ExportJobs::writeSummary(file, all, &error, watch.progress()))
        return writeFailed(file, error);
    return ExitSuccess;
}

int Commands::convert(const QString &in, const QString &out)
{
    TableFile::Format format;
    if (!tableFormat(out, &format))
        return ExitUsage;
    ImportOutcome outcome;
    int status = ExitSuccess;
    if (!readReadingsFile(in, &outcome, &status))
        return status;
    const ReadingSeries &readings = outcome.readings;
    JobWatch watch;
    QString error;
    if (!ExportJobs::writeReadings(out, format, readings, readings.unit(readings.size() - 1), &error,
                                   watch.progress()))
        return writeFailed(out, error);
    return outcome.complete ? ExitSuccess : ExitFile;
}

int Commands::check(const QString &name)
{
    KeptItems items;
    int status = ExitSuccess;
    const std::unique_ptr<ItemData> item = loadItem(items, name, nullptr, nullptr, &status);
    if (!item)
        return status;
    const ItemSummary summary = summarizeItem(*item);
    if (!summary.limitsSet) {
        Console::error(tr("%1 has no limits to judge it by.").arg(item->name()));
        return ExitMissing;
    }
    if (!summary.judged) {
        Console::error(tr("%1 has no rule with the limits it needs.").arg(item->name()));
        return ExitMissing;
    }
    QString out = ItemSummary::verdictText(summary.passed) + QLatin1Char('\n');
    for (const QString &failure : summary.failures)
        out += failure + QLatin1Char('\n');
    Console::out(out);
    return summary.passed ? ExitSuccess : ExitFailed;
}

int Commands::sync()
{
    QStringList problems;
    const QString settingsPath = TeamSettings::defaultPath();
    TeamSyncJob job;
    job.settings = TeamSettings::load(settingsPath, &problems);
    for (const QString &problem : problems)
        Console::error(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(settingsPath), problem));
    if (!job.settings.isUsable()) {
        Console::error(tr("No team database is set. Set one in Options, Team, or in %1.")
                           .arg(QDir::toNativeSeparators(settingsPath)));
        return ExitUsage;
    }
    // Read, never written: the sync runs while the window keeps the file.
    job.measurementsPath = MeasurementDatabase::defaultPath();
    job.cachePath = QFileInfo(job.measurementsPath).dir().filePath(QStringLiteral("team.sqlite"));
    JobWatch watch;
    job.stop = watch.stopFlag();
    watch.progress().beginStep(tr("Syncing with the team database…"), 0);
    const TeamSyncReport report = runTeamSync(job);

    QString out = tr("Sent: %1 items, %2 readings; %3 items deleted on the server.")
                      .arg(report.itemsSent)
                      .arg(report.readingsSent)
                      .arg(report.itemsDeleted)
        + QLatin1Char('\n');
    if (report.pulled) {
        out += tr("Fetched: %1 items added or changed, %2 items gone.")
                   .arg(report.changed.size())
                   .arg(report.dropped.size())
            + QLatin1Char('\n');
        for (const QString &item : report.changed)
            out += QStringLiteral("+\t") + item + QLatin1Char('\n');
        for (const QString &item : report.dropped)
            out += QStringLiteral("-\t") + item + QLatin1Char('\n');
    }
    Console::out(out);
    if (report.readOnly)
        Console::error(TeamFault::of(TeamFault::SchemaNewer).describe(job.settings));
    if (report.waiting > 0)
        Console::error(tr("%1 items wait to be sent.").arg(report.waiting));
    if (!report.fault.isSet())
        return ExitSuccess;
    if (watch.isCancelled()) {
        Console::error(tr("Cancelled."));
        return ExitCancelled;
    }
    Console::error(report.fault.describe(job.settings));
    if (report.fault.kind == TeamFault::PasswordMissing)
        Console::error(tr("Give the password in ~/.pgpass or in the environment variable PGPASSWORD."));
    return report.fault.kind == TeamFault::Local ? ExitFile : ExitFailed;
}
