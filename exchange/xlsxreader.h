#pragma once

#include "exchange/xlsreader.h"

#include <QByteArray>
#include <QString>

// Ceilings that keep a hostile or damaged file from taking the memory: a
// zip entry can unpack to a thousand times its size, and a worksheet can
// name cells far apart.
struct XlsxLimits
{
    qint64 maxSheetSize = qint64(512) << 20;     // the worksheet part, unpacked
    qint64 maxStringsSize = qint64(256) << 20;   // the shared strings part
    qint64 maxOtherPartSize = qint64(16) << 20;  // workbook, relationships, styles, comments
    int maxSharedStrings = 1 << 24;
    int maxCells = 1 << 23;                      // of the used range, and of cells read
};

// Reads the used range of the first worksheet of an Office Open XML
// workbook (.xlsx, a zip package): the first sheet in the workbook's order
// that is a worksheet, found through the workbook's relationships. The
// used range spans every cell element, formatted blanks included, and the
// cells that carry a merge or a comment, as the spreadsheet counts them;
// cell values come as from the classic reader (see XlsUsedRange): numbers
// shown in a date or time format as date-times, shared and inline strings
// and formula texts as texts, booleans, errors as their text. False with
// an error text for a file that is no such workbook, is damaged, or would
// exceed the limits.
bool readXlsxFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error,
                        const XlsxLimits &limits = XlsxLimits());
