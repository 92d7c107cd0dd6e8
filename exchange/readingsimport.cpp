#include "exchange/readingsimport.h"

#include "data/dmmdata.h"
#include "exchange/readingsworkbook.h"
#include "exchange/tablefile.h"
#include "exchange/timetexts.h"

#include <QDateTime>
#include <QStringList>

#include <array>
#include <cmath>

namespace {

enum Field { NumberField, TimeField, ValueField, UnitField, BasisField, FieldCount };
using Columns = std::array<int, FieldCount>;

// A header row is looked for among the first rows, below title lines.
constexpr int HeaderSearchRows = 10;
// Rows named per reason in the report.
constexpr int ReportedRows = 5;

// The field a header cell names: the table's English headers or their
// Chinese texts, any case, blanks around them; -1 for any other cell.
int headerField(const QVariant &cell)
{
    static const std::array<QStringList, FieldCount> names = {
            QStringList{QStringLiteral("no."), QString::fromUtf8("序号")},
            QStringList{QStringLiteral("time"), QString::fromUtf8("时间")},
            QStringList{QStringLiteral("value"), QString::fromUtf8("数值")},
            QStringList{QStringLiteral("unit"), QString::fromUtf8("单位")},
            QStringList{QStringLiteral("basis"), QString::fromUtf8("基体")}};
    if (cell.userType() != QMetaType::QString)
        return -1;
    const QString text = cell.toString().trimmed().toCaseFolded();
    for (int f = 0; f < FieldCount; ++f)
        if (names[size_t(f)].contains(text))
            return f;
    return -1;
}

// The columns a header row names, when it names the value and the time or
// the unit.
bool headerColumns(const QVariantList &row, Columns *columns)
{
    Columns found;
    found.fill(-1);
    for (int c = 0; c < row.size(); ++c) {
        const int f = headerField(row.at(c));
        if (f >= 0 && found[size_t(f)] < 0)
            found[size_t(f)] = c;
    }
    if (found[ValueField] < 0 || (found[TimeField] < 0 && found[UnitField] < 0))
        return false;
    *columns = found;
    return true;
}

bool isEmptyCell(const QVariant &cell)
{
    return !cell.isValid() || (cell.userType() == QMetaType::QString && cell.toString().trimmed().isEmpty());
}

// The value text as the reading keeps it: the number in C notation, or
// the overload marker; false when it is neither.
bool valueText(QString text, bool decimalComma, QString *value)
{
    text = text.trimmed();
    if (text.compare(QLatin1String("OL"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("-OL"), Qt::CaseInsensitive) == 0) {
        *value = text.toUpper();
        return true;
    }
    if (decimalComma && text.count(QLatin1Char(',')) == 1 && !text.contains(QLatin1Char('.')))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = text;
    return true;
}

// Units repeat from row to row: the kinds of the last few texts are kept.
class UnitKinds
{
public:
    Reading::UnitKind kind(const QString &text)
    {
        for (const Entry &e : m_entries)
            if (e.known && e.text == text)
                return e.kind;
        Entry &e = m_entries[m_next];
        m_next = (m_next + 1) % m_entries.size();
        e = {text, Reading::unitKind(text), true};
        return e.kind;
    }

private:
    struct Entry
    {
        QString text;
        Reading::UnitKind kind = Reading::UnitKind::Unknown;
        bool known = false;
    };
    std::array<Entry, 4> m_entries;
    size_t m_next = 0;
};

} // namespace

ReadingsImport::ReadingsImport(const TableFile::Rows &rows)
{
    readRows(rows);
}

ReadingsImport::~ReadingsImport() = default;

int ReadingsImport::rejectedFor(Reason reason) const
{
    return m_reasons[int(reason)].count;
}

ReadingSeries ReadingsImport::takeReadings()
{
    ReadingSeries readings;
    std::swap(readings, m_readings);
    return readings;
}

void ReadingsImport::reject(Reason reason, int sheetRow)
{
    Rejections &r = m_reasons[int(reason)];
    ++r.count;
    if (r.rows.size() < ReportedRows)
        r.rows << sheetRow;
    ++m_rejected;
}

void ReadingsImport::readRows(const TableFile::Rows &rows)
{
    // Columns by header, else by the readings layout's positions.
    Columns columns = {0, 1, 2, 3, 4};
    bool byHeader = false;
    int first = 1;
    for (int r = 0; r < rows.size() && r < HeaderSearchRows && !byHeader; ++r) {
        if (headerColumns(rows.at(r), &columns)) {
            byHeader = true;
            first = r + 1;
        }
    }

    // The order of day and month is taken from the whole file, once the
    // first date that needs it turns up.
    TimeTexts times;
    bool observed = false;
    auto observeAll = [&]() {
        for (int r = first; r < rows.size(); ++r) {
            const QVariant cell = rows.at(r).value(columns[TimeField]);
            if (cell.userType() == QMetaType::QString)
                times.observe(cell.toString());
        }
        observed = true;
    };

    const bool decimalComma = !rows.commaSeparated();
    UnitKinds units;
    m_readings.reserve(std::max(0, rows.size() - first));
    for (int r = first; r < rows.size(); ++r) {
        const QVariantList row = rows.at(r);
        const int sheetRow = rows.firstRow() + r + 1;
        const QVariant timeCell = row.value(columns[TimeField]);
        const QVariant valueCell = row.value(columns[ValueField]);
        if (isEmptyCell(timeCell) && isEmptyCell(valueCell)) {
            ++m_skipped;
            continue;
        }
        if (!byHeader && row.size() < FieldCount) {
            reject(Reason::RowTooShort, sheetRow);
            continue;
        }
        QString value;
        if (isEmptyCell(valueCell)) {
            reject(Reason::ValueMissing, sheetRow);
            continue;
        }
        if (!valueText(cellText(valueCell), decimalComma, &value)) {
            reject(Reason::ValueNotNumber, sheetRow);
            continue;
        }
        const QString unitText = cellText(row.value(columns[UnitField]));
        const Reading::UnitKind unit = units.kind(unitText);
        if (unit == Reading::UnitKind::Unknown) {
            reject(unitText.trimmed().isEmpty() ? Reason::UnitMissing : Reason::UnitUnknown, sheetRow);
            continue;
        }
        QDateTime time;
        bool timeRead = true;
        if (timeCell.userType() == QMetaType::QDateTime) {
            time = timeCell.toDateTime();
        } else if (timeCell.userType() == QMetaType::QString) {
            const QString text = timeCell.toString();
            if (!observed && TimeTexts::needsOrder(text))
                observeAll();
            timeRead = times.read(text, &time);
        } else {
            timeRead = !timeCell.isValid();
        }
        if (!timeRead) {
            reject(Reason::TimeUnreadable, sheetRow);
            continue;
        }
        const QString unitName = unit == Reading::UnitKind::Micrometre ? QStringLiteral("um") : QStringLiteral("mil");
        m_readings.appendText(value, unitName, cellText(row.value(columns[BasisField])), time);
    }
    m_imported = m_readings.size();
}

QString ReadingsImport::reasonText(Reason reason)
{
    switch (reason) {
    case Reason::RowTooShort:
        return tr("the row has fewer than five cells");
    case Reason::ValueMissing:
        return tr("value is missing");
    case Reason::ValueNotNumber:
        return tr("value is not a number");
    case Reason::UnitMissing:
        return tr("unit is missing");
    case Reason::UnitUnknown:
        return tr("unit is not known");
    case Reason::TimeUnreadable:
        return tr("time cannot be read");
    }
    return QString();
}

QString ReadingsImport::rowsText(const Rejections &rejections)
{
    QStringList numbers;
    for (int row : rejections.rows)
        numbers << QString::number(row);
    if (rejections.count == 1)
        return tr("row %1").arg(numbers.first());
    if (rejections.count > numbers.size())
        return tr("rows %1 and %2 more").arg(numbers.join(QStringLiteral(", "))).arg(rejections.count - numbers.size());
    const QString last = numbers.takeLast();
    return tr("rows %1 and %2").arg(numbers.join(QStringLiteral(", ")), last);
}

QString ReadingsImport::report() const
{
    QStringList lines;
    lines << tr("Rows imported: %1; skipped as blank: %2; rejected: %3.").arg(imported()).arg(m_skipped).arg(m_rejected);
    for (int reason = 0; reason < 6; ++reason)
        if (m_reasons[reason].count > 0)
            lines << tr("%1: %2").arg(rowsText(m_reasons[reason]), reasonText(Reason(reason)));
    return lines.join(QLatin1Char('\n'));
}
