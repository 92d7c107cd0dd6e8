#include "exchange/exportjobs.h"

#include "data/itemdata.h"
#include "data/itemsummary.h"
#include "data/jobprogress.h"
#include "data/readingstable.h"
#include "exchange/itempictures.h"
#include "exchange/itemreport.h"
#include "exchange/jobsummary.h"
#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"
#include "exchange/readingsworkbook.h"
#include "exchange/summaryreport.h"

#include <QDate>

namespace {

// A cancelled job says nothing more.
bool finished(bool ok, QString *error, const JobProgress &progress)
{
    if (progress.isCancelled()) {
        error->clear();
        return false;
    }
    return ok;
}

} // namespace

const QList<PdfColumn *> &ExportJobs::reportColumns()
{
    static PdfColumn columns[] = {{QStringLiteral("No."), 2}, {QStringLiteral("Time"), 3},
                                  {QStringLiteral("Value"), 3}, {QStringLiteral("Unit"), 2},
                                  {QStringLiteral("Basis"), 2}};
    static const QList<PdfColumn *> list{&columns[0], &columns[1], &columns[2], &columns[3], &columns[4]};
    return list;
}

bool ExportJobs::writeReadings(const QString &path, TableFile::Format format, const ReadingSeries &readings,
                               Unit unit, QString *error, JobProgress &progress)
{
    if (format == TableFile::Format::Xls && readings.size() > ReadingsWorkbook::MaxReadings) {
        *error = tr("A workbook holds at most %1 readings; this table has %2.")
                     .arg(ReadingsWorkbook::MaxReadings)
                     .arg(readings.size());
        return false;
    }
    progress.beginStep(tr("Writing readings…"), readings.size());
    const ReadingsTable table(readings, unit);
    return finished(TableFile::write(path, format, table, error, &progress), error, progress);
}

bool ExportJobs::writeReport(const QString &path, const ItemData *item, int rows, const QString &sceneFileName,
                             const ItemPictureSettings &pictures, const QDate &today, QString *error,
                             JobProgress &progress)
{
    // The summary of the item whose readings the table shows; with
    // inspection details or limits, the inspection report around it.
    ReportSummary summary;
    ReportInspection inspection;
    ReadingSeries shown;
    Unit unit = Unit::Micrometre;
    if (item) {
        summary = ItemReport::summary(summarizeItem(*item), item->limits());
        if (ItemReport::isInspection(*item))
            inspection = ItemReport::inspection(*item, today);
        shown.append(item->readings(), 0, rows);
        unit = item->unit();
    }
    const ReadingsTable table(shown, unit);
    const ItemPictures painted = ItemPictureMaker::paint(pictures, shown, shown.size(), unit);
    const bool ok = writePdfReport(path, table, reportColumns(), sceneFileName, painted.histogram, painted.chart,
                                   summary, inspection, error, &progress);
    return finished(ok, error, progress);
}

bool ExportJobs::writeSummary(const QString &path, const QList<const ItemData *> &items, QString *error,
                              JobProgress &progress)
{
    progress.beginStep(tr("Writing the summary…"), 0);
    const JobSummary job = summarizeJob(items);
    if (job.rows.isEmpty()) {
        *error = tr("No item has readings.");
        return false;
    }
    return finished(writeSummaryReport(path, job, error), error, progress);
}
