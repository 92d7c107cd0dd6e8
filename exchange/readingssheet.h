#pragma once

#include <QString>

#include <vector>

class JobProgress;
class QAbstractItemModel;

// The readings layout as cells of a worksheet, whatever the file format:
// the header "No.", "Time", "Value", "Unit", "Basis" in row 0 and one row
// per table row below it, each display value as the spreadsheet holds it
// once it is written into its formatted column. The time column is
// formatted "yyyy-MM-dd hh:mm:ss", the value, unit and basis columns as
// text ("@"), the row number column not at all.
class ReadingsSheetCells
{
public:
    enum class Format { General, Time, Text };

    virtual ~ReadingsSheetCells() = default;
    // Cells arrive row by row, left to right.
    virtual void number(int row, int column, double value, Format format) = 0;
    virtual void text(int row, int column, const QString &text, Format format) = 0;
    // An empty cell that keeps its column's format.
    virtual void blank(int row, int column, Format format) = 0;
};

namespace ReadingsSheet {

// Lays the header and the first `rows` rows of `columns` columns of the
// table out into the cells. A time text or date becomes a date value (a
// serial of the 1900 date system), an empty time text a blank; numbers, and
// in the row number column texts that read as numbers, stay numbers; texts
// of the text columns stay texts with their blanks. Gives each column's
// width in character cells (East Asian wide characters count two), 0 for
// a column without content.
// A progress, when given, hears of the rows laid out and may stop them
// (the widths are then of the rows done).
std::vector<int> layOut(const QAbstractItemModel &table, int rows, int columns, ReadingsSheetCells *cells,
                        JobProgress *progress = nullptr);

} // namespace ReadingsSheet
