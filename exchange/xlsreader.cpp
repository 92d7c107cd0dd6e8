#include "exchange/xlsreader.h"

#include "exchange/biffrecords.h"
#include "exchange/compoundfile.h"
#include "exchange/exceldate.h"
#include "exchange/usedrangegrid.h"

#include <QCoreApplication>
#include <QHash>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int SheetColumns = 256;


QString damaged()
{
    return QCoreApplication::translate("XlsReader", "The workbook is damaged.");
}

QString notClassic()
{
    return QCoreApplication::translate("XlsReader", "The file is not a workbook of the classic Excel format (.xls).");
}

QString excel5()
{
    return QCoreApplication::translate("XlsReader", "The workbook was saved in the Excel 5.0/95 format, which cannot be read.");
}

// Data that may go on in CONTINUE records. Characters of a string that go
// on in the next record are preceded there by a new width flag.
class ContinuedData
{
public:
    void add(const char *data, int length)
    {
        if (length > 0)
            m_parts.push_back({data, length});
    }
    int remaining() const
    {
        int total = 0;
        for (size_t i = m_part; i < m_parts.size(); ++i)
            total += m_parts[i].length - (i == m_part ? m_offset : 0);
        return total;
    }
    bool atEnd()
    {
        settle();
        return m_part >= m_parts.size();
    }
    bool bytes(char *out, int count)
    {
        while (count > 0) {
            settle();
            if (m_part >= m_parts.size())
                return false;
            const int n = std::min(count, m_parts[m_part].length - m_offset);
            std::copy_n(m_parts[m_part].data + m_offset, n, out);
            out += n;
            count -= n;
            m_offset += n;
        }
        return true;
    }
    bool skip(qint64 count)
    {
        while (count > 0) {
            settle();
            if (m_part >= m_parts.size())
                return false;
            const int n = int(std::min<qint64>(count, m_parts[m_part].length - m_offset));
            count -= n;
            m_offset += n;
        }
        return true;
    }
    bool u8(quint8 *v)
    {
        char b;
        if (!bytes(&b, 1))
            return false;
        *v = quint8(b);
        return true;
    }
    bool u16(quint16 *v)
    {
        char b[2];
        if (!bytes(b, 2))
            return false;
        *v = Biff::get16(b);
        return true;
    }
    bool u32(quint32 *v)
    {
        char b[4];
        if (!bytes(b, 4))
            return false;
        *v = Biff::get32(b);
        return true;
    }
    bool chars(int count, bool wide, QString *out)
    {
        out->resize(count);
        QChar *dst = out->data();
        while (count > 0) {
            if (m_part >= m_parts.size())
                return false;
            if (m_offset >= m_parts[m_part].length) {
                // The characters go on in the next record, after a new
                // width flag.
                ++m_part;
                m_offset = 0;
                if (m_part >= m_parts.size())
                    return false;
                wide = (quint8(m_parts[m_part].data[0]) & 1) != 0;
                m_offset = 1;
                continue;
            }
            const Part &p = m_parts[m_part];
            const int available = (p.length - m_offset) / (wide ? 2 : 1);
            if (available == 0)
                return false; // half a wide character at a record's end
            const int n = std::min(count, available);
            const char *src = p.data + m_offset;
            if (wide) {
                for (int i = 0; i < n; ++i)
                    dst[i] = QChar(Biff::get16(src + 2 * i));
            } else {
                for (int i = 0; i < n; ++i)
                    dst[i] = QChar(quint8(src[i]));
            }
            dst += n;
            count -= n;
            m_offset += n * (wide ? 2 : 1);
        }
        return true;
    }

private:
    struct Part
    {
        const char *data;
        int length;
    };
    void settle()
    {
        while (m_part < m_parts.size() && m_offset >= m_parts[m_part].length) {
            ++m_part;
            m_offset = 0;
        }
    }
    std::vector<Part> m_parts;
    size_t m_part = 0;
    int m_offset = 0;
};

// XLUnicodeRichExtendedString of the shared string table.
bool readRichString(ContinuedData &in, QString *out)
{
    quint16 length;
    quint8 flags;
    if (!in.u16(&length) || !in.u8(&flags))
        return false;
    quint16 runs = 0;
    quint32 extra = 0;
    if ((flags & 0x08) && !in.u16(&runs))
        return false;
    if ((flags & 0x04) && !in.u32(&extra))
        return false;
    if (!in.chars(length, flags & 1, out))
        return false;
    return in.skip(qint64(runs) * 4) && in.skip(extra);
}

// XLUnicodeString inside one record; false if it runs past the record.
bool readRecordString(const char *p, int length, QString *out)
{
    if (length < 3)
        return false;
    const int count = Biff::get16(p);
    const bool wide = (quint8(p[2]) & 1) != 0;
    if (length - 3 < count * (wide ? 2 : 1))
        return false;
    out->resize(count);
    QChar *dst = out->data();
    const char *src = p + 3;
    for (int i = 0; i < count; ++i)
        dst[i] = wide ? QChar(Biff::get16(src + 2 * i)) : QChar(quint8(src[i]));
    return true;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#GETTING_DATA");
    }
}

double rkValue(quint32 rk)
{
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

enum class CellKind : quint8 { Blank, Number, Text, Bool, Error };

struct RawCell
{
    quint16 row;
    quint16 column;
    quint16 xf;
    CellKind kind;
    quint8 flag;   // bool value or error code
    double number;
    int text;      // index into the texts
};

struct Globals
{
    ExcelDate::System dateSystem = ExcelDate::System::Date1900;
    std::vector<bool> dateXf;
    QVector<QString> sharedStrings;
    qint64 sheetPosition = -1;
};

bool readGlobals(const QByteArray &stream, Globals *g, QString *error)
{
    Biff::RecordReader r(stream);
    if (!r.next() || r.id() != Biff::Bof || r.length() < 4) {
        *error = notClassic();
        return false;
    }
    const quint16 version = Biff::get16(r.body());
    if (version == Biff::Biff5Version) {
        *error = excel5();
        return false;
    }
    if (version != Biff::Biff8Version || Biff::get16(r.body() + 2) != Biff::BofGlobals) {
        *error = notClassic();
        return false;
    }

    QHash<int, QString> formats;
    std::vector<quint16> xfFormats;
    bool sawEof = false;
    while (!sawEof && r.next()) {
        const char *p = r.body();
        const int len = r.length();
        switch (r.id()) {
        case Biff::FilePass:
            *error = QCoreApplication::translate("XlsReader", "The workbook is protected by a password (encrypted) and cannot be read.");
            return false;
        case Biff::DateMode:
            if (len >= 2 && Biff::get16(p) == 1)
                g->dateSystem = ExcelDate::System::Date1904;
            break;
        case Biff::FormatRecord:
            if (len >= 2) {
                QString code;
                if (readRecordString(p + 2, len - 2, &code))
                    formats.insert(Biff::get16(p), code);
            }
            break;
        case Biff::Xf:
            if (len >= 4)
                xfFormats.push_back(Biff::get16(p + 2));
            break;
        case Biff::BoundSheet:
            // The first worksheet; chart and macro sheets are passed over.
            if (len >= 6 && g->sheetPosition < 0 && quint8(p[5]) == 0)
                g->sheetPosition = Biff::get32(p);
            break;
        case Biff::Sst: {
            ContinuedData data;
            data.add(p + 8, len - 8);
            const quint32 unique = len >= 8 ? Biff::get32(p + 4) : 0;
            while (r.peekId() == Biff::Continue && r.next())
                data.add(r.body(), r.length());
            // Never trust the declared count further than the data goes:
            // each string takes at least three bytes.
            const int bound = data.remaining() / 3 + 1;
            g->sharedStrings.reserve(int(std::min<quint32>(unique, quint32(bound))));
            for (quint32 i = 0; i < unique && !data.atEnd(); ++i) {
                QString s;
                if (!readRichString(data, &s)) {
                    *error = damaged();
                    return false;
                }
                g->sharedStrings.append(s);
            }
            break;
        }
        case Biff::Eof:
            sawEof = true;
            break;
        default:
            break;
        }
    }
    if (!sawEof) {
        *error = damaged();
        return false;
    }
    if (g->sheetPosition < 0) {
        *error = QCoreApplication::translate("XlsReader", "The workbook has no worksheet.");
        return false;
    }
    g->dateXf.resize(xfFormats.size());
    for (size_t i = 0; i < xfFormats.size(); ++i)
        g->dateXf[i] = ExcelDate::isDateFormat(xfFormats[i], formats.value(xfFormats[i]));
    return true;
}

bool readSheetCells(const QByteArray &stream, const Globals &g, int maxCells, std::vector<RawCell> *cells,
                    QVector<QString> *texts, QString *error)
{
    if (g.sheetPosition >= stream.size()) {
        *error = damaged();
        return false;
    }
    Biff::RecordReader r(stream, int(g.sheetPosition));
    if (!r.next() || r.id() != Biff::Bof || r.length() < 4
            || Biff::get16(r.body()) != Biff::Biff8Version
            || Biff::get16(r.body() + 2) != Biff::BofWorksheet) {
        *error = QCoreApplication::translate("XlsReader", "The first sheet of the workbook is not a worksheet.");
        return false;
    }

    bool tooMany = false;
    auto add = [&](quint16 row, quint16 column, quint16 xf, CellKind kind, double number,
                   quint8 flag = 0, int text = -1) {
        if (column >= SheetColumns)
            return false;
        if (cells->size() >= size_t(maxCells)) {
            tooMany = true;
            return false;
        }
        cells->push_back({row, column, xf, kind, flag, number, text});
        return true;
    };
    int pendingString = -1; // formula cell waiting for its STRING record
    int depth = 0;          // embedded substreams (charts) are skipped
    bool ok = true;
    while (ok && r.next()) {
        const char *p = r.body();
        const int len = r.length();
        const quint16 id = r.id();
        if (id == Biff::Bof) {
            ++depth;
            continue;
        }
        if (id == Biff::Eof) {
            if (depth-- == 0)
                return true;
            continue;
        }
        if (depth > 0)
            continue;
        switch (id) {
        case Biff::Number:
            if (len >= 14)
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4), CellKind::Number,
                         Biff::getF64(p + 6));
            break;
        case Biff::Rk:
            if (len >= 10)
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4), CellKind::Number,
                         rkValue(Biff::get32(p + 6)));
            break;
        case Biff::MulRk: {
            if (len < 6)
                break;
            const quint16 row = Biff::get16(p);
            const quint16 first = Biff::get16(p + 2);
            const int count = (len - 6) / 6;
            for (int i = 0; ok && i < count; ++i)
                ok = add(row, quint16(first + i), Biff::get16(p + 4 + 6 * i), CellKind::Number,
                         rkValue(Biff::get32(p + 6 + 6 * i)));
            break;
        }
        case Biff::LabelSst:
            if (len >= 10) {
                const quint32 index = Biff::get32(p + 6);
                int text;
                if (index < quint32(g.sharedStrings.size())) {
                    text = int(index);
                } else {
                    // An index past the table reads as empty text.
                    text = g.sharedStrings.size() + texts->size();
                    texts->append(QString(QLatin1String("")));
                }
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4), CellKind::Text, 0,
                         0, text);
            }
            break;
        case Biff::Label:
        case Biff::RString:
            if (len >= 6) {
                QString s;
                if (!readRecordString(p + 6, len - 6, &s)) {
                    *error = damaged();
                    return false;
                }
                texts->append(s);
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4), CellKind::Text, 0,
                         0, g.sharedStrings.size() + texts->size() - 1);
            }
            break;
        case Biff::Blank:
            if (len >= 6)
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4), CellKind::Blank, 0);
            break;
        case Biff::MulBlank: {
            if (len < 6)
                break;
            const quint16 row = Biff::get16(p);
            const quint16 first = Biff::get16(p + 2);
            const int count = (len - 6) / 2;
            for (int i = 0; ok && i < count; ++i)
                ok = add(row, quint16(first + i), Biff::get16(p + 4 + 2 * i), CellKind::Blank, 0);
            break;
        }
        case Biff::BoolErr:
            if (len >= 8) {
                const bool isError = p[7] != 0;
                ok = add(Biff::get16(p), Biff::get16(p + 2), Biff::get16(p + 4),
                         isError ? CellKind::Error : CellKind::Bool, 0, quint8(p[6]));
            }
            break;
        case Biff::Formula:
        case Biff::Formula3:
        case Biff::Formula4: {
            if (len < 14)
                break;
            const quint16 row = Biff::get16(p), column = Biff::get16(p + 2), xf = Biff::get16(p + 4);
            const char *result = p + 6;
            pendingString = -1;
            if (Biff::get16(result + 6) != 0xFFFF) {
                ok = add(row, column, xf, CellKind::Number, Biff::getF64(result));
                break;
            }
            switch (quint8(result[0])) {
            case 0: // text in the STRING record that follows
                texts->append(QString(QLatin1String("")));
                ok = add(row, column, xf, CellKind::Text, 0, 0,
                         g.sharedStrings.size() + texts->size() - 1);
                pendingString = texts->size() - 1;
                break;
            case 1:
                ok = add(row, column, xf, CellKind::Bool, 0, quint8(result[2]));
                break;
            case 2:
                ok = add(row, column, xf, CellKind::Error, 0, quint8(result[2]));
                break;
            case 3:
                texts->append(QString(QLatin1String("")));
                ok = add(row, column, xf, CellKind::Text, 0, 0,
                         g.sharedStrings.size() + texts->size() - 1);
                break;
            default:
                break;
            }
            break;
        }
        case Biff::String: {
            ContinuedData data;
            data.add(p, len);
            while (r.peekId() == Biff::Continue && r.next())
                data.add(r.body(), r.length());
            if (pendingString >= 0) {
                quint16 count;
                quint8 flags;
                QString s;
                if (!data.u16(&count) || !data.u8(&flags) || !data.chars(count, flags & 1, &s)) {
                    *error = damaged();
                    return false;
                }
                (*texts)[pendingString] = s;
                pendingString = -1;
            }
            break;
        }
        default:
            break;
        }
    }
    if (tooMany) {
        *error = QCoreApplication::translate("XlsReader", "The first worksheet has more than %1 cells, more than can be read.")
                         .arg(maxCells);
        return false;
    }
    if (!ok || r.truncated()) {
        *error = damaged();
        return false;
    }
    return true; // a sheet cut short before its EOF keeps what it has
}

// The cells of the first worksheet, read at once into compact records
// (a few bytes each; values are made only when asked for), put in order
// and handed out row by row.
class XlsSheetRows : public SheetRows
{
public:
    XlsSheetRows(Globals globals, std::vector<RawCell> cells, QVector<QString> texts)
        : m_globals(std::move(globals)), m_cells(std::move(cells)), m_texts(std::move(texts))
    {
        // Row by row in sheet order; of two cells at one place the later
        // wins.
        auto before = [](const RawCell &a, const RawCell &b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        };
        if (!std::is_sorted(m_cells.begin(), m_cells.end(), before))
            std::stable_sort(m_cells.begin(), m_cells.end(), before);
        size_t kept = 0;
        for (size_t i = 0; i < m_cells.size(); ++i) {
            if (kept > 0 && m_cells[kept - 1].row == m_cells[i].row && m_cells[kept - 1].column == m_cells[i].column)
                --kept;
            m_cells[kept++] = m_cells[i];
        }
        m_cells.resize(kept);
        for (size_t i = 0; i < m_cells.size(); ++i)
            m_rows += i == 0 || m_cells[i].row != m_cells[i - 1].row;
    }

    int rowsHint() const override { return m_rows; }

    bool next() override
    {
        m_begin = m_end;
        if (m_begin >= m_cells.size())
            return false;
        m_end = m_begin + 1;
        while (m_end < m_cells.size() && m_cells[m_end].row == m_cells[m_begin].row)
            ++m_end;
        return true;
    }
    bool rewind() override
    {
        m_begin = m_end = 0;
        return true;
    }
    int row() const override { return m_cells[m_begin].row; }
    int cellCount() const override { return int(m_end - m_begin); }
    int column(int index) const override { return m_cells[m_begin + size_t(index)].column; }
    QVariant value(int index) const override
    {
        const RawCell &c = m_cells[m_begin + size_t(index)];
        switch (c.kind) {
        case CellKind::Blank:
            return QVariant();
        case CellKind::Number:
            if (c.xf < m_globals.dateXf.size() && m_globals.dateXf[c.xf]) {
                const QDateTime time = ExcelDate::fromSerial(c.number, m_globals.dateSystem);
                if (time.isValid())
                    return time;
            }
            return c.number;
        case CellKind::Text: {
            const int shared = m_globals.sharedStrings.size();
            return c.text < shared ? m_globals.sharedStrings.at(c.text) : m_texts.at(c.text - shared);
        }
        case CellKind::Bool:
            return c.flag != 0;
        case CellKind::Error:
            return errorText(c.flag);
        }
        return QVariant();
    }

private:
    Globals m_globals;
    std::vector<RawCell> m_cells;
    QVector<QString> m_texts;
    size_t m_begin = 0;
    size_t m_end = 0;
    int m_rows = 0;
};

bool startsWithBiff8Bof(const QByteArray &stream)
{
    Biff::RecordReader r(stream);
    return r.next() && r.id() == Biff::Bof && r.length() >= 4 && Biff::get16(r.body()) == Biff::Biff8Version;
}

// The workbook stream: "Workbook" in BIFF8 files, "Book" in older ones and
// in the BIFF8 files of writers that kept the old name, so the stream's
// first record decides.
bool readWorkbookStream(const QByteArray &file, QByteArray *stream, QString *error)
{
    if (!CompoundFileReader::hasSignature(file)) {
        // BIFF2 to BIFF4 workbooks are plain record streams.
        if (file.size() >= 4 && quint8(file.at(1)) <= 0x08 && quint8(file.at(0)) == 0x09
                && (quint8(file.at(1)) & 1) == 0)
            *error = QCoreApplication::translate("XlsReader", "The workbook was saved in an old Excel format (2.x to 4.0), which cannot be read.");
        else
            *error = notClassic();
        return false;
    }
    CompoundFileReader container;
    if (!container.open(file)) {
        *error = container.errorString();
        return false;
    }
    const QString name = container.hasStream(QStringLiteral("Workbook")) ? QStringLiteral("Workbook")
                                                                         : QStringLiteral("Book");
    if (!container.hasStream(name)) {
        // A password-protected .xlsx is a compound file around the
        // encrypted package.
        if (container.hasStream(QStringLiteral("EncryptedPackage")))
            *error = QCoreApplication::translate("XlsReader", "The workbook is protected by a password.");
        else
            *error = notClassic();
        return false;
    }
    if (!container.readStream(name, stream)) {
        *error = container.errorString();
        return false;
    }
    if (name == QLatin1String("Book") && !startsWithBiff8Bof(*stream)) {
        *error = excel5();
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<SheetRows> openXlsFirstSheet(const QByteArray &file, QString *error, int maxCells)
{
    QString localError;
    QString &err = error ? *error : localError;
    QByteArray stream;
    if (!readWorkbookStream(file, &stream, &err))
        return nullptr;
    Globals g;
    if (!readGlobals(stream, &g, &err))
        return nullptr;
    std::vector<RawCell> cells;
    cells.reserve(std::min<size_t>(size_t(stream.size()) / 16, size_t(maxCells)));
    QVector<QString> texts;
    if (!readSheetCells(stream, g, maxCells, &cells, &texts, &err))
        return nullptr;
    return std::make_unique<XlsSheetRows>(std::move(g), std::move(cells), std::move(texts));
}

bool readXlsFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error, int maxCells)
{
    *range = XlsUsedRange();
    QString localError;
    QString &err = error ? *error : localError;
    const std::unique_ptr<SheetRows> rows = openXlsFirstSheet(file, &err, maxCells);
    return rows && readUsedRange(*rows, range, &err, maxCells);
}
