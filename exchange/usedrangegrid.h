#pragma once

#include "exchange/sheetrows.h"

#include <QList>
#include <QString>
#include <QVariant>

// The used range of a worksheet laid out as a grid: from the first to the
// last row and column that hold a cell, wherever the sheet starts. Blank
// cells that carry a format count, as the spreadsheet counts them; rows
// and columns that are only formatted as a whole do not.
struct XlsUsedRange
{
    int firstRow = 0;    // zero-based sheet row of rows.first()
    int firstColumn = 0; // zero-based sheet column of each row's first cell
    int columnCount = 0;
    // Every row has columnCount cells, each a value as SheetRows hands it
    // out, an invalid QVariant where the sheet holds no cell.
    QList<QVariantList> rows;
};

// Reads all rows and lays them out as the used range, the places that
// SheetRows::markedCells() names included. Rows may come in any order; of
// two cells at one place the later counts. A grid of more than maxCells
// places is refused rather than allocated. False with an error text for a
// sheet that cannot be read.
bool readUsedRange(SheetRows &rows, XlsUsedRange *range, QString *error, qint64 maxCells);
