#pragma once

#include "exchange/sheetrows.h"
#include "exchange/usedrangegrid.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Ceilings that keep a hostile or damaged file from taking the memory: a
// zip entry can unpack to a thousand times its size, and a worksheet can
// name cells far apart.
struct XlsxLimits
{
    qint64 maxSheetSize = qint64(512) << 20;     // the worksheet part, unpacked
    qint64 maxStringsSize = qint64(256) << 20;   // the shared strings part, unpacked
    qint64 maxOtherPartSize = qint64(16) << 20;  // workbook, relationships, styles, comments
    int maxSharedStrings = 1 << 24;
    // What the shared strings may take once held: two bytes a character
    // and about HeldStringOverhead bytes of bookkeeping a string.
    qint64 maxStringsHeld = qint64(96) << 20;
    static constexpr int HeldStringOverhead = 48;
    int maxCells = 1 << 23;                      // cells read, and places of a used range laid out
};

// The first worksheet of an Office Open XML workbook (.xlsx, a zip
// package), row by row as it is inflated: the first sheet in the workbook's
// order that is a worksheet, found through the workbook's relationships.
// Rows come in the order the sheet gives them, each row's cells in column
// order; merged and commented cells are named by markedCells(). Values come
// as from the classic reader: numbers shown in a date or time format as
// date-times, shared and inline strings and formula texts as texts,
// booleans, errors as their text. Null with an error text for a file that
// is no such workbook or whose parts around the sheet are damaged or
// exceed the limits; damage and limits met in the sheet end the rows.
std::unique_ptr<SheetRows> openXlsxFirstSheet(const QByteArray &file, QString *error,
                                              const XlsxLimits &limits = XlsxLimits());

// The same sheet laid out as its used range, which spans every cell
// element, formatted blanks included, and the merged and commented cells,
// as the spreadsheet counts them.
bool readXlsxFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error,
                        const XlsxLimits &limits = XlsxLimits());
