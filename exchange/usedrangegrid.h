#pragma once

#include "exchange/xlsreader.h"

#include <vector>

// Lays sorted cells (by row, then column) out as the rows of the used range
// top..bottom from column left, `columns` wide. Empty places are invalid
// variants; of two cells at one place the later one counts. `value` turns a
// cell into its variant. Shared by the workbook readers of both formats.
template <typename Cell, typename Value>
void fillUsedRange(const std::vector<Cell> &cells, int top, int bottom, int left, int columns, Value value,
                   XlsUsedRange *range)
{
    range->firstRow = top;
    range->firstColumn = left;
    range->columnCount = columns;
    range->rows.reserve(bottom - top + 1);
    size_t i = 0;
    for (int r = top; r <= bottom; ++r) {
        QVariantList row;
        row.reserve(columns);
        for (; i < cells.size() && cells[i].row == r; ++i) {
            const Cell &c = cells[i];
            if (i + 1 < cells.size() && cells[i + 1].row == c.row && cells[i + 1].column == c.column)
                continue;
            while (row.size() < c.column - left)
                row.append(QVariant());
            row.append(value(c));
        }
        while (row.size() < columns)
            row.append(QVariant());
        range->rows.append(row);
    }
}
