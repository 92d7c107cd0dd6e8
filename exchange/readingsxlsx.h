#pragma once

#include <QString>

class JobProgress;
class QAbstractItemModel;

namespace ReadingsXlsx {

// An Office Open XML worksheet has 1,048,576 rows: the header and this
// many readings.
constexpr int MaxReadings = 1048575;

} // namespace ReadingsXlsx

// Writes the table as a readings workbook in the Office Open XML format
// (.xlsx): the same sheet, header, cell types, number formats and column
// widths as the classic workbook (see ReadingsSheet). The file is replaced
// only when the new one is complete. A table of more than 1,048,575 rows is
// refused and nothing is written. On failure the error text says why.
bool writeReadingsXlsx(const QString &path, const QAbstractItemModel &table, QString *error,
                       JobProgress *progress = nullptr);
