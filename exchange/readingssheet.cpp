#include "exchange/readingssheet.h"

#include "data/jobprogress.h"

#include "exchange/exceldate.h"
#include "exchange/readingsworkbook.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

enum Column { NumberColumn = 0, TimeColumn = 1 };

using Format = ReadingsSheetCells::Format;

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

class Layout
{
public:
    Layout(int columns, ReadingsSheetCells *cells)
        : m_cells(cells), m_widths(size_t(std::max(columns, 5)), 0)
    {
    }

    void header()
    {
        const QStringList texts = ReadingsWorkbook::headerTexts();
        for (int c = 0; c < texts.size(); ++c)
            text(0, c, texts.at(c), Format::General);
    }

    // A value written into a cell of the given column, as the spreadsheet
    // takes it there.
    void value(int row, int column, const QVariant &v)
    {
        if (column == NumberColumn)
            general(row, column, v, Format::General);
        else if (column == TimeColumn)
            time(row, column, v);
        else if (v.userType() == QMetaType::QString || !isNumberType(v))
            textCell(row, column, v.toString());
        else
            number(row, column, v.toDouble(), Format::Text, v.toString());
    }

    std::vector<int> widths() const { return m_widths; }

private:
    void fit(int column, int units)
    {
        if (size_t(column) >= m_widths.size())
            m_widths.resize(size_t(column) + 1, 0);
        m_widths[size_t(column)] = std::max(m_widths[size_t(column)], units);
    }
    void text(int row, int column, const QString &s, Format format)
    {
        m_cells->text(row, column, s, format);
        fit(column, textUnits(s));
    }
    void number(int row, int column, double v, Format format, const QString &shown)
    {
        m_cells->number(row, column, v, format);
        fit(column, textUnits(shown));
    }
    // General cells: numbers, and texts that read as numbers, are numbers.
    void general(int row, int column, const QVariant &v, Format format)
    {
        if (!v.isValid())
            return;
        double n;
        if (isNumberType(v))
            number(row, column, v.toDouble(), format, v.toString());
        else if (v.userType() == QMetaType::QString && v.toString().isEmpty())
            m_cells->blank(row, column, format);
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
            number(row, column, serial, Format::Time, ReadingsWorkbook::timeFormat());
        else
            general(row, column, v, Format::Time);
    }
    // An empty text leaves the cell empty, with its format.
    void textCell(int row, int column, const QString &s)
    {
        if (s.isEmpty())
            m_cells->blank(row, column, Format::Text);
        else
            text(row, column, s, Format::Text);
    }

    ReadingsSheetCells *m_cells;
    std::vector<int> m_widths;
};

} // namespace

namespace ReadingsSheet {

// Rows between two looks at the progress.
constexpr int ProgressRows = 4096;

std::vector<int> layOut(const QAbstractItemModel &table, int rows, int columns, ReadingsSheetCells *cells,
                        JobProgress *progress)
{
    Layout layout(columns, cells);
    layout.header();
    for (int r = 0; r < rows; ++r) {
        if (progress && r % ProgressRows == 0) {
            if (progress->isCancelled())
                break;
            progress->setDone(r);
        }
        for (int c = 0; c < columns; ++c)
            layout.value(r + 1, c, table.data(table.index(r, c), Qt::DisplayRole));
    }
    return layout.widths();
}

} // namespace ReadingsSheet
