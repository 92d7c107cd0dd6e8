#include "exchange/readingsworkbook.h"

#include "data/dmmdata.h"
#include "exchange/exceldate.h"
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

enum Column { NumberColumn = 0, TimeColumn = 1 };

// Files beyond this are no readings workbook; reading them whole would
// only exhaust memory.
constexpr qint64 MaxWorkbookFileSize = qint64(512) * 1024 * 1024;


bool isNumberType(const QVariant &v)
{
    switch (v.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool parseNumber(const QString &text, double *value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

// Width of a text in character cells: East Asian wide characters take two.
int textUnits(const QString &text)
{
    int units = 0;
    for (QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF)
                || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF)
                || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
                || (u >= 0xFFE0 && u <= 0xFFE6);
        units += wide ? 2 : 1;
    }
    return units;
}

class SheetBuilder
{
public:
    explicit SheetBuilder(int columns)
        : m_widths(size_t(std::max(columns, 5)), 0)
    {
        m_timeFormat = m_writer.cellFormat(ReadingsWorkbook::timeFormat());
        m_textFormat = m_writer.cellFormat(QStringLiteral("@"));
    }

    void header()
    {
        const QStringList texts = ReadingsWorkbook::headerTexts();
        for (int c = 0; c < texts.size(); ++c)
            text(0, c, texts.at(c), XlsWorkbookWriter::GeneralFormat);
    }

    // A value written into a cell of the given column, as the spreadsheet
    // takes it there.
    void value(int row, int column, const QVariant &v)
    {
        if (column == NumberColumn)
            general(row, column, v, XlsWorkbookWriter::GeneralFormat);
        else if (column == TimeColumn)
            time(row, column, v);
        else if (v.userType() == QMetaType::QString || !isNumberType(v))
            textCell(row, column, v.toString());
        else
            number(row, column, v.toDouble(), m_textFormat, v.toString());
    }

    QByteArray finish()
    {
        for (size_t c = 0; c < m_widths.size(); ++c)
            if (m_widths[c] > 0)
                m_writer.setColumnWidth(int(c), (m_widths[c] + 1) * 256);
        return m_writer.fileData();
    }

private:
    void fit(int column, int units)
    {
        if (size_t(column) >= m_widths.size())
            m_widths.resize(size_t(column) + 1, 0);
        m_widths[size_t(column)] = std::max(m_widths[size_t(column)], units);
    }
    void text(int row, int column, const QString &s, int format)
    {
        m_writer.addText(row, column, s, format);
        fit(column, textUnits(s));
    }
    void number(int row, int column, double v, int format, const QString &shown)
    {
        m_writer.addNumber(row, column, v, format);
        fit(column, textUnits(shown));
    }
    // General cells: numbers, and texts that read as numbers, are numbers.
    void general(int row, int column, const QVariant &v, int format)
    {
        if (!v.isValid())
            return;
        double n;
        if (isNumberType(v))
            number(row, column, v.toDouble(), format, v.toString());
        else if (v.userType() == QMetaType::QString && v.toString().isEmpty())
            m_writer.addBlank(row, column, format);
        else if (parseNumber(v.toString(), &n))
            number(row, column, n, format, cellText(n));
        else
            text(row, column, v.toString(), format);
    }
    void time(int row, int column, const QVariant &v)
    {
        double serial;
        bool isDate = false;
        if (v.userType() == QMetaType::QDateTime)
            isDate = ExcelDate::toSerial(v.toDateTime(), ExcelDate::System::Date1900, &serial);
        else if (v.userType() == QMetaType::QString)
            isDate = ExcelDate::textToSerial(v.toString(), ExcelDate::System::Date1900, &serial);
        if (isDate)
            number(row, column, serial, m_timeFormat, ReadingsWorkbook::timeFormat());
        else
            general(row, column, v, m_timeFormat);
    }
    // An empty text leaves the cell empty, with its format.
    void textCell(int row, int column, const QString &s)
    {
        if (s.isEmpty())
            m_writer.addBlank(row, column, m_textFormat);
        else
            text(row, column, s, m_textFormat);
    }

    XlsWorkbookWriter m_writer;
    int m_timeFormat = 0;
    int m_textFormat = 0;
    std::vector<int> m_widths;
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

QByteArray build(const QAbstractItemModel &table)
{
    const int rows = std::min(table.rowCount(), MaxReadings);
    const int columns = std::min(table.columnCount(), XlsWorkbookWriter::MaxColumns);
    SheetBuilder sheet(columns);
    sheet.header();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            sheet.value(r + 1, c, table.data(table.index(r, c), Qt::DisplayRole));
    return sheet.finish();
}

} // namespace ReadingsWorkbook

bool writeReadingsWorkbook(const QString &path, const QAbstractItemModel &table, QString *error)
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
    const QByteArray data = ReadingsWorkbook::build(table);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        err = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool readFirstSheetUsedRange(const QString &path, QList<QVariantList> *rows, QString *error)
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

DmmData *readingFromRow(const QVariantList &row)
{
    if (row.size() < 5)
        return nullptr;
    const QVariant &timeCell = row.at(1);
    QDateTime time;
    if (timeCell.userType() == QMetaType::QDateTime)
        time = timeCell.toDateTime();
    else if (timeCell.userType() == QMetaType::QString)
        time = ExcelDate::parseDateTimeText(timeCell.toString());
    return Reading::make(cellText(row.at(2)), cellText(row.at(3)), cellText(row.at(4)), time);
}
