// Feeds arbitrary bytes to the .xlsx reader and the import: any input must
// give rows or an error, within bounded time and memory, whether the rows
// are streamed into readings or laid out as the used range. The first byte chooses what the rest is: the whole file (the zip
// container and all behind it), or a worksheet, shared strings, styles and
// workbook properties, cut apart at 0xFF bytes and packed into a sound
// package, so that mutations reach the XML past the archive's checksums.

#include "exchange/readingsimport.h"
#include "exchange/usedrangegrid.h"
#include "exchange/xlsxreader.h"
#include "tests/exchange/xlsxtesttools.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > (1u << 20))
        return 0;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    QByteArray file = input;
    if (data[0] & 1) {
        const QList<QByteArray> parts = input.split('\xff');
        file = XlsxTestTools::package(
                XlsxTestTools::workbookParts(parts.value(0), parts.value(1), parts.value(2), parts.value(3)), false);
    }
    // Small ceilings keep each run quick; the ceilings themselves are tested.
    XlsxLimits limits;
    limits.maxSheetSize = 1 << 22;
    limits.maxStringsSize = 1 << 22;
    limits.maxOtherPartSize = 1 << 20;
    limits.maxSharedStrings = 1 << 16;
    limits.maxCells = 1 << 16;
    QString error;
    const std::unique_ptr<SheetRows> rows = openXlsxFirstSheet(file, &error, limits);
    if (!rows)
        return 0;
    ReadingsImport(*rows).takeReadings();
    XlsUsedRange range;
    if (rows->rewind())
        readUsedRange(*rows, &range, &error, limits.maxCells);
    return 0;
}
