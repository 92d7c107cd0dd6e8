#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

// Records of the BIFF8 workbook stream: a two-byte type, a two-byte length
// and at most 8224 bytes of data; longer data goes on in CONTINUE records.
namespace Biff {

enum RecordId : quint16 {
    Formula = 0x0006,
    // Formula records under the ids of older versions, which some writers
    // still give them inside BIFF8; their cached result lies where it does
    // in a FORMULA record.
    Formula3 = 0x0206,
    Formula4 = 0x0406,
    Eof = 0x000A,
    CalcCount = 0x000C,
    CalcMode = 0x000D,
    Precision = 0x000E,
    RefMode = 0x000F,
    Delta = 0x0010,
    Iteration = 0x0011,
    Protect = 0x0012,
    Password = 0x0013,
    WindowProtect = 0x0019,
    DateMode = 0x0022,
    FilePass = 0x002F,
    Font = 0x0031,
    Continue = 0x003C,
    Window1 = 0x003D,
    Backup = 0x0040,
    CodePage = 0x0042,
    DefColWidth = 0x0055,
    ColInfo = 0x007D,
    Guts = 0x0080,
    WsBool = 0x0081,
    BoundSheet = 0x0085,
    Country = 0x008C,
    HideObj = 0x008D,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    Xf = 0x00E0,
    InterfaceHdr = 0x00E1,
    InterfaceEnd = 0x00E2,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    ExtSst = 0x00FF,
    UsesElfs = 0x0160,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Row = 0x0208,
    Window2 = 0x023E,
    Rk = 0x027E,
    Style = 0x0293,
    DefaultRowHeight = 0x0225,
    FormatRecord = 0x041E,
    Bof = 0x0809,
};

constexpr int MaxRecordData = 8224;
constexpr quint16 Biff8Version = 0x0600;
constexpr quint16 Biff5Version = 0x0500;
constexpr quint16 BofGlobals = 0x0005;
constexpr quint16 BofWorksheet = 0x0010;

// Appends records to a stream. begin() writes the header, end() fills in
// the length; callers keep each record within MaxRecordData.
class Writer
{
public:
    QByteArray &data() { return m_data; }
    int position() const { return m_data.size(); }
    void reserve(int size) { m_data.reserve(size); }

    void begin(quint16 id)
    {
        m_start = m_data.size();
        u16(id);
        u16(0);
    }
    void end()
    {
        const quint16 length = quint16(m_data.size() - m_start - 4);
        qToLittleEndian(length, m_data.data() + m_start + 2);
    }
    int recordStart() const { return m_start; }
    int recordLength() const { return m_data.size() - m_start - 4; }

    void u8(quint8 v) { m_data.append(char(v)); }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_data.append(b, 2);
    }
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_data.append(b, 4);
    }
    void f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        char b[8];
        qToLittleEndian(bits, b);
        m_data.append(b, 8);
    }
    void zeros(int count) { m_data.append(QByteArray(count, '\0')); }
    // Characters in the chosen width, without any header.
    void chars(const QString &text, bool compressed)
    {
        const int n = text.size();
        const QChar *c = text.constData();
        if (compressed) {
            const int at = m_data.size();
            m_data.resize(at + n);
            char *p = m_data.data() + at;
            for (int i = 0; i < n; ++i)
                p[i] = char(c[i].unicode());
        } else {
            const int at = m_data.size();
            m_data.resize(at + 2 * n);
            char *p = m_data.data() + at;
            for (int i = 0; i < n; ++i)
                qToLittleEndian(c[i].unicode(), p + 2 * i);
        }
    }
    // XLUnicodeString: 16-bit length, flags, characters.
    void unicodeString(const QString &text)
    {
        const bool compressed = fitsLatin1(text);
        u16(quint16(text.size()));
        u8(compressed ? 0 : 1);
        chars(text, compressed);
    }
    // ShortXLUnicodeString: 8-bit length, flags, characters.
    void shortUnicodeString(const QString &text)
    {
        const bool compressed = fitsLatin1(text);
        u8(quint8(text.size()));
        u8(compressed ? 0 : 1);
        chars(text, compressed);
    }

    static bool fitsLatin1(const QString &text)
    {
        for (QChar c : text)
            if (c.unicode() > 0xFF)
                return false;
        return true;
    }

private:
    QByteArray m_data;
    int m_start = 0;
};

inline quint16 get16(const char *p) { return qFromLittleEndian<quint16>(p); }
inline quint32 get32(const char *p) { return qFromLittleEndian<quint32>(p); }
inline double getF64(const char *p)
{
    const quint64 bits = qFromLittleEndian<quint64>(p);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// Walks the records of a stream. A record whose length runs past the end
// of the stream ends the walk as truncated.
class RecordReader
{
public:
    RecordReader(const QByteArray &stream, int position = 0)
        : m_data(stream.constData()), m_size(stream.size()), m_next(position) {}

    // Moves to the next record; false at the end or on a truncated record.
    bool next()
    {
        if (m_next < 0 || m_size - m_next < 4)
            return false;
        const quint16 id = get16(m_data + m_next);
        const quint16 length = get16(m_data + m_next + 2);
        if (m_size - m_next - 4 < length) {
            m_truncated = true;
            return false;
        }
        m_position = m_next;
        m_id = id;
        m_length = length;
        m_next += 4 + length;
        return true;
    }
    // The type of the record after the current one, or 0 at the end.
    quint16 peekId() const { return m_size - m_next >= 4 ? get16(m_data + m_next) : 0; }

    quint16 id() const { return m_id; }
    int length() const { return m_length; }
    int position() const { return m_position; }
    const char *body() const { return m_data + m_position + 4; }
    bool truncated() const { return m_truncated; }

private:
    const char *m_data;
    int m_size;
    int m_next;
    int m_position = 0;
    quint16 m_id = 0;
    int m_length = 0;
    bool m_truncated = false;
};

} // namespace Biff
