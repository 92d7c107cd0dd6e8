#include "exchange/xlsxsheetscanner.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTextCodec>
#include <QTextDecoder>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Inflated bytes handed to the parser at a time.
constexpr int ChunkSize = 1 << 16;

// The value of an attribute without prefix; null when it is missing.
const char *attribute(const std::vector<XmlTokenizer::Attribute> &attributes, std::string_view name,
                      const char **end)
{
    for (const XmlTokenizer::Attribute &a : attributes) {
        if (!a.prefixed && a.name == name) {
            *end = a.value.data() + a.value.size();
            return a.value.data();
        }
    }
    return nullptr;
}

// The encoding a part names in its XML declaration or shows by its
// byte-order mark, empty for UTF-8.
QByteArray declaredEncoding(const char *data, qint64 size)
{
    const QByteArray head = QByteArray::fromRawData(data, int(std::min<qint64>(size, 256)));
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return "UTF-16";
    if (!head.startsWith("<?xml"))
        return {};
    const int close = head.indexOf("?>");
    const int at = head.indexOf("encoding");
    if (at < 0 || (close >= 0 && at > close))
        return {};
    int quote = at + 8;
    while (quote < head.size() && head.at(quote) != '"' && head.at(quote) != '\'')
        ++quote;
    const int endQuote = quote < head.size() ? head.indexOf(head.at(quote), quote + 1) : -1;
    if (endQuote < 0)
        return {};
    const QByteArray name = head.mid(quote + 1, endQuote - quote - 1).trimmed().toLower();
    return name == "utf-8" || name == "utf8" ? QByteArray() : name;
}

// Numbers as the part writes them, blanks around them allowed.
template <typename Number>
bool parseNumber(const char *begin, const char *end, Number *value)
{
    while (begin < end && std::isspace(static_cast<unsigned char>(*begin)))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(end[-1])))
        --end;
    if (begin < end && *begin == '+')
        ++begin;
    const std::from_chars_result r = std::from_chars(begin, end, *value);
    return r.ec == std::errc() && r.ptr == end;
}

QString cellName(int row, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar('A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

} // namespace

bool parseCellReference(const char *text, int length, int *row, int *column)
{
    int i = 0;
    int c = 0;
    for (; i < length && i < 4; ++i) {
        const char u = char(text[i] & ~0x20);
        if (u < 'A' || u > 'Z')
            break;
        c = c * 26 + (u - 'A' + 1);
    }
    if (i == 0 || c > XlsxSheetWidth)
        return false;
    int r = 0;
    const int digitsStart = i;
    for (; i < length && i - digitsStart < 8; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        r = r * 10 + (text[i] - '0');
    }
    if (i != length || (i > digitsStart && (r < 1 || r > XlsxSheetHeight)))
        return false;
    *column = c - 1;
    *row = i > digitsStart ? r - 1 : -1;
    return true;
}

QString unescapedCellText(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        bool ok = false;
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x')
                && text.at(i + 6) == QLatin1Char('_')) {
            const ushort code = text.midRef(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out.append(QChar(code));
                i += 6;
            }
        }
        if (!ok)
            out.append(text.at(i));
    }
    return out;
}

XlsxSheetScanner::XlsxSheetScanner(QIODevice *part, const QString &partName, int sharedStrings, qint64 maxCells)
    : m_part(part), m_partName(partName), m_sharedStrings(sharedStrings), m_maxCells(maxCells), m_tokenizer(this)
{
}

XlsxSheetScanner::~XlsxSheetScanner() = default;

void XlsxSheetScanner::stop(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    m_tokenizer.stop();
}

void XlsxSheetScanner::invalidCell(const QString &cell)
{
    stop(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid cell %2.")
                 .arg(m_partName, cell.left(16)));
}

bool XlsxSheetScanner::nextRow(std::vector<XlsxCell> *cells, QVector<QString> *texts)
{
    cells->clear();
    texts->clear();
    for (;;) {
        if (!m_error.isEmpty())
            return false;
        // The cells at the head are a row once a cell of another row follows
        // them, or the part has ended.
        size_t end = m_head;
        while (end < m_parsed.size() && m_parsed[end].cell.row == m_parsed[m_head].cell.row)
            ++end;
        if (m_head < end && (end < m_parsed.size() || m_ended)) {
            end = putInOrder(m_head, end);
            for (size_t i = m_head; i < end; ++i) {
                cells->push_back(m_parsed[i].cell);
                if (!m_parsed[i].text.isNull()) {
                    cells->back().text = texts->size();
                    texts->append(m_parsed[i].text);
                }
            }
            m_head = end;
            return true;
        }
        if (m_ended)
            return false;
        m_parsed.erase(m_parsed.begin(), m_parsed.begin() + qint64(m_head));
        m_rowStart -= std::min(m_rowStart, m_head);
        m_head = 0;
        if (!parseMore())
            return false;
    }
}

// Cells given out of order are put in order; of two at one place the later
// wins. Returns the new end of the range.
size_t XlsxSheetScanner::putInOrder(size_t begin, size_t end)
{
    auto before = [](const Parsed &a, const Parsed &b) { return a.cell.column < b.cell.column; };
    const auto first = m_parsed.begin() + qint64(begin), last = m_parsed.begin() + qint64(end);
    if (std::is_sorted(first, last, before) && std::adjacent_find(first, last, [](const Parsed &a, const Parsed &b) {
                                                   return a.cell.column == b.cell.column;
                                               }) == last)
        return end;
    std::stable_sort(first, last, before);
    size_t kept = begin;
    for (size_t i = begin; i < end; ++i) {
        if (kept > begin && m_parsed[kept - 1].cell.column == m_parsed[i].cell.column)
            --kept;
        m_parsed[kept++] = std::move(m_parsed[i]);
    }
    m_parsed.erase(m_parsed.begin() + qint64(kept), last);
    return kept;
}

// Tokenizes the next piece of the part.
bool XlsxSheetScanner::parseMore()
{
    char chunk[ChunkSize];
    const qint64 read = m_part->read(chunk, ChunkSize);
    if (read < 0) {
        m_error = m_part->errorString();
        return false;
    }
    m_ended = read == 0;
    const char *data = chunk;
    qint64 size = read;
    const bool first = !m_started && read > 0;
    if (first) {
        m_started = true;
        const QByteArray encoding = declaredEncoding(chunk, read);
        QTextCodec *codec = encoding.isEmpty() ? nullptr : QTextCodec::codecForName(encoding);
        if (!encoding.isEmpty() && !codec) {
            m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 is not well-formed XML (line %2: %3).")
                              .arg(m_partName)
                              .arg(1)
                              .arg(QStringLiteral("unknown encoding ") + QString::fromLatin1(encoding));
            return false;
        }
        if (codec)
            m_decoder.reset(codec->makeDecoder());
        else if (read >= 3 && std::memcmp(chunk, "\xEF\xBB\xBF", 3) == 0)
            data += 3, size -= 3; // the byte-order mark of UTF-8
    }
    if (!m_decoder)
        return feed(data, size, m_ended);
    QString text = m_decoder->toUnicode(data, int(size));
    if (first && text.startsWith(QChar(QChar::ByteOrderMark)))
        text.remove(0, 1);
    const QByteArray utf8 = text.toUtf8();
    return feed(utf8.constData(), utf8.size(), m_ended);
}

bool XlsxSheetScanner::feed(const char *data, qint64 size, bool last)
{
    if (m_tokenizer.feed(data, size_t(size), last) || !m_error.isEmpty())
        return m_error.isEmpty();
    if (m_tokenizer.error() == XmlTokenizer::Error::DocumentType)
        // The part has no use for a document type, whose entities could
        // only serve to blow the text up.
        m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 declares a document type.")
                          .arg(m_partName);
    else
        m_error = QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 is not well-formed XML (line %2: %3).")
                          .arg(m_partName)
                          .arg(m_tokenizer.line())
                          .arg(m_tokenizer.reason());
    return false;
}

void XlsxSheetScanner::startElement(std::string_view name, const std::vector<XmlTokenizer::Attribute> &attributes)
{
    if (!m_inSheetData) {
        if (name == "sheetData") {
            m_inSheetData = true;
        } else if (name == "mergeCell") {
            const char *end;
            const char *ref = attribute(attributes, "ref", &end);
            const char *colon = ref ? std::find(ref, end, ':') : nullptr;
            int r, c;
            if (ref && parseCellReference(ref, int(colon - ref), &r, &c) && r >= 0)
                m_merged |= QRect(c, r, 1, 1);
            if (ref && colon < end && parseCellReference(colon + 1, int(end - colon - 1), &r, &c) && r >= 0)
                m_merged |= QRect(c, r, 1, 1);
        }
    } else if (name == "c") {
        startCell(attributes);
    } else if (!m_inCell) {
        if (name == "row")
            startRow(attributes);
    } else if (name == "v") {
        m_collect = Collect::Value;
        m_hasValue = true;
        m_text.clear();
    } else if (name == "is") {
        m_inInline = true;
        m_hasValue = true;
        m_text.clear();
    } else if (name == "t") {
        if (m_inInline && m_phonetic == 0)
            m_collect = Collect::Text;
    } else if (name == "rPh") {
        ++m_phonetic;
    }
}

void XlsxSheetScanner::endElement(std::string_view name)
{
    if (name == "v" || name == "t")
        m_collect = Collect::Nothing;
    else if (name == "c" && m_inCell)
        finishCell();
    else if (name == "is")
        m_inInline = false;
    else if (name == "rPh")
        --m_phonetic;
    else if (name == "sheetData")
        m_inSheetData = false;
}

void XlsxSheetScanner::characters(std::string_view text)
{
    if (m_collect != Collect::Nothing)
        m_text.append(text);
}

void XlsxSheetScanner::startRow(const std::vector<XmlTokenizer::Attribute> &attributes)
{
    const char *end;
    const char *r = attribute(attributes, "r", &end);
    int number = 0;
    const bool ok = !r || parseNumber(r, end, &number);
    m_sheetRow = r ? number - 1 : m_sheetRow + 1;
    if (!ok || m_sheetRow < 0 || m_sheetRow >= XlsxSheetHeight)
        stop(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid row %2.")
                     .arg(m_partName, QString::fromUtf8(r, int(end - r)).left(16)));
    m_nextColumn = 0;
}

void XlsxSheetScanner::startCell(const std::vector<XmlTokenizer::Attribute> &attributes)
{
    const char *referenceEnd, *styleEnd, *typeEnd;
    const char *reference = attribute(attributes, "r", &referenceEnd);
    const char *style = attribute(attributes, "s", &styleEnd);
    const char *type = attribute(attributes, "t", &typeEnd);
    m_cell = XlsxCell{};
    m_cell.row = m_sheetRow < 0 ? 0 : m_sheetRow;
    m_cell.column = m_nextColumn;
    if (reference) {
        int r;
        if (!parseCellReference(reference, int(referenceEnd - reference), &r, &m_cell.column))
            return invalidCell(QString::fromUtf8(reference, int(referenceEnd - reference)));
        if (r >= 0)
            m_cell.row = r;
    }
    if (m_cell.column >= XlsxSheetWidth)
        return invalidCell(reference ? QString::fromUtf8(reference, int(referenceEnd - reference))
                                     : cellName(m_cell.row, m_cell.column));
    m_nextColumn = m_cell.column + 1;
    if (!style || !parseNumber(style, styleEnd, &m_cell.style))
        m_cell.style = 0;
    const std::string_view typeName = type ? std::string_view(type, size_t(typeEnd - type)) : std::string_view();
    if (typeName.empty() || typeName == "n")
        m_type = 'n';
    else if (typeName == "str")
        m_type = 'S';
    else if (typeName == "inlineStr")
        m_type = 'i';
    else
        m_type = typeName[0];
    m_inCell = true;
    m_hasValue = false;
}

// The text of the cell just read, the short ones that repeat in its column
// handed out again.
QString XlsxSheetScanner::ownText(bool escaped)
{
    const int column = m_cell.column;
    if (column >= RecentColumns || m_text.size() > 16)
        return escaped ? unescapedCellText(QString::fromStdString(m_text)) : QString::fromStdString(m_text);
    Recent *seen = m_recent[column];
    for (int i = 0; i < RecentTexts; ++i)
        if (seen[i].bytes == m_text && !seen[i].text.isNull())
            return seen[i].text;
    Recent &next = seen[m_nextRecent[column]];
    m_nextRecent[column] = (m_nextRecent[column] + 1) % RecentTexts;
    next.bytes = m_text;
    next.text = escaped ? unescapedCellText(QString::fromStdString(m_text)) : QString::fromStdString(m_text);
    return next.text;
}

void XlsxSheetScanner::finishCell()
{
    m_inCell = false;
    XlsxCell &cell = m_cell;
    cell.kind = XlsxCell::Kind::Blank;
    QString own;
    // An empty value ("<v></v>") leaves the cell empty, as the spreadsheet
    // reads it; an empty inline string is an empty text.
    if (m_hasValue && m_text.empty() && m_type != 'i' && m_type != 'S')
        m_hasValue = false;
    const char *begin = m_text.data();
    const char *end = begin + m_text.size();
    if (m_hasValue) {
        switch (m_type) {
        case 's':
            if (!parseNumber(begin, end, &cell.text) || cell.text < 0 || cell.text >= m_sharedStrings)
                return invalidCell(cellName(cell.row, cell.column));
            cell.kind = XlsxCell::Kind::SharedText;
            break;
        case 'b': {
            const QByteArray flag = QByteArray::fromRawData(begin, int(m_text.size())).trimmed();
            cell.kind = XlsxCell::Kind::Bool;
            cell.flag = flag == "1" || flag == "true";
            break;
        }
        case 'e': // an error, as its text
        case 'S': // a formula's text
        case 'i': // an inline string
        case 'd': // an ISO 8601 date
            cell.kind = m_type == 'd' ? XlsxCell::Kind::IsoDate : XlsxCell::Kind::OwnText;
            own = ownText(m_type == 'i' || m_type == 'S');
            break;
        default:
            if (!parseNumber(begin, end, &cell.number) || !std::isfinite(cell.number))
                return invalidCell(cellName(cell.row, cell.column));
            cell.kind = XlsxCell::Kind::Number;
        }
    }
    if (++m_cellsRead > m_maxCells)
        return stop(QCoreApplication::translate("XlsxReader", "The first worksheet has more than %1 cells, more than can be read.")
                            .arg(m_maxCells));
    if (m_parsed.empty() || m_parsed.back().cell.row != cell.row)
        m_rowStart = m_parsed.size();
    m_parsed.push_back({cell, own});
    // A row holds one cell a column: one that names the same places over
    // and over is kept within that.
    if (m_parsed.size() - m_rowStart > size_t(2 * XlsxSheetWidth))
        putInOrder(m_rowStart, m_parsed.size());
}
