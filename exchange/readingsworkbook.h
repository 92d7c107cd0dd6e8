#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class JobProgress;
class QAbstractItemModel;
class ReadingSeries;

// The readings workbook: the first worksheet holds the header "No.",
// "Time", "Value", "Unit", "Basis" in row 1 and one row per table row below
// it; the time column is formatted "yyyy-MM-dd hh:mm:ss", the value, unit
// and basis columns as text ("@").
namespace ReadingsWorkbook {

// A classic worksheet has 65,536 rows: the header and this many readings.
constexpr int MaxReadings = 65535;

QStringList headerTexts();
QString timeFormat();

// The workbook file for the table's display texts, as the spreadsheet
// stores them when they are written into the formatted cells: a time text
// becomes a date value, an empty time text leaves the cell empty, numbers
// stay numbers, texts of the text columns stay texts with their blanks.
// Columns are fitted to their contents. The caller checks the row limit.
QByteArray build(const QAbstractItemModel &table, JobProgress *progress = nullptr);

} // namespace ReadingsWorkbook

// Writes the table as a readings workbook through a temporary file: the
// old file stays whole until the new one is complete. A table of more than
// 65,535 rows is refused and nothing is written. On failure the error text
// says why.
bool writeReadingsWorkbook(const QString &path, const QAbstractItemModel &table, QString *error,
                           JobProgress *progress = nullptr);

// The used range of the workbook's first worksheet as rows of cell values
// (see XlsUsedRange). False with an error text for a file that cannot be
// read as a classic workbook. The zero-based sheet row of the first row
// goes to firstRow when asked for.
bool readFirstSheetUsedRange(const QString &path, QList<QVariantList> *rows, QString *error,
                             int *firstRow = nullptr);

// The text a cell's value shows when taken as text: numbers in their
// shortest form (88.4 gives "88.4", 1250.0 gives "1250"), texts unchanged,
// empty cells as "".
QString cellText(const QVariant &cell);

// Appends the reading of one data row of the used range: cell 1 the time
// (a date value or a date-and-time text; anything else gives a null time),
// cell 2 the value text, cell 3 the unit, cell 4 the basis; cell 0 and
// cells after 4 are not read. False, appending nothing, for a row of fewer
// than five cells.
bool readingFromRow(const QVariantList &row, ReadingSeries *readings);
