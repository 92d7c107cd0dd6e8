#pragma once

#include "data/readingrecord.h"
#include "exchange/tablefile.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class ItemData;
class JobProgress;
class QDate;
class ReadingSeries;
struct ItemPictureSettings;
struct PdfColumn;

// The exports as jobs, run alike by the window (on a worker) and by the
// command line: each writes through a temporary file, so a failed or
// cancelled one leaves a file of that name as it was. False with the
// reason in error, or with an empty error when the progress was cancelled.
struct ExportJobs
{
    Q_DECLARE_TR_FUNCTIONS(ExportJobs)

public:
    // The columns of the report's readings table: No., Time, Value, Unit, Basis.
    static const QList<PdfColumn *> &reportColumns();

    // Readings in the readings layout, their values in unit. A classic
    // workbook ends at row 65,536: more readings are refused, not cut.
    static bool writeReadings(const QString &path, TableFile::Format format, const ReadingSeries &readings,
                              Unit unit, QString *error, JobProgress &progress);

    // The item's PDF report of its first `rows` readings, its histogram and
    // chart painted by those settings: the inspection report when it has
    // details or limits; without an item, empty pictures and table.
    static bool writeReport(const QString &path, const ItemData *item, int rows, const QString &sceneFileName,
                            const ItemPictureSettings &pictures, const QDate &today, QString *error,
                            JobProgress &progress);

    // The summary of the items that have readings, in the given order;
    // refused when none has any. Their readings must be in memory.
    static bool writeSummary(const QString &path, const QList<const ItemData *> &items, QString *error,
                             JobProgress &progress);
};
