#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

// The used range of a worksheet: from the first to the last row and column
// that hold a cell record, wherever the sheet starts. Blank cells that
// carry a format count, as the spreadsheet counts them; rows and columns
// that are only formatted as a whole do not.
struct XlsUsedRange
{
    int firstRow = 0;    // zero-based sheet row of rows.first()
    int firstColumn = 0; // zero-based sheet column of each row's first cell
    int columnCount = 0;
    // Every row has columnCount cells, each as the spreadsheet hands a
    // cell's value out: double for a number, QString for text (and for a
    // formula error, as its text, e.g. "#DIV/0!"), QDateTime for a number
    // shown in a date or time format (rounded to the nearest second), bool,
    // and an invalid QVariant for an empty cell.
    QList<QVariantList> rows;
};

// Reads the used range of the first worksheet of a classic Excel workbook
// (BIFF8 in a compound file). Older formats (BIFF2 to BIFF5), encrypted
// workbooks, other files and damaged ones give false and an error text.
// A used range of more than maxCells cells is refused rather than
// allocated.
constexpr int XlsDefaultMaxCells = 1 << 22;
bool readXlsFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error,
                       int maxCells = XlsDefaultMaxCells);
