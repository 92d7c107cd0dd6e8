// Feeds arbitrary bytes to the workbook reader and the import's row rule:
// any input must give a used range or an error, within bounded time and
// memory.

#include "data/readingseries.h"
#include "exchange/readingsworkbook.h"
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
    XlsUsedRange range;
    QString error;
    // A small cell limit keeps each run quick; the limit itself is tested.
    if (!readXlsFirstSheet(file, &range, &error, 1 << 16))
        return 0;
    ReadingSeries readings;
    for (int r = 1; r < range.rows.size() && r < 64; ++r)
        readingFromRow(range.rows.at(r), &readings);
    return 0;
}
