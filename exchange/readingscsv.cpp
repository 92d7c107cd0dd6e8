#include "exchange/readingscsv.h"

#include "exchange/readingsworkbook.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDateTime>
#include <QSaveFile>
#include <QTextCodec>

#include <algorithm>

namespace {

constexpr ushort Quote = '"';
constexpr ushort CR = '\r';
constexpr ushort LF = '\n';

bool needsQuotes(const QString &text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isSpace() || text.back().isSpace())
        return true;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == ',' || u == ';' || u == '\t' || u == Quote || u == CR || u == LF)
            return true;
    }
    return false;
}

void appendField(QString *out, const QString &text)
{
    if (!needsQuotes(text)) {
        out->append(text);
        return;
    }
    out->append(QLatin1Char('"'));
    for (const QChar c : text) {
        if (c.unicode() == Quote)
            out->append(QLatin1Char('"'));
        out->append(c);
    }
    out->append(QLatin1Char('"'));
}

// A "sep=X" first line, as spreadsheets write it to name the separator.
bool separatorLine(const QString &text, QChar *separator, int *length)
{
    if (text.size() < 5 || !text.startsWith(QLatin1String("sep="), Qt::CaseInsensitive))
        return false;
    if (text.size() > 5 && text.at(5) != QLatin1Char('\r') && text.at(5) != QLatin1Char('\n'))
        return false;
    *separator = text.at(4);
    *length = 5;
    if (text.size() > 5 && text.at(5) == QLatin1Char('\r'))
        ++*length;
    if (text.size() > *length && text.at(*length) == QLatin1Char('\n'))
        ++*length;
    return true;
}

// The bytes decoded, false when the codec meets a byte it cannot read.
bool decodeAs(const char *codecName, const QByteArray &data, QString *text)
{
    QTextCodec *codec = QTextCodec::codecForName(codecName);
    if (!codec)
        return false;
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QString decoded = codec->toUnicode(data.constData(), data.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0)
        return false;
    // Windows-1252 leaves five bytes undefined; they come out as controls.
    for (const QChar c : decoded)
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            return false;
    *text = decoded;
    return true;
}

enum class GbShape { Invalid, Chinese, Mixed };

// How the bytes fit GB18030. Chinese text keeps both bytes of a character
// above 0x80; a Western text read as GB18030 pairs a letter such as "µ" or
// "é" with the plain letter after it, which only rare characters do.
GbShape gbShape(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const int n = data.size();
    bool mixed = false;
    for (int i = 0; i < n;) {
        const uchar b = p[i];
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80 || b == 0xFF || i + 1 >= n) {
            return GbShape::Invalid;
        } else if (p[i + 1] >= 0x30 && p[i + 1] <= 0x39) { // a four-byte character
            if (i + 3 >= n || p[i + 2] < 0x81 || p[i + 2] > 0xFE || p[i + 3] < 0x30 || p[i + 3] > 0x39)
                return GbShape::Invalid;
            i += 4;
        } else if (p[i + 1] >= 0x40 && p[i + 1] != 0x7F && p[i + 1] != 0xFF) {
            mixed = mixed || p[i + 1] < 0x80;
            i += 2;
        } else {
            return GbShape::Invalid;
        }
    }
    return mixed ? GbShape::Mixed : GbShape::Chinese;
}

} // namespace

namespace ReadingsCsv {

QString field(const QString &text)
{
    QString out;
    appendField(&out, text);
    return out;
}

QChar separatorOf(const QString &text)
{
    QChar named;
    int length;
    if (separatorLine(text, &named, &length))
        return named;
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == Quote)
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (u == CR || u == LF)
            break;
        else if (u == ',')
            ++comma;
        else if (u == ';')
            ++semicolon;
        else if (u == '\t')
            ++tab;
    }
    if (semicolon > comma && semicolon >= tab)
        return QLatin1Char(';');
    if (tab > comma && tab > semicolon)
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

bool decode(const QByteArray &data, QString *text)
{
    if (data.startsWith("\xEF\xBB\xBF")) {
        *text = QString::fromUtf8(data.constData() + 3, data.size() - 3);
        return true;
    }
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        *text = QTextCodec::codecForUtfText(data)->toUnicode(data.constData() + 2, data.size() - 2);
        return true;
    }
    const GbShape gb = gbShape(data);
    if (decodeAs("UTF-8", data, text))
        return true;
    if (gb == GbShape::Chinese && decodeAs("GB18030", data, text))
        return true;
    if (decodeAs("Windows-1252", data, text))
        return true;
    return gb != GbShape::Invalid && decodeAs("GB18030", data, text);
}

} // namespace ReadingsCsv

bool writeReadingsCsv(const QString &path, const QAbstractItemModel &table, QString *error)
{
    QString localError;
    QString &err = error ? *error : localError;
    if (table.rowCount() > ReadingsCsv::MaxReadings) {
        err = QCoreApplication::translate("ReadingsCsv", "The table has %1 readings, but a CSV file is written with at most %2 readings (and read with at most %3 fields).")
                      .arg(table.rowCount())
                      .arg(ReadingsCsv::MaxReadings)
                      .arg(ReadingsCsv::MaxFields);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        err = file.errorString();
        return false;
    }
    QString text;
    auto flush = [&]() {
        const QByteArray bytes = text.toUtf8();
        text.resize(0);
        return file.write(bytes) == bytes.size();
    };
    bool ok = file.write("\xEF\xBB\xBF", 3) == 3;
    const int columns = table.columnCount();
    const QStringList header = ReadingsWorkbook::headerTexts();
    for (int r = -1; r < table.rowCount() && ok; ++r) {
        for (int c = 0; c < (r < 0 ? header.size() : columns); ++c) {
            if (c)
                text.append(QLatin1Char(','));
            appendField(&text, r < 0 ? header.at(c) : cellText(table.data(table.index(r, c), Qt::DisplayRole)));
        }
        text.append(QLatin1String("\r\n"));
        if (text.size() > (1 << 16))
            ok = flush();
    }
    ok = ok && flush();
    if (!ok || !file.commit()) {
        err = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool CsvTable::parse(const QByteArray &data, QString *error, int maxCells)
{
    *this = CsvTable();
    QString localError;
    QString &err = error ? *error : localError;
    if (!ReadingsCsv::decode(data, &m_text)) {
        *this = CsvTable();
        err = QCoreApplication::translate("ReadingsCsv", "The file's text is neither UTF-8 nor GB18030 nor Windows-1252.");
        return false;
    }
    QChar named;
    int skip = 0;
    separatorLine(m_text, &named, &skip);
    m_separator = ReadingsCsv::separatorOf(m_text);
    const ushort sep = m_separator.unicode();

    const ushort *const begin = reinterpret_cast<const ushort *>(m_text.constData());
    const ushort *const end = begin + m_text.size();
    const ushort *p = begin + skip;
    auto fieldEnd = [&](const ushort *q) {
        while (q < end && *q != sep && *q != CR && *q != LF)
            ++q;
        return q;
    };
    m_fields.reserve(size_t(m_text.size() / 8));
    int top = -1, bottom = -1, left = -1, right = -1;
    int line = 1;
    while (p < end) {
        const int record = int(m_records.size());
        m_records.push_back(m_fields.size());
        for (int column = 0;; ++column) {
            Field field{int(p - begin), 0};
            if (*p == Quote) {
                const int opened = line;
                const ushort *q = ++p;
                QString value;
                for (;;) {
                    while (q < end && *q != Quote)
                        line += *q++ == LF;
                    if (q == end) {
                        *this = CsvTable();
                        err = QCoreApplication::translate("ReadingsCsv", "The file is damaged: the quoted field that begins on line %1 is not closed.")
                                      .arg(opened);
                        return false;
                    }
                    if (q + 1 < end && q[1] == Quote) { // a doubled quote
                        value.append(reinterpret_cast<const QChar *>(p), int(q + 1 - p));
                        p = q += 2;
                        continue;
                    }
                    break;
                }
                // Whatever follows the closing quote belongs to the field.
                const ushort *after = fieldEnd(q + 1);
                if (value.isEmpty() && after == q + 1) {
                    field = {int(p - begin), int(q - p)}; // the text between the quotes
                } else {
                    value.append(reinterpret_cast<const QChar *>(p), int(q - p));
                    value.append(reinterpret_cast<const QChar *>(q + 1), int(after - q - 1));
                    field = {-1 - m_unquoted.size(), value.size()};
                    m_unquoted.append(value);
                }
                p = after;
            } else {
                p = fieldEnd(p);
                field.length = int(p - begin) - field.start;
            }
            if (m_fields.size() >= size_t(maxCells)) {
                *this = CsvTable();
                err = QCoreApplication::translate("ReadingsCsv", "The file has more than %1 fields, more than can be read; a CSV export holds at most %2 readings.")
                              .arg(maxCells)
                              .arg(ReadingsCsv::MaxReadings);
                return false;
            }
            m_fields.push_back(field);
            if (field.length > 0) {
                if (top < 0)
                    top = record;
                bottom = record;
                left = left < 0 ? column : std::min(left, column);
                right = std::max(right, column);
            }
            if (p < end && *p == sep) {
                ++p;
                continue;
            }
            break;
        }
        if (p < end && *p == CR)
            ++p;
        if (p < end && *p == LF)
            ++p;
        ++line;
    }
    m_records.push_back(m_fields.size());
    m_fields.shrink_to_fit();
    if (top < 0) {
        *this = CsvTable();
        return true;
    }
    const qint64 cells = qint64(bottom - top + 1) * (right - left + 1);
    if (cells > maxCells) {
        *this = CsvTable();
        err = QCoreApplication::translate("ReadingsCsv", "The used range of the file is too large: %1 cells, at most %2 can be read.")
                      .arg(cells)
                      .arg(maxCells);
        return false;
    }
    m_top = top;
    m_rows = bottom - top + 1;
    m_left = left;
    m_columns = right - left + 1;
    return true;
}

QVariantList CsvTable::row(int r) const
{
    // The cells of the row asked for last are overwritten in place while
    // nobody else holds them: no list and no cell is allocated anew.
    if (m_row.size() != m_columns) {
        m_row.clear();
        for (int c = 0; c < m_columns; ++c)
            m_row.append(QVariant());
    }
    const size_t first = m_records[size_t(m_top + r)];
    const size_t count = m_records[size_t(m_top + r) + 1] - first;
    for (int c = 0; c < m_columns; ++c) {
        const size_t index = size_t(m_left + c);
        const Field *f = index < count ? &m_fields[first + index] : nullptr;
        if (!f || f->length == 0)
            m_row[c] = QVariant();
        else if (f->start < 0)
            m_row[c] = m_unquoted.at(-1 - f->start);
        else
            m_row[c] = recentText(c, f->start, f->length);
    }
    return m_row;
}

// Units and bases repeat from reading to reading: the short texts each
// column had lately are handed out again instead of copied once more.
QString CsvTable::recentText(int column, int start, int length) const
{
    const QChar *text = m_text.constData() + start;
    if (length > 8 || column >= RecentColumns)
        return QString(text, length);
    QString *seen = m_recent[column];
    for (int i = 0; i < RecentTexts; ++i)
        if (seen[i].size() == length && std::equal(text, text + length, seen[i].constData()))
            return seen[i];
    int &next = m_nextRecent[column];
    seen[next] = QString(text, length);
    const int used = next;
    next = (next + 1) % RecentTexts;
    return seen[used];
}

QList<QVariantList> CsvTable::rows() const
{
    QList<QVariantList> all;
    all.reserve(m_rows);
    for (int r = 0; r < m_rows; ++r)
        all.append(row(r));
    return all;
}
