#include "exchange/importjob.h"

#include "data/jobprogress.h"
#include "exchange/readingsimport.h"
#include "exchange/sheetrows.h"
#include "exchange/tablefile.h"

ImportOutcome importReadingsFile(const QString &path, JobProgress &progress)
{
    ImportOutcome outcome;
    QString error;
    const std::unique_ptr<SheetRows> rows = TableFile::open(path, &error, &progress);
    if (progress.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }
    if (!rows) {
        outcome.refusal = error;
        return outcome;
    }
    // Rows the program cannot read are refused and counted; a file found
    // damaged on the way, or without readings, makes no item.
    ReadingsImport import(*rows, &progress);
    if (import.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }
    if (!rows->errorString().isEmpty()) {
        outcome.refusal = rows->errorString();
        return outcome;
    }
    if (import.imported() == 0) {
        outcome.refusal = import.report();
        return outcome;
    }
    outcome.complete = import.rejected() == 0;
    if (!outcome.complete || import.skipped() > 0)
        outcome.report = import.report();
    outcome.readings = import.takeReadings();
    return outcome;
}
