#pragma once

#include "data/readingseries.h"

#include <QString>

class JobProgress;

// What an import of a readings file came to, before any item is made.
struct ImportOutcome
{
    bool cancelled = false;
    // Why no item is made: the file cannot be read, is damaged, or holds
    // no readings. Empty when readings were found.
    QString refusal;
    ReadingSeries readings;
    // Every row imported, none skipped or refused.
    bool complete = true;
    // The counts of imported, skipped and refused rows with the reasons;
    // empty when there is nothing to say beyond success.
    QString report;
};

// Reads a readings file (.xls, .xlsx, CSV) into readings, row by row, on
// whatever thread: no item is touched. The progress hears of the rows read
// and may stop the reading.
ImportOutcome importReadingsFile(const QString &path, JobProgress &progress);
