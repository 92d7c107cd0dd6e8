#include "exchange/readingsworkbook.h"

#include "data/jobprogress.h"

#include "data/readingseries.h"
#include "exchange/exceldate.h"
#include "exchange/readingssheet.h"
#include "exchange/xlsreader.h"
#include "exchange/xlswriter.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Files beyond this are no readings workbook; reading them whole would
// only exhaust memory.
constexpr qint64 MaxWorkbookFileSize = qint64(512) * 1024 * 1024;

// The readings layout's cells in a classic workbook.
class XlsCells : public ReadingsSheetCells
{
public:
    explicit XlsCells(XlsWorkbookWriter *writer)
        : m_writer(writer),
          m_timeFormat(writer->cellFormat(ReadingsWorkbook::timeFormat())),
          m_textFormat(writer->cellFormat(QStringLiteral("@")))
    {
    }
    void number(int row, int column, double value, Format format) override
    {
        m_writer->addNumber(row, column, value, handle(format));
    }
    void text(int row, int column, const QString &text, Format format) override
    {
        m_writer->addText(row, column, text, handle(format));
    }
    void blank(int row, int column, Format format) override
    {
        m_writer->addBlank(row, column, handle(format));
    }

private:
    int handle(Format format) const
    {
        switch (format) {
        case Format::Time:
            return m_timeFormat;
        case Format::Text:
            return m_textFormat;
        default:
            return XlsWorkbookWriter::GeneralFormat;
        }
    }

    XlsWorkbookWriter *m_writer;
    int m_timeFormat;
    int m_textFormat;
};

} // namespace

namespace ReadingsWorkbook {

QStringList headerTexts()
{
    return {QStringLiteral("No."), QStringLiteral("Time"), QStringLiteral("Value"),
            QStringLiteral("Unit"), QStringLiteral("Basis")};
}

QString timeFormat()
{
    return QStringLiteral("yyyy-MM-dd hh:mm:ss");
}

QByteArray build(const QAbstractItemModel &table, JobProgress *progress)
{
    const int rows = std::min(table.rowCount(), MaxReadings);
    const int columns = std::min(table.columnCount(), XlsWorkbookWriter::MaxColumns);
    XlsWorkbookWriter writer;
    XlsCells cells(&writer);
    const std::vector<int> widths = ReadingsSheet::layOut(table, rows, columns, &cells, progress);
    if (progress && progress->isCancelled())
        return QByteArray();
    for (size_t c = 0; c < widths.size(); ++c)
        if (widths[c] > 0)
            writer.setColumnWidth(int(c), (widths[c] + 1) * 256);
    return writer.fileData();
}

} // namespace ReadingsWorkbook

bool writeReadingsWorkbook(const QString &path, const QAbstractItemModel &table, QString *error, JobProgress *progress)
{
    QString localError;
    QString &err = error ? *error : localError;
    const int rows = table.rowCount();
    if (rows > ReadingsWorkbook::MaxReadings) {
        err = QCoreApplication::translate("ReadingsWorkbook", "The table has %1 readings, but an Excel worksheet (.xls) holds at most %2 "
                 "readings below its header row.")
                      .arg(rows).arg(ReadingsWorkbook::MaxReadings);
        return false;
    }
    const QByteArray data = ReadingsWorkbook::build(table, progress);
    // Stopped: nothing is written, and a file of that name stays as it was.
    if (progress && progress->isCancelled())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        err = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool readFirstSheetUsedRange(const QString &path, QList<QVariantList> *rows, QString *error, int *firstRow)
{
    QString localError;
    QString &err = error ? *error : localError;
    rows->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err = file.errorString();
        return false;
    }
    if (file.size() > MaxWorkbookFileSize) {
        err = QCoreApplication::translate("ReadingsWorkbook", "The file is too large for a workbook.");
        return false;
    }
    const QByteArray data = file.readAll();
    if (data.size() != file.size()) {
        err = file.errorString();
        return false;
    }
    XlsUsedRange range;
    if (!readXlsFirstSheet(data, &range, &err))
        return false;
    *rows = range.rows;
    if (firstRow)
        *firstRow = range.firstRow;
    return true;
}

QString cellText(const QVariant &cell)
{
    if (!cell.isValid())
        return QString();
    if (cell.userType() == QMetaType::QDateTime)
        return cell.toDateTime().toString(ReadingsWorkbook::timeFormat());
    // QVariant gives doubles in their shortest exact form.
    return cell.toString();
}

bool readingFromRow(const QVariantList &row, ReadingSeries *readings)
{
    if (row.size() < 5)
        return false;
    const QVariant &timeCell = row.at(1);
    QDateTime time;
    if (timeCell.userType() == QMetaType::QDateTime)
        time = timeCell.toDateTime();
    else if (timeCell.userType() == QMetaType::QString)
        time = ExcelDate::parseDateTimeText(timeCell.toString());
    readings->appendText(cellText(row.at(2)), cellText(row.at(3)), cellText(row.at(4)), time);
    return true;
}
