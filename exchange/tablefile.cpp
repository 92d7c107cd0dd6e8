#include "exchange/tablefile.h"

#include "exchange/compoundfile.h"
#include "exchange/readingscsv.h"
#include "exchange/readingsworkbook.h"
#include "exchange/readingsxlsx.h"
#include "exchange/xlsreader.h"
#include "exchange/xlsxpackage.h"
#include "exchange/xlsxreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// Files beyond this are no readings file; reading them whole would only
// exhaust memory.
constexpr qint64 MaxFileSize = qint64(512) * 1024 * 1024;

bool readWhole(const QString &path, QByteArray *data, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    if (file.size() > MaxFileSize) {
        *error = QCoreApplication::translate("TableFile", "The file is too large for a readings file.");
        return false;
    }
    *data = file.readAll();
    if (data->size() != file.size()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

namespace TableFile {

QString exportFilters()
{
    return QStringLiteral("Excel File(*.xls);;") + QCoreApplication::translate("TableFile", "Excel Workbook(*.xlsx)")
            + QStringLiteral(";;") + QCoreApplication::translate("TableFile", "CSV File(*.csv)");
}

QString importFilters()
{
    return QCoreApplication::translate("TableFile", "All workbooks (*.xls *.xlsx *.csv)") + QStringLiteral(";;")
            + exportFilters();
}

Format exportFormat(const QString &fileName, const QString &selectedFilter)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("xls"))
        return Format::Xls;
    if (suffix == QLatin1String("xlsx"))
        return Format::Xlsx;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (selectedFilter.contains(QLatin1String("*.xlsx")))
        return Format::Xlsx;
    if (selectedFilter.contains(QLatin1String("*.csv")))
        return Format::Csv;
    return Format::Xls;
}

QString suffix(Format format)
{
    switch (format) {
    case Format::Xlsx:
        return QStringLiteral("xlsx");
    case Format::Csv:
        return QStringLiteral("csv");
    default:
        return QStringLiteral("xls");
    }
}

bool write(const QString &path, Format format, const QAbstractItemModel &table, QString *error,
           JobProgress *progress)
{
    switch (format) {
    case Format::Xlsx:
        return writeReadingsXlsx(path, table, error, progress);
    case Format::Csv:
        return writeReadingsCsv(path, table, error, progress);
    default:
        return writeReadingsWorkbook(path, table, error, progress);
    }
}

std::unique_ptr<SheetRows> open(const QString &path, QString *error, JobProgress *progress)
{
    QString localError;
    QString &err = error ? *error : localError;
    QByteArray data;
    if (!readWhole(path, &data, &err))
        return nullptr;
    if (CompoundFileReader::hasSignature(data))
        return openXlsFirstSheet(data, &err);
    if (XlsxPackage::hasSignature(data))
        return openXlsxFirstSheet(data, &err);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("txt") && suffix != QLatin1String("tsv"))
        return openXlsFirstSheet(data, &err);
    auto csv = std::make_unique<CsvTable>();
    if (!csv->parse(data, &err, ReadingsCsv::MaxFields, progress))
        return nullptr;
    return csv;
}

} // namespace TableFile
