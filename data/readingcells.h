#pragma once

#include "data/readingrecord.h"

#include <QVariant>

class ReadingSeries;

// The readings table's columns: what a cell of a reading shows, in a unit,
// and the columns' titles. The window's table and the files written from
// a snapshot of an item show the same.
namespace ReadingCells {

enum Column { NumberColumn, TimeColumn, ValueColumn, UnitColumn, BasisColumn, ColumnCount };

// The cell of the given reading shown in a row (numbers count rows from 1).
QVariant cell(const ReadingSeries &readings, int reading, int row, int column, Unit unit);
// The translated title of a column; an invalid variant past the last.
QVariant title(int column);

} // namespace ReadingCells
