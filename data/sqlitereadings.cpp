#include "data/sqlitereadings.h"

#include "data/keptrow.h"
#include "data/readingseries.h"

#include <QVector>

#ifdef VK_SQLITE_DIRECT
#include <sqlite3.h>
#endif

#include <cmath>
#include <cstring>

bool SqliteReadings::available()
{
#ifdef VK_SQLITE_DIRECT
    return true;
#else
    return false;
#endif
}

#ifdef VK_SQLITE_DIRECT

namespace {

const char InsertSql[] = "INSERT INTO readings (item, seq, time, zone, value_um, value_mil, text_um, text_mil, "
                         "overload, unit, basis) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char SelectSql[] = "SELECT time, zone, value_um, value_mil, text_um, text_mil, overload, unit, basis "
                         "FROM readings WHERE item = ? ORDER BY seq";

void bindText(sqlite3_stmt *statement, int column, const QString &text)
{
    if (text.isNull()) {
        sqlite3_bind_null(statement, column);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, column, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
}

} // namespace

// The UTF-8 of each basis text of a series, made once.
class SqliteReadings::BasisBytes
{
public:
    const QByteArray &of(const ReadingSeries &readings, int i, quint16 index)
    {
        if (index >= m_bytes.size()) {
            m_bytes.resize(index + 1);
            m_made.resize(index + 1);
        }
        if (!m_made.at(index)) {
            m_bytes[index] = readings.basis(i).toUtf8();
            m_made[index] = true;
        }
        return m_bytes.at(index);
    }

private:
    QVector<QByteArray> m_bytes;
    QVector<bool> m_made;
};

namespace {

// Writes the text QString::number(value, 'f', decimals) gives for a value
// whose decimals came from its own text: value * 10^decimals then lies
// within far less than a half of the whole number that text's digits
// make, which is written with the point put back.
bool writeFixed(double value, int decimals, char *buffer, std::size_t size, int *length)
{
    static const double powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (!std::isfinite(value) || value == 0 || decimals > 15)
        return false;
    const double scaled = std::fabs(value) * powers[decimals];
    if (scaled >= 1e15)
        return false;
    unsigned long long digits = (unsigned long long)std::llround(scaled);
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = char('0' + digits % 10);
        digits /= 10;
    } while (digits != 0 || n <= decimals);
    if (std::size_t(n + 2) > size)
        return false;
    char *out = buffer;
    if (value < 0)
        *out++ = '-';
    for (int k = n - 1; k >= 0; --k) {
        *out++ = reversed[k];
        if (k == decimals && decimals > 0)
            *out++ = '.';
    }
    *length = int(out - buffer);
    return true;
}

QString columnText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return QString();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

// A text column read as the one before when its bytes are the same: a
// unit or basis repeats from row to row, and is then not made again.
class RepeatedText
{
public:
    const QString &read(sqlite3_stmt *statement, int column)
    {
        if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
            if (!m_null) {
                m_text = QString(QLatin1String(""));
                m_bytes.clear();
                m_null = true;
            }
            return m_text;
        }
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        if (m_null || size != m_bytes.size() || std::memcmp(text, m_bytes.constData(), size_t(size)) != 0) {
            m_bytes = QByteArray(text, size);
            m_text = QString::fromUtf8(m_bytes);
            m_null = false;
        }
        return m_text;
    }

private:
    QByteArray m_bytes;
    QString m_text;
    bool m_null = true;
};

} // namespace

SqliteReadings::SqliteReadings(const QVariant &handle)
{
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_db = *static_cast<sqlite3 *const *>(handle.data());
    m_groupSql = InsertSql;
    for (int row = 1; row < InsertGroup; ++row)
        m_groupSql += ", (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
}

SqliteReadings::~SqliteReadings()
{
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_insertGroup);
    sqlite3_finalize(m_select);
}

bool SqliteReadings::prepare(sqlite3_stmt **statement, const char *sql)
{
    if (*statement)
        return true;
    return sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) == SQLITE_OK || failed();
}

bool SqliteReadings::failed()
{
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

bool SqliteReadings::insert(qint64 item, const ReadingSeries &readings, int first, int end)
{
    // Rows go in groups: a statement's own cost is paid once per group.
    if (!prepare(&m_insert, InsertSql) || !prepare(&m_insertGroup, m_groupSql.constData()))
        return false;
    BasisBytes bases;
    char texts[InsertGroup][32];
    for (int i = first; i < end;) {
        const bool group = end - i >= InsertGroup;
        sqlite3_stmt *s = group ? m_insertGroup : m_insert;
        const int rows = group ? InsertGroup : 1;
        for (int k = 0; k < rows; ++k)
            bindRow(s, k * Columns, item, readings, i + k, &bases, texts[k]);
        const int result = sqlite3_step(s);
        sqlite3_reset(s);
        if (result != SQLITE_DONE)
            return failed();
        i += rows;
    }
    sqlite3_clear_bindings(m_insert);
    sqlite3_clear_bindings(m_insertGroup);
    return true;
}

void SqliteReadings::bindRow(sqlite3_stmt *s, int column, qint64 item, const ReadingSeries &readings, int i,
                             BasisBytes *bases, char *text)
{
    sqlite3_bind_int64(s, column + 1, item);
    sqlite3_bind_int64(s, column + 2, i);
    const ReadingRecord &r = readings.at(i);
    if (r.hasTime()) {
        sqlite3_bind_int64(s, column + 3, r.msecs);
        sqlite3_bind_int(s, column + 4, r.offset);
    } else {
        sqlite3_bind_null(s, column + 3);
        sqlite3_bind_null(s, column + 4);
    }
    if (!r.hasExtras() && !r.isOverload()) {
        // The usual reading, as keptRowOf() writes it, without a QString.
        const bool um = r.unit() == Unit::Micrometre;
        const double valueUm = r.valueUm();
        const double valueMil = r.valueMil();
        const bool ownText = um ? r.decimals != 0 : r.decimals != 2;
        int length = 0;
        if (!ownText || writeFixed(r.value, r.decimals, text, 32, &length)) {
            sqlite3_bind_double(s, column + 5, valueUm);
            if (valueMil != valueUm / MicrometresPerMil)
                sqlite3_bind_double(s, column + 6, valueMil);
            else
                sqlite3_bind_null(s, column + 6);
            if (ownText && um)
                sqlite3_bind_text(s, column + 7, text, length, SQLITE_STATIC);
            else
                sqlite3_bind_null(s, column + 7);
            if (ownText && !um)
                sqlite3_bind_text(s, column + 8, text, length, SQLITE_STATIC);
            else
                sqlite3_bind_null(s, column + 8);
            sqlite3_bind_int(s, column + 9, 0);
            sqlite3_bind_text(s, column + 10, um ? "um" : "mil", -1, SQLITE_STATIC);
            const QByteArray &basis = bases->of(readings, i, r.basis);
            sqlite3_bind_text(s, column + 11, basis.constData(), basis.size(), SQLITE_STATIC);
            return;
        }
    }
    const KeptRow row = keptRowOf(readings, i);
    // SQLite keeps NaN as NULL, as the file always had it.
    if (row.hasValueUm)
        sqlite3_bind_double(s, column + 5, row.valueUm);
    else
        sqlite3_bind_null(s, column + 5);
    if (row.hasValueMil)
        sqlite3_bind_double(s, column + 6, row.valueMil);
    else
        sqlite3_bind_null(s, column + 6);
    bindText(s, column + 7, row.textUm);
    bindText(s, column + 8, row.textMil);
    sqlite3_bind_int(s, column + 9, row.overload);
    bindText(s, column + 10, row.unit.isNull() ? QString(QLatin1String("")) : row.unit);
    bindText(s, column + 11, row.basis.isNull() ? QString(QLatin1String("")) : row.basis);
}

bool SqliteReadings::load(qint64 item, ReadingSeries *readings)
{
    if (!prepare(&m_select, SelectSql))
        return false;
    sqlite3_stmt *s = m_select;
    sqlite3_bind_int64(s, 1, item);
    RepeatedText unit, basis;
    KeptRow row;
    int result;
    while ((result = sqlite3_step(s)) == SQLITE_ROW) {
        row.timed = sqlite3_column_type(s, 0) != SQLITE_NULL;
        row.time = sqlite3_column_int64(s, 0);
        row.zone = sqlite3_column_int(s, 1);
        row.hasValueUm = sqlite3_column_type(s, 2) != SQLITE_NULL;
        row.valueUm = sqlite3_column_double(s, 2);
        row.hasValueMil = sqlite3_column_type(s, 3) != SQLITE_NULL;
        row.valueMil = sqlite3_column_double(s, 3);
        row.textUm = columnText(s, 4);
        row.textMil = columnText(s, 5);
        row.overload = sqlite3_column_int(s, 6);
        row.unit = unit.read(s, 7);
        row.basis = basis.read(s, 8);
        appendKeptRow(row, readings);
    }
    sqlite3_reset(s);
    return result == SQLITE_DONE || failed();
}

#else

SqliteReadings::SqliteReadings(const QVariant &)
{
}

SqliteReadings::~SqliteReadings() = default;

bool SqliteReadings::prepare(sqlite3_stmt **, const char *)
{
    return false;
}

bool SqliteReadings::failed()
{
    return false;
}

bool SqliteReadings::insert(qint64, const ReadingSeries &, int, int)
{
    return false;
}

void SqliteReadings::bindRow(sqlite3_stmt *, int, qint64, const ReadingSeries &, int, BasisBytes *, char *)
{
}

bool SqliteReadings::load(qint64, ReadingSeries *)
{
    return false;
}

#endif
