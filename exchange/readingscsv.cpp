#include "exchange/readingscsv.h"

#include "data/jobprogress.h"

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

bool writeReadingsCsv(const QString &path, const QAbstractItemModel &table, QString *error, JobProgress *progress)
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
        if (progress && r % 4096 == 0) {
            // Stopped: the file is not written, a file of that name stays.
            if (progress->isCancelled()) {
                file.cancelWriting();
                return false;
            }
            progress->setDone(r);
        }
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

bool CsvTable::parse(const QByteArray &data, QString *error, int maxFields, JobProgress *progress)
{
    QString localError;
    QString &err = error ? *error : localError;
    m_text.clear();
    clearError();
    if (!ReadingsCsv::decode(data, &m_text)) {
        m_text.clear();
        err = QCoreApplication::translate("ReadingsCsv", "The file's text is neither UTF-8 nor GB18030 nor Windows-1252.");
        return false;
    }
    QChar named;
    m_begin = 0;
    separatorLine(m_text, &named, &m_begin);
    m_separator = ReadingsCsv::separatorOf(m_text);
    m_maxFields = maxFields;
    // Every record is checked once here, so that the rows later handed out
    // hold no surprise.
    rewind();
    while (scanRecord()) {
        if (progress && m_record % 16384 == 0 && progress->isCancelled()) {
            m_text.clear();
            rewind();
            return false;
        }
    }
    m_records = m_record;
    if (!errorString().isEmpty()) {
        err = errorString();
        m_text.clear();
        rewind();
        return false;
    }
    return rewind();
}

bool CsvTable::rewind()
{
    m_position = m_begin;
    m_record = 0;
    m_line = 1;
    m_fields = 0;
    m_cells.clear();
    m_unquoted.clear();
    return errorString().isEmpty();
}

bool CsvTable::next()
{
    while (scanRecord())
        if (!m_cells.empty())
            return true;
    return false;
}

bool CsvTable::scanRecord()
{
    m_cells.clear();
    m_unquoted.clear();
    const ushort *const begin = reinterpret_cast<const ushort *>(m_text.constData());
    const ushort *const end = begin + m_text.size();
    const ushort *p = begin + m_position;
    if (p >= end)
        return false;
    const ushort sep = m_separator.unicode();
    auto fieldEnd = [&](const ushort *q) {
        while (q < end && *q != sep && *q != CR && *q != LF)
            ++q;
        return q;
    };
    m_row = m_record++;
    for (int column = 0;; ++column) {
        Field field{column, int(p - begin), 0};
        if (*p == Quote) {
            const int opened = m_line;
            const ushort *q = ++p;
            QString value;
            for (;;) {
                while (q < end && *q != Quote)
                    m_line += *q++ == LF;
                if (q == end)
                    return fail(QCoreApplication::translate("ReadingsCsv", "The file is damaged: the quoted field that begins on line %1 is not closed.")
                                        .arg(opened));
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
                field = {column, int(p - begin), int(q - p)}; // the text between the quotes
            } else {
                value.append(reinterpret_cast<const QChar *>(p), int(q - p));
                value.append(reinterpret_cast<const QChar *>(q + 1), int(after - q - 1));
                field = {column, -1 - m_unquoted.size(), value.size()};
                m_unquoted.append(value);
            }
            p = after;
        } else {
            p = fieldEnd(p);
            field.length = int(p - begin) - field.start;
        }
        if (++m_fields > m_maxFields)
            return fail(QCoreApplication::translate("ReadingsCsv", "The file has more than %1 fields, more than can be read; a CSV export holds at most %2 readings.")
                                .arg(m_maxFields)
                                .arg(ReadingsCsv::MaxReadings));
        if (field.length > 0)
            m_cells.push_back(field);
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
    ++m_line;
    m_position = int(p - begin);
    return true;
}

QVariant CsvTable::value(int index) const
{
    const Field &f = m_cells[size_t(index)];
    if (f.start < 0)
        return m_unquoted.at(-1 - f.start);
    return recentText(f.column, f.start, f.length);
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
