#pragma once

#include "exchange/sheetrows.h"
#include "exchange/usedrangegrid.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The most cells of a classic worksheet that are read; each is held as a
// record of a few bytes.
constexpr int XlsDefaultMaxCells = 1 << 22;

// The first worksheet of a classic Excel workbook (BIFF8 in a compound
// file), row by row. The workbook stream's first record decides the
// version, whatever the stream is named. Older formats (BIFF2 to BIFF5),
// encrypted workbooks, other files and damaged ones give null and an error
// text, as does a sheet of more than maxCells cells.
std::unique_ptr<SheetRows> openXlsFirstSheet(const QByteArray &file, QString *error,
                                             int maxCells = XlsDefaultMaxCells);

// The same sheet laid out as its used range; a used range of more than
// maxCells places is refused rather than allocated.
bool readXlsFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error,
                       int maxCells = XlsDefaultMaxCells);
