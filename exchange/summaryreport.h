#pragma once

#include <QString>

struct JobSummary;

// Writes the summary of all items on landscape A4 pages: a ruled table
// with the column titles on every page, a title and a date stamp at the
// top and "page/pages" at the foot; after the last row the counts of
// passed and failed items and the block to sign on (on a page of its own
// when there is no room under the table). Written through a temporary
// file; false with an error text when it cannot be written.
bool writeSummaryReport(const QString &fileName, const JobSummary &job, QString *error = nullptr);
