// Turning the rows of a CSV file of 1,000,000 readings into readings: the
// plain positional reading of our own layout beside the import that checks
// every row (units, values, times, blank rows) and finds the columns by
// header, on our own file and on the same file as a de-DE spreadsheet saves
// it again (semicolons, day-first dotted dates, decimal commas). Processor
// times of the row work alone; the file is read and decoded beforehand, its
// records are found as the rows are read.

#include "data/readingseries.h"
#include "exchange/readingsimport.h"
#include "exchange/readingsworkbook.h"
#include "exchange/sheetrows.h"
#include "exchange/tablefile.h"

#include "bench/exchange/tablesnapshot.h"
#include "bench/support/scatteredreadings.h"
#include "tests/exchange/xlstesttools.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int Readings = 1000000;

double seconds(const std::function<void()> &work)
{
    const std::clock_t start = std::clock();
    work();
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

// Our CSV as a de-DE spreadsheet writes it back.
QByteArray reSaved(const QByteArray &ours)
{
    QString text = QString::fromUtf8(ours);
    QString out;
    out.reserve(text.size());
    for (const QStringRef &line : text.splitRef(QStringLiteral("\r\n"))) {
        QVector<QStringRef> f = line.split(QLatin1Char(','));
        if (f.size() < 5) {
            out += line;
            continue;
        }
        const QString time = f[1].size() == 19 ? f[1].mid(8, 2) + '.' + f[1].mid(5, 2) + '.' + f[1].left(4) + ' '
                        + f[1].mid(11, 5)
                                               : f[1].toString();
        out += QStringList{f[0].toString(), time, f[2].toString().replace('.', ','), f[3].toString(),
                           f[4].toString()}
                       .join(';')
                + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

// The table's readings as a gauge takes them: scattered normally around
// 120 µm (σ 12, 0.1 µm), one in forty an overload, in micrometres.
class GaugeReadings : public XlsTestTools::SyntheticReadings
{
public:
    using SyntheticReadings::SyntheticReadings;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || (index.column() != 2 && index.column() != 3))
            return SyntheticReadings::data(index, role);
        if (index.column() == 3)
            return QString::fromUtf8("μm");
        const QString text = scatteredText(index.row());
        return text == QLatin1String("OL") ? QStringLiteral("    OL") : text;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const GaugeReadings source(Readings);
    const TableSnapshot table(source);
    const QString ours = dir.filePath(QStringLiteral("ours.csv"));
    const QString resaved = dir.filePath(QStringLiteral("de-DE.csv"));
    QString error;
    if (!TableFile::write(ours, TableFile::Format::Csv, table, &error))
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    QFile in(ours), out(resaved);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(reSaved(in.readAll())) < 0)
        return 1;
    out.close();

    const std::unique_ptr<SheetRows> rows = TableFile::open(ours, &error);
    const std::unique_ptr<SheetRows> germanRows = rows ? TableFile::open(resaved, &error) : nullptr;
    if (!germanRows)
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;

    int plainCount = 0, checkedCount = 0, germanCount = 0;
    // The first million readings take the memory from the system; the
    // runs measured reuse it.
    ReadingsImport(*rows).takeReadings();
    rows->rewind();
    const double plain = seconds([&] {
        ReadingSeries readings; // kept until the end, as an import keeps them
        for (bool header = true; rows->next(); header = false) {
            if (header)
                continue;
            QVariantList row;
            for (int c = 0; c < 5; ++c)
                row << rows->cell(c);
            readingFromRow(row, &readings);
        }
        plainCount = readings.size();
    });
    rows->rewind();
    const double checked = seconds([&] {
        ReadingsImport import(*rows);
        checkedCount = import.imported();
        import.takeReadings();
    });
    const double german = seconds([&] {
        ReadingsImport import(*germanRows);
        germanCount = import.imported();
        import.takeReadings();
    });
    std::printf("%d readings\n", Readings);
    std::printf("positional, unchecked  %8.1f ms  (%d)\n", plain * 1e3, plainCount);
    std::printf("checked, our file      %8.1f ms  (%d)  %.2fx the unchecked time\n", checked * 1e3, checkedCount,
                checked / plain);
    std::printf("checked, de-DE re-save %8.1f ms  (%d)  %.2fx the unchecked time\n", german * 1e3, germanCount,
                german / plain);
    return 0;
}
