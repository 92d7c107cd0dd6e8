// Feeds arbitrary bytes to the workbook reader and the import: any input
// must give rows or an error, within bounded time and memory, whether the
// rows are streamed into readings or laid out as the used range.

#include "exchange/readingsimport.h"
#include "exchange/usedrangegrid.h"
#include "exchange/xlsreader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 24))
        return 0;
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QString error;
    // A small cell limit keeps each run quick; the limit itself is tested.
    const std::unique_ptr<SheetRows> rows = openXlsFirstSheet(file, &error, 1 << 16);
    if (!rows)
        return 0;
    ReadingsImport(*rows).takeReadings();
    XlsUsedRange range;
    if (rows->rewind())
        readUsedRange(*rows, &range, &error, 1 << 16);
    return 0;
}
