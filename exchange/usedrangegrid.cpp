#include "exchange/usedrangegrid.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

bool readUsedRange(SheetRows &rows, XlsUsedRange *range, QString *error, qint64 maxCells)
{
    *range = XlsUsedRange();
    struct Placed
    {
        int row;
        int column;
        QVariant value;
    };
    std::vector<Placed> cells;
    while (rows.next())
        for (int i = 0; i < rows.cellCount(); ++i)
            cells.push_back({rows.row(), rows.column(i), rows.value(i)});
    if (!rows.errorString().isEmpty()) {
        *error = rows.errorString();
        return false;
    }
    QRect used = rows.markedCells();
    for (const Placed &c : cells)
        used |= QRect(c.column, c.row, 1, 1);
    if (used.isEmpty())
        return true;
    const qint64 places = qint64(used.width()) * used.height();
    if (places > maxCells) {
        *error = QCoreApplication::translate("UsedRange", "The used range of the first worksheet is too large: %1 cells, at most %2 can be read.")
                         .arg(places)
                         .arg(maxCells);
        return false;
    }

    std::stable_sort(cells.begin(), cells.end(), [](const Placed &a, const Placed &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    range->firstRow = used.top();
    range->firstColumn = used.left();
    range->columnCount = used.width();
    range->rows.reserve(used.height());
    size_t i = 0;
    for (int r = used.top(); r <= used.bottom(); ++r) {
        QVariantList row;
        row.reserve(used.width());
        for (; i < cells.size() && cells[i].row == r; ++i) {
            const Placed &c = cells[i];
            if (i + 1 < cells.size() && cells[i + 1].row == c.row && cells[i + 1].column == c.column)
                continue; // the later of two at one place counts
            while (row.size() < c.column - used.left())
                row.append(QVariant());
            row.append(c.value);
        }
        while (row.size() < used.width())
            row.append(QVariant());
        range->rows.append(row);
    }
    return true;
}
