#pragma once

#include "exchange/sheetrows.h"

#include <QString>

#include <memory>

class JobProgress;
class QAbstractItemModel;

// The file formats the readings table is exported to and imported from:
// the classic workbook (.xls), the Office Open XML workbook (.xlsx) and
// comma-separated values (.csv), all in the readings layout.
namespace TableFile {

enum class Format { Xls, Xlsx, Csv };

// Save dialog filters, the classic workbook first.
QString exportFilters();
// Open dialog filters: every readable file first, then each format.
QString importFilters();

// The format a chosen save name asks for: its suffix when that is one of
// the three, else the chosen filter's (the classic workbook when neither
// names another).
Format exportFormat(const QString &fileName, const QString &selectedFilter);
QString suffix(Format format);

// Writes the table in the format through a temporary file. Each format
// refuses a table beyond its own row limit; on failure the error text says
// why.
// A progress, when given, hears of the rows written and may stop them:
// then nothing is written and a file of that name stays as it was.
bool write(const QString &path, Format format, const QAbstractItemModel &table, QString *error,
           JobProgress *progress = nullptr);

// The first worksheet of a readings file, row by row. The content decides
// the format (a compound document is a classic workbook, a zip package an
// .xlsx); other files are CSV when named so (.csv, .txt, .tsv) and
// otherwise taken for a classic workbook, whose reader then says why it is
// none. Null with an error text for a file that cannot be read; a fault
// found further on ends the rows with its reason in errorString().
// A progress, when given, may stop the reading of a CSV file's records
// (null, with no error text).
std::unique_ptr<SheetRows> open(const QString &path, QString *error, JobProgress *progress = nullptr);

} // namespace TableFile
