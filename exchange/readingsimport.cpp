#include "exchange/readingsimport.h"

#include "data/jobprogress.h"

#include "data/dmmdata.h"
#include "exchange/readingsworkbook.h"
#include "exchange/sheetrows.h"
#include "exchange/timetexts.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

enum Field { NumberField, TimeField, ValueField, UnitField, BasisField, FieldCount };
using Columns = std::array<int, FieldCount>;

// A header row is looked for among the first rows, below title lines.
constexpr int HeaderSearchRows = 10;
// Rows named per reason in the report.
constexpr int ReportedRows = 5;
// Rows between two looks at the progress.
constexpr int ProgressRows = 4096;

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

// A row among the first ones, held whole while the header is sought: the
// rows above the data are few.
struct HeldRow
{
    int sheetRow;
    std::vector<std::pair<int, QVariant>> cells; // sheet column and value, by column

    explicit HeldRow(const SheetRows &rows) : sheetRow(rows.row())
    {
        cells.reserve(size_t(rows.cellCount()));
        for (int i = 0; i < rows.cellCount(); ++i)
            cells.emplace_back(rows.column(i), rows.value(i));
    }
    QVariant cell(int column) const
    {
        const auto at = std::lower_bound(cells.begin(), cells.end(), column,
                                         [](const std::pair<int, QVariant> &c, int col) { return c.first < col; });
        return at != cells.end() && at->first == column ? at->second : QVariant();
    }
    int firstColumn() const { return cells.empty() ? 0 : cells.front().first; }
    int lastColumn() const { return cells.empty() ? 0 : cells.back().first; }
};

// The cells of a row that the import reads.
struct RowCells
{
    int sheetRow;
    int lastColumn;
    QVariant time, value, unit, basis;
};

template <typename Row>
RowCells rowCells(const Row &row, int sheetRow, int lastColumn, const Columns &columns)
{
    return {sheetRow, lastColumn, row.cell(columns[TimeField]), row.cell(columns[ValueField]),
            row.cell(columns[UnitField]), row.cell(columns[BasisField])};
}

// The columns a header row names, when it names the value and the time or
// the unit.
bool headerColumns(const HeldRow &row, Columns *columns)
{
    Columns found;
    found.fill(-1);
    for (const auto &c : row.cells) {
        const int f = headerField(c.second);
        if (f >= 0 && found[size_t(f)] < 0)
            found[size_t(f)] = c.first;
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

ReadingsImport::ReadingsImport(SheetRows &rows, JobProgress *progress)
{
    if (progress)
        progress->beginStep(tr("Importing readings…"), rows.rowsHint());
    readRows(rows, progress);
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

void ReadingsImport::readRows(SheetRows &rows, JobProgress *progress)
{
    // The first rows are held while the header is sought among them.
    std::vector<HeldRow> window;
    int taken = 0; // rows taken from the sheet so far
    auto advance = [&]() {
        if (!rows.next())
            return false;
        ++taken;
        return true;
    };
    bool more = advance();
    const int top = more ? rows.row() : 0;
    while (more && rows.row() - top < HeaderSearchRows) {
        window.emplace_back(rows);
        more = advance();
    }

    // Columns by header, else by the readings layout's positions from the
    // leftmost cell of the first rows.
    Columns columns = {0, 1, 2, 3, 4};
    bool byHeader = false;
    size_t header = 0; // the header row, or the first row above positional data
    for (size_t i = 0; i < window.size() && !byHeader; ++i) {
        if (headerColumns(window[i], &columns)) {
            byHeader = true;
            header = i;
        }
    }
    int left = 0, widest = 0;
    if (!byHeader && !window.empty()) {
        left = window.front().firstColumn();
        for (const HeldRow &row : window)
            left = std::min(left, row.firstColumn());
        for (int f = 0; f < FieldCount; ++f)
            columns[size_t(f)] = left + f;
        for (const HeldRow &row : window)
            widest = std::max(widest, row.lastColumn() - left + 1);
    }

    // The order of day and month is taken from the whole file, once the
    // first date that needs it turns up: the rows are read once more for
    // it, and then up to where they were.
    TimeTexts times;
    bool observed = false;
    auto observeAll = [&]() {
        observed = true;
        bool ok = rows.rewind();
        for (int n = 1; ok && rows.next(); ++n) {
            const QVariant cell = n > int(header) + 1 ? rows.cell(columns[TimeField]) : QVariant();
            if (cell.userType() == QMetaType::QString)
                times.observe(cell.toString());
        }
        ok = ok && rows.errorString().isEmpty() && rows.rewind();
        for (int n = 0; ok && n < taken; ++n)
            ok = rows.next();
    };

    const bool decimalComma = !rows.commaSeparated();
    UnitKinds units;
    int previousRow = window.empty() ? 0 : window[header].sheetRow;
    auto readRow = [&](const RowCells &cells) {
        // Rows between that hold no cell are blank rows.
        m_skipped += std::max(0, cells.sheetRow - previousRow - 1);
        previousRow = cells.sheetRow;
        widest = std::max(widest, cells.lastColumn - left + 1);
        const int sheetRow = cells.sheetRow + 1;
        if (isEmptyCell(cells.time) && isEmptyCell(cells.value)) {
            ++m_skipped;
            return;
        }
        if (!byHeader && widest < FieldCount) {
            reject(Reason::RowTooShort, sheetRow);
            return;
        }
        QString value;
        if (isEmptyCell(cells.value)) {
            reject(Reason::ValueMissing, sheetRow);
            return;
        }
        if (!valueText(cellText(cells.value), decimalComma, &value)) {
            reject(Reason::ValueNotNumber, sheetRow);
            return;
        }
        const QString unitText = cellText(cells.unit);
        const Reading::UnitKind unit = units.kind(unitText);
        if (unit == Reading::UnitKind::Unknown) {
            reject(unitText.trimmed().isEmpty() ? Reason::UnitMissing : Reason::UnitUnknown, sheetRow);
            return;
        }
        QDateTime time;
        bool timeRead = true;
        if (cells.time.userType() == QMetaType::QDateTime) {
            time = cells.time.toDateTime();
        } else if (cells.time.userType() == QMetaType::QString) {
            const QString text = cells.time.toString();
            if (!observed && TimeTexts::needsOrder(text))
                observeAll();
            timeRead = times.read(text, &time);
        } else {
            timeRead = !cells.time.isValid();
        }
        if (!timeRead) {
            reject(Reason::TimeUnreadable, sheetRow);
            return;
        }
        const QString unitName = unit == Reading::UnitKind::Micrometre ? QStringLiteral("um") : QStringLiteral("mil");
        m_readings.appendText(value, unitName, cellText(cells.basis), time);
    };

    for (size_t i = header + 1; i < window.size(); ++i)
        readRow(rowCells(window[i], window[i].sheetRow, window[i].lastColumn(), columns));
    window.clear();
    while (more && rows.errorString().isEmpty()) {
        readRow(rowCells(rows, rows.row(), rows.column(rows.cellCount() - 1), columns));
        more = advance();
        if (progress && taken % ProgressRows == 0) {
            progress->setDone(taken);
            if (progress->isCancelled()) {
                m_cancelled = true;
                break;
            }
        }
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
