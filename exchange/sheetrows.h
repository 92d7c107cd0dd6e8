#pragma once

#include <QRect>
#include <QString>
#include <QVariant>

// The first worksheet of a readings file, handed out one row at a time, top
// to bottom. Only rows that hold cells are handed out, and of each row only
// the cells it holds, so nothing grows with the distance between cells.
// Values come as the spreadsheet hands a cell's value out: double for a
// number, QString for text (and for a formula error, as its text, e.g.
// "#DIV/0!"), QDateTime for a number shown in a date or time format
// (rounded to the nearest second), bool, and an invalid QVariant for a
// blank cell that only carries a format. Each format's reader implements it.
class SheetRows
{
public:
    virtual ~SheetRows() = default;

    // Moves to the next row. False at the end of the sheet, and when the
    // file turns out damaged or beyond a limit on the way: errorString()
    // then says why, and the rows handed out so far are not to be trusted.
    virtual bool next() = 0;
    // Goes back before the first row, for another pass.
    virtual bool rewind() = 0;

    // The zero-based sheet row (CSV record) of the current row.
    virtual int row() const = 0;
    // The cells of the current row, in column order, one per column.
    virtual int cellCount() const = 0;
    virtual int column(int index) const = 0;
    virtual QVariant value(int index) const = 0;

    // The value in a zero-based sheet column of the current row; an invalid
    // variant where the row holds no cell.
    QVariant cell(int sheetColumn) const
    {
        int low = 0, high = cellCount();
        while (low < high) {
            const int mid = (low + high) / 2;
            if (column(mid) < sheetColumn)
                low = mid + 1;
            else
                high = mid;
        }
        return low < cellCount() && column(low) == sheetColumn ? value(low) : QVariant();
    }

    // About how many rows there are to hand out, for a progress; -1 when
    // only reading them tells.
    virtual int rowsHint() const { return -1; }

    // Whether commas separated the cells, which leaves no room for a
    // decimal comma.
    virtual bool commaSeparated() const { return false; }
    // Places that belong to the used range without holding a cell (merged
    // areas, comments), as far as the rows read so far tell.
    virtual QRect markedCells() const { return QRect(); }

    QString errorString() const { return m_error; }

protected:
    bool fail(const QString &reason)
    {
        m_error = reason;
        return false;
    }
    void clearError() { m_error.clear(); }

private:
    QString m_error;
};
