#include "exchange/xlswriter.h"

#include "exchange/biffrecords.h"
#include "exchange/compoundfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int FirstCustomFormat = 164;
constexpr quint16 BuiltinTextFormat = 49;
constexpr int StyleXfCount = 15;
// Cells in one block of ROW records, as the format groups them.
constexpr int RowsPerBlock = 32;

void writeBof(Biff::Writer &w, quint16 type)
{
    w.begin(Biff::Bof);
    w.u16(Biff::Biff8Version);
    w.u16(type);
    w.u16(0x0DBB); // build
    w.u16(0x07CC); // year
    w.u32(0);      // file history
    w.u32(0x06);   // lowest version that may read it: BIFF8
    w.end();
}

void writeSimple(Biff::Writer &w, quint16 id, quint16 value)
{
    w.begin(id);
    w.u16(value);
    w.end();
}

void writeFont(Biff::Writer &w)
{
    w.begin(Biff::Font);
    w.u16(200);    // 10 pt
    w.u16(0);      // plain
    w.u16(0x7FFF); // automatic colour
    w.u16(400);    // normal weight
    w.u16(0);      // no super/subscript
    w.u8(0);       // no underline
    w.u8(0);       // family
    w.u8(0);       // character set
    w.u8(0);
    w.shortUnicodeString(QStringLiteral("Arial"));
    w.end();
}

void writeXf(Biff::Writer &w, quint16 font, quint16 numberFormat, bool style, quint8 used)
{
    w.begin(Biff::Xf);
    w.u16(font);
    w.u16(numberFormat);
    // Style formats: locked, style, no parent. Cell formats: locked, parent 0.
    w.u16(style ? 0xFFF5 : 0x0001);
    w.u8(0x20); // general alignment, bottom
    w.u8(0);    // no rotation
    w.u8(0);    // no indent
    w.u8(used);
    w.u32(0);   // no borders
    w.u32(0);
    w.u16(0x20C0); // pattern colours: system window text and background
    w.end();
}

// RK: a 30-bit integer, or a double with its low 34 bits zero.
bool toRk(double value, quint32 *rk)
{
    if (value == std::floor(value) && value >= -536870912.0 && value < 536870912.0) {
        *rk = (quint32(qint32(value)) << 2) | 2u;
        return true;
    }
    quint64 bits;
    std::memcpy(&bits, &value, 8);
    if ((bits & 0x3FFFFFFFFull) == 0) {
        *rk = quint32(bits >> 32);
        return true;
    }
    return false;
}

} // namespace

int XlsWorkbookWriter::cellFormat(const QString &numberFormat)
{
    if (numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return GeneralFormat;
    const auto known = m_formatHandles.constFind(numberFormat);
    if (known != m_formatHandles.constEnd())
        return known.value();
    quint16 code;
    if (numberFormat == QLatin1String("@")) {
        code = BuiltinTextFormat;
    } else {
        code = quint16(FirstCustomFormat + m_formatCodes.size());
        m_formatCodes.append(numberFormat);
    }
    m_cellFormats.push_back(code);
    const int handle = GeneralFormat + int(m_cellFormats.size());
    m_formatHandles.insert(numberFormat, handle);
    return handle;
}

bool XlsWorkbookWriter::addNumber(int row, int column, double value, int format)
{
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns)
        return false;
    m_cells.push_back({quint16(row), quint16(column), quint16(format), Kind::Number, value, 0});
    return true;
}

bool XlsWorkbookWriter::addText(int row, int column, const QString &text, int format)
{
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns)
        return false;
    // An empty entry leaves the cell empty, as in the spreadsheet; some
    // readers also stumble over empty shared strings.
    if (text.isEmpty())
        return addBlank(row, column, format);
    // A cell holds at most 32,767 characters.
    const QString cellText = text.left(32767);
    quint32 index;
    const auto known = m_stringIndex.constFind(cellText);
    if (known != m_stringIndex.constEnd()) {
        index = known.value();
    } else {
        index = quint32(m_strings.size());
        m_strings.append(cellText);
        m_stringIndex.insert(cellText, index);
    }
    m_cells.push_back({quint16(row), quint16(column), quint16(format), Kind::Text, 0, index});
    return true;
}

bool XlsWorkbookWriter::addBlank(int row, int column, int format)
{
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns)
        return false;
    m_cells.push_back({quint16(row), quint16(column), quint16(format), Kind::Blank, 0, 0});
    return true;
}

void XlsWorkbookWriter::setColumnWidth(int column, int width)
{
    if (column >= 0 && column < MaxColumns)
        m_columnWidths.insert(column, std::clamp(width, 0, 255 * 256));
}

void XlsWorkbookWriter::writeGlobals(Biff::Writer &w, int *boundSheetPosition) const
{
    writeBof(w, Biff::BofGlobals);
    writeSimple(w, Biff::InterfaceHdr, 1200);
    w.begin(Biff::InterfaceEnd);
    w.end();
    writeSimple(w, Biff::CodePage, 1200); // UTF-16
    w.begin(Biff::Window1);
    w.u16(0x0168);
    w.u16(0x001E);
    w.u16(0x3FCF);
    w.u16(0x2A4E);
    w.u16(0x0038); // scroll bars and sheet tabs shown
    w.u16(0);      // active sheet
    w.u16(0);      // first visible tab
    w.u16(1);      // selected sheets
    w.u16(0x0258); // tab bar width ratio
    w.end();
    writeSimple(w, Biff::Backup, 0);
    writeSimple(w, Biff::HideObj, 0);
    writeSimple(w, Biff::DateMode, 0); // 1900 date system
    writeSimple(w, Biff::Precision, 1);

    // Five fonts: readers skip index 4, so the fifth record is font 5.
    for (int i = 0; i < 5; ++i)
        writeFont(w);
    for (int i = 0; i < m_formatCodes.size(); ++i) {
        w.begin(Biff::FormatRecord);
        w.u16(quint16(FirstCustomFormat + i));
        w.unicodeString(m_formatCodes.at(i));
        w.end();
    }
    // Style formats 0..14, the default cell format 15, then ours.
    writeXf(w, 0, 0, true, 0);
    for (int i = 1; i < StyleXfCount; ++i)
        writeXf(w, i <= 2 ? 1 : (i <= 4 ? 2 : 0), 0, true, 0xF4);
    writeXf(w, 0, 0, false, 0);
    for (quint16 code : m_cellFormats)
        writeXf(w, 0, code, false, 0x04); // number format set
    w.begin(Biff::Style);
    w.u16(0x8000); // built-in style on format 0
    w.u8(0);       // "Normal"
    w.u8(0xFF);
    w.end();
    writeSimple(w, Biff::UsesElfs, 0);

    *boundSheetPosition = w.position() + 4;
    w.begin(Biff::BoundSheet);
    w.u32(0); // stream position of the sheet, filled in later
    w.u8(0);  // visible
    w.u8(0);  // worksheet
    w.shortUnicodeString(m_sheetName.left(31));
    w.end();
    w.begin(Biff::Country);
    w.u16(1);
    w.u16(1);
    w.end();
    writeSharedStrings(w);
    w.begin(Biff::Eof);
    w.end();
}

void XlsWorkbookWriter::writeSharedStrings(Biff::Writer &w) const
{
    // The table is split into CONTINUE records of at most 8224 bytes; a
    // string's header never splits, and characters that go on in the next
    // record are preceded there by the width flag again.
    const int count = m_strings.size();
    const int perBucket = std::max(8, count / 128 + 1);
    struct Bucket { quint32 position; quint16 offset; };
    std::vector<Bucket> buckets;

    quint32 total = 0;
    for (const Cell &c : m_cells)
        total += c.kind == Kind::Text ? 1 : 0;
    w.begin(Biff::Sst);
    w.u32(total);
    w.u32(quint32(count));
    auto room = [&] { return Biff::MaxRecordData - w.recordLength(); };
    auto nextRecord = [&] {
        w.end();
        w.begin(Biff::Continue);
    };
    for (int i = 0; i < count; ++i) {
        const QString &s = m_strings.at(i);
        const bool compressed = Biff::Writer::fitsLatin1(s);
        const int charSize = compressed ? 1 : 2;
        if (room() < 3 + (s.isEmpty() ? 0 : charSize))
            nextRecord();
        if (i % perBucket == 0)
            buckets.push_back({quint32(w.position()), quint16(w.position() - w.recordStart())});
        w.u16(quint16(s.size()));
        w.u8(compressed ? 0 : 1);
        int done = 0;
        while (done < s.size()) {
            int n = std::min(s.size() - done, room() / charSize);
            if (n == 0) {
                nextRecord();
                w.u8(compressed ? 0 : 1);
                continue;
            }
            w.chars(s.mid(done, n), compressed);
            done += n;
        }
    }
    w.end();

    w.begin(Biff::ExtSst);
    w.u16(quint16(perBucket));
    for (const Bucket &b : buckets) {
        w.u32(b.position);
        w.u16(b.offset);
        w.u16(0);
    }
    w.end();
}

void XlsWorkbookWriter::writeSheet(Biff::Writer &w) const
{
    // Cells in row order; of two cells at one place the later one counts.
    std::vector<Cell> cells = m_cells;
    auto before = [](const Cell &a, const Cell &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    if (!std::is_sorted(cells.begin(), cells.end(), before)) {
        std::stable_sort(cells.begin(), cells.end(), before);
    }
    std::vector<Cell> unique;
    unique.reserve(cells.size());
    for (const Cell &c : cells) {
        if (!unique.empty() && unique.back().row == c.row && unique.back().column == c.column)
            unique.back() = c;
        else
            unique.push_back(c);
    }

    writeBof(w, Biff::BofWorksheet);
    writeSimple(w, Biff::CalcMode, 1);
    writeSimple(w, Biff::CalcCount, 100);
    writeSimple(w, Biff::RefMode, 1);
    writeSimple(w, Biff::Iteration, 0);
    w.begin(Biff::Delta);
    w.f64(0.001);
    w.end();
    w.begin(Biff::Guts);
    w.zeros(8);
    w.end();
    w.begin(Biff::DefaultRowHeight);
    w.u16(0);
    w.u16(255);
    w.end();
    writeSimple(w, Biff::WsBool, 0x04C1);
    writeSimple(w, Biff::DefColWidth, 8);
    for (auto it = m_columnWidths.constBegin(); it != m_columnWidths.constEnd(); ++it) {
        w.begin(Biff::ColInfo);
        w.u16(quint16(it.key()));
        w.u16(quint16(it.key()));
        w.u16(quint16(it.value()));
        w.u16(GeneralFormat);
        w.u16(0x0006); // width set, fitted to the contents
        w.u16(0);
        w.end();
    }

    quint16 firstColumn = 0xFFFF, lastColumn = 0;
    for (const Cell &c : unique) {
        firstColumn = std::min(firstColumn, c.column);
        lastColumn = std::max(lastColumn, c.column);
    }
    w.begin(Biff::Dimensions);
    if (unique.empty()) {
        w.zeros(12);
    } else {
        w.u32(unique.front().row);
        w.u32(quint32(unique.back().row) + 1);
        w.u16(firstColumn);
        w.u16(quint16(lastColumn + 1));
    }
    w.u16(0);
    w.end();

    size_t i = 0;
    while (i < unique.size()) {
        const int block = unique[i].row / RowsPerBlock;
        size_t blockEnd = i;
        while (blockEnd < unique.size() && unique[blockEnd].row / RowsPerBlock == block)
            ++blockEnd;
        for (size_t r = i; r < blockEnd;) {
            size_t rowEnd = r;
            while (rowEnd < blockEnd && unique[rowEnd].row == unique[r].row)
                ++rowEnd;
            w.begin(Biff::Row);
            w.u16(unique[r].row);
            w.u16(unique[r].column);
            w.u16(quint16(unique[rowEnd - 1].column + 1));
            w.u16(0x00FF);
            w.u16(0);
            w.u16(0);
            w.u16(0x0100);
            w.u16(GeneralFormat);
            w.end();
            r = rowEnd;
        }
        for (; i < blockEnd; ++i) {
            const Cell &c = unique[i];
            quint32 rk = 0;
            switch (c.kind) {
            case Kind::Number:
                if (toRk(c.number, &rk)) {
                    w.begin(Biff::Rk);
                    w.u16(c.row);
                    w.u16(c.column);
                    w.u16(c.format);
                    w.u32(rk);
                } else {
                    w.begin(Biff::Number);
                    w.u16(c.row);
                    w.u16(c.column);
                    w.u16(c.format);
                    w.f64(c.number);
                }
                break;
            case Kind::Text:
                w.begin(Biff::LabelSst);
                w.u16(c.row);
                w.u16(c.column);
                w.u16(c.format);
                w.u32(c.string);
                break;
            case Kind::Blank:
                w.begin(Biff::Blank);
                w.u16(c.row);
                w.u16(c.column);
                w.u16(c.format);
                break;
            }
            w.end();
        }
    }

    w.begin(Biff::Window2);
    w.u16(0x06B6); // grid, headings, zeros, outline symbols; selected
    w.u16(0);
    w.u16(0);
    w.u16(64); // automatic grid colour
    w.u16(0);
    w.u16(0);
    w.u16(0);
    w.u32(0);
    w.end();
    w.begin(Biff::Eof);
    w.end();
}

QByteArray XlsWorkbookWriter::workbookStream() const
{
    Biff::Writer w;
    w.reserve(int(m_cells.size()) * 16 + 4096);
    int boundSheetPosition = 0;
    writeGlobals(w, &boundSheetPosition);
    const quint32 sheetPosition = quint32(w.position());
    writeSheet(w);
    qToLittleEndian(sheetPosition, w.data().data() + boundSheetPosition);
    return w.data();
}

QByteArray XlsWorkbookWriter::fileData() const
{
    // Excel does not open a workbook whose stream is kept in the mini
    // stream: a small one is padded to the size of a regular stream, as other
    // writers do. Nothing is read after the EOF record.
    QByteArray stream = workbookStream();
    constexpr int RegularStreamSize = 4096;
    if (stream.size() < RegularStreamSize)
        stream.append(QByteArray(RegularStreamSize - stream.size(), '\0'));
    return writeCompoundFile({{QStringLiteral("Workbook"), stream}});
}
