#include "exchange/xlsxreader.h"

#include "exchange/exceldate.h"
#include "exchange/xlsxpackage.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QUrl>
#include <QVector>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int SheetHeight = 1048576;
constexpr int SheetColumns = 16384;

enum class Kind : quint8 { Blank, Number, SharedText, OwnText, Bool, IsoDate };

struct RawCell
{
    int row;
    int column;
    Kind kind;
    bool flag;
    quint32 style;
    double number;
    int text; // into the shared strings or the sheet's own texts
};

struct Relationship
{
    QString type;
    QString target; // part name, resolved
};

bool hasType(const Relationship &r, QLatin1String kind)
{
    return r.type.endsWith(kind);
}

QString normalizedPath(const QString &path)
{
    QStringList segments;
    for (const QString &s : path.split(QLatin1Char('/'))) {
        if (s.isEmpty() || s == QLatin1String("."))
            continue;
        if (s == QLatin1String("..")) {
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments << s;
    }
    return segments.join(QLatin1Char('/'));
}

QString folderOf(const QString &part)
{
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

// Where the relationships of a part live: "xl/workbook.xml" has
// "xl/_rels/workbook.xml.rels"; the package itself ("") has "_rels/.rels".
QString relationshipsPart(const QString &part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// "B12", "b12" or "XFD1048576", zero-based; a reference without its row
// number gives row -1.
bool parseReference(const QStringRef &ref, int *row, int *column)
{
    int i = 0;
    int c = 0;
    for (; i < ref.size() && i < 4; ++i) {
        const ushort u = ref.at(i).unicode() & ~0x20;
        if (u < 'A' || u > 'Z')
            break;
        c = c * 26 + (u - 'A' + 1);
    }
    if (i == 0 || c > SheetColumns)
        return false;
    int r = 0;
    const int digitsStart = i;
    for (; i < ref.size() && i - digitsStart < 8; ++i) {
        const ushort u = ref.at(i).unicode();
        if (u < '0' || u > '9')
            return false;
        r = r * 10 + (u - '0');
    }
    if (i != ref.size() || (i > digitsStart && (r < 1 || r > SheetHeight)))
        return false;
    *column = c - 1;
    *row = i > digitsStart ? r - 1 : -1;
    return true;
}

// Cell texts escape characters XML cannot carry as "_xHHHH_".
QString unescaped(const QString &text)
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

// "B12" for zero-based row 11, column 1.
QString cellName(int row, int column)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar('A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

// The first worksheet of a package, read as it is inflated: the sheet's XML
// is pulled one row at a time, and only the cells of that row are held.
class XlsxSheetRows : public SheetRows
{
public:
    XlsxSheetRows(const QByteArray &file, const XlsxLimits &limits) : m_file(file), m_limits(limits) {}

    // Finds the first worksheet and reads what its cells refer to.
    bool open();

    bool next() override;
    bool rewind() override;
    int row() const override { return m_cells.front().row; }
    int cellCount() const override { return int(m_cells.size()); }
    int column(int index) const override { return m_cells[size_t(index)].column; }
    QVariant value(int index) const override;
    QRect markedCells() const override { return m_marked; }

private:
    template <typename Visit>
    bool parse(const QString &part, qint64 maxSize, Visit visit);
    bool readRelationships(const QString &source, QHash<QString, Relationship> *rels);
    bool readWorkbook(const QString &part, QStringList *sheetIds);
    bool readStyles(const QString &part);
    bool readSharedStrings(const QString &part);
    bool readComments(const QString &part);
    bool mark(const QStringRef &reference);

    bool startSheet();
    bool sheetToken();
    bool startCell();
    bool finishCell();
    bool finishSheet();
    bool partEnd(XlsxPartStream *stream, const QXmlStreamReader &xml, const QString &part);

    bool invalidCell(const QString &cell)
    {
        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid cell %2.")
                            .arg(m_sheet, cell.left(16)));
    }

    const QByteArray m_file; // the package reads from it
    XlsxPackage m_package;
    XlsxLimits m_limits;
    ExcelDate::System m_dateSystem = ExcelDate::System::Date1900;
    std::vector<bool> m_dateStyle;
    QVector<QString> m_shared;
    QString m_sheet;
    QStringList m_comments;

    // The sheet's XML as it is pulled.
    std::unique_ptr<XlsxPartStream> m_stream;
    std::unique_ptr<QXmlStreamReader> m_xml;
    enum class Collect { Nothing, Value, Text };
    bool m_inSheetData = false;
    bool m_inCell = false;
    bool m_inInline = false;
    bool m_hasValue = false;
    bool m_ended = false;
    int m_phonetic = 0;
    int m_sheetRow = -1;
    int m_nextColumn = 0;
    Collect m_collect = Collect::Nothing;
    QChar m_type;
    QString m_text;
    RawCell m_cell{};
    qint64 m_cellsRead = 0;

    // The current row's cells, with the texts that are their own; a cell
    // of the next row, met before this row was complete, waits.
    std::vector<RawCell> m_cells;
    QVector<QString> m_texts;
    bool m_waiting = false;
    RawCell m_waitingCell{};
    QString m_waitingText;
    QRect m_marked; // merged and commented cells
};

template <typename Visit>
bool XlsxSheetRows::parse(const QString &part, qint64 maxSize, Visit visit)
{
    const std::unique_ptr<XlsxPartStream> stream = m_package.openPart(part, maxSize);
    if (!stream)
        return fail(m_package.errorString());
    QXmlStreamReader xml(stream.get());
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        // The parts have no use for a document type, whose entities could
        // only serve to blow the text up.
        if (token == QXmlStreamReader::DTD)
            return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 declares a document type.")
                                .arg(part));
        if (token != QXmlStreamReader::Invalid && !visit(xml))
            return false;
    }
    return partEnd(stream.get(), xml, part);
}

// A part read to its end: its XML whole, and the archive's checksum, which
// is checked once the part has been read to its last byte.
bool XlsxSheetRows::partEnd(XlsxPartStream *stream, const QXmlStreamReader &xml, const QString &part)
{
    if (stream->failed())
        return fail(stream->errorString());
    if (xml.hasError())
        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 is not well-formed XML (line %2: %3).")
                            .arg(part)
                            .arg(xml.lineNumber())
                            .arg(xml.errorString()));
    char rest[4096];
    while (stream->read(rest, sizeof rest) > 0) {
    }
    return !stream->failed() || fail(stream->errorString());
}

bool XlsxSheetRows::readRelationships(const QString &source, QHash<QString, Relationship> *rels)
{
    const QString part = relationshipsPart(source);
    return parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = xml.attributes();
            if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
                return true;
            // Targets are URIs: "my%20sheet.xml" names "my sheet.xml".
            QString target = QUrl::fromPercentEncoding(a.value(QLatin1String("Target")).toUtf8());
            target.replace(QLatin1Char('\\'), QLatin1Char('/'));
            target = target.startsWith(QLatin1Char('/')) ? normalizedPath(target)
                                                         : normalizedPath(folderOf(source) + target);
            rels->insert(a.value(QLatin1String("Id")).toString(),
                         {a.value(QLatin1String("Type")).toString(), target});
        }
        return true;
    });
}

bool XlsxSheetRows::readWorkbook(const QString &part, QStringList *sheetIds)
{
    return parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        if (!xml.isStartElement())
            return true;
        if (xml.name() == QLatin1String("workbookPr")) {
            const QXmlStreamAttributes a = xml.attributes();
            const QStringRef v = a.value(QLatin1String("date1904"));
            if (v == QLatin1String("1") || v == QLatin1String("true"))
                m_dateSystem = ExcelDate::System::Date1904;
        } else if (xml.name() == QLatin1String("sheet")) {
            // The relationship id is "r:id", whichever prefix it has.
            for (const QXmlStreamAttribute &a : xml.attributes())
                if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                    *sheetIds << a.value().toString();
        }
        return true;
    });
}

bool XlsxSheetRows::readStyles(const QString &part)
{
    QHash<int, QString> codes;
    std::vector<int> cellFormats;
    bool inNumFmts = false;
    bool inCellXfs = false;
    const bool ok = parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        const QStringRef name = xml.name();
        if (xml.isStartElement()) {
            if (name == QLatin1String("numFmts")) {
                inNumFmts = true;
            } else if (name == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inNumFmts && name == QLatin1String("numFmt")) {
                const QXmlStreamAttributes a = xml.attributes();
                codes.insert(a.value(QLatin1String("numFmtId")).toInt(),
                             a.value(QLatin1String("formatCode")).toString());
            } else if (inCellXfs && name == QLatin1String("xf")) {
                cellFormats.push_back(xml.attributes().value(QLatin1String("numFmtId")).toInt());
            }
        } else if (xml.isEndElement()) {
            if (name == QLatin1String("numFmts"))
                inNumFmts = false;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = false;
        }
        return true;
    });
    m_dateStyle.resize(cellFormats.size());
    for (size_t i = 0; i < cellFormats.size(); ++i)
        m_dateStyle[i] = ExcelDate::isDateFormat(cellFormats[i], codes.value(cellFormats[i]));
    return ok;
}

bool XlsxSheetRows::readSharedStrings(const QString &part)
{
    QString text;
    bool inItem = false;
    bool inText = false;
    int phonetic = 0; // inside reading aids, which are not the cell's text
    qint64 kept = 0;
    return parse(part, m_limits.maxStringsSize, [&](QXmlStreamReader &xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() == QLatin1String("si")) {
                inItem = true;
                text.clear();
            } else if (xml.name() == QLatin1String("t")) {
                inText = inItem && phonetic == 0;
            } else if (xml.name() == QLatin1String("rPh")) {
                ++phonetic;
            }
            break;
        case QXmlStreamReader::Characters:
            if (inText)
                text.append(xml.text());
            break;
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("t")) {
                inText = false;
            } else if (xml.name() == QLatin1String("rPh")) {
                --phonetic;
            } else if (xml.name() == QLatin1String("si")) {
                inItem = false;
                // What a string costs held: its characters and the
                // bookkeeping around them.
                kept += 2 * qint64(text.size()) + XlsxLimits::HeldStringOverhead;
                if (m_shared.size() >= m_limits.maxSharedStrings || kept > m_limits.maxStringsHeld)
                    return fail(QCoreApplication::translate("XlsxReader", "The workbook has more shared strings than can be read (at most %1, or %2 MiB).")
                                        .arg(m_limits.maxSharedStrings)
                                        .arg(m_limits.maxStringsHeld >> 20));
                m_shared.append(unescaped(text));
            }
            break;
        default:
            break;
        }
        return true;
    });
}

bool XlsxSheetRows::mark(const QStringRef &reference)
{
    int r, c;
    if (parseReference(reference, &r, &c) && r >= 0)
        m_marked |= QRect(c, r, 1, 1);
    return true;
}

bool XlsxSheetRows::readComments(const QString &part)
{
    return parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        return !xml.isStartElement() || xml.name() != QLatin1String("comment")
                || mark(xml.attributes().value(QLatin1String("ref")));
    });
}

bool XlsxSheetRows::open()
{
    if (!m_package.open(m_file))
        return fail(m_package.errorString());
    const QString notWorkbook = QCoreApplication::translate("XlsxReader", "The file is not an Excel workbook (.xlsx).");
    // The package's relationships name the workbook part.
    QString workbook;
    QHash<QString, Relationship> rels;
    if (m_package.contains(relationshipsPart(QString()))) {
        if (!readRelationships(QString(), &rels))
            return false;
        for (const Relationship &r : qAsConst(rels))
            if (hasType(r, QLatin1String("/officeDocument")))
                workbook = r.target;
    } else if (m_package.contains(QStringLiteral("xl/workbook.xml"))) {
        workbook = QStringLiteral("xl/workbook.xml");
    }
    if (workbook.isEmpty() || !m_package.contains(workbook))
        return fail(notWorkbook);

    QStringList sheetIds;
    rels.clear();
    if (!readWorkbook(workbook, &sheetIds) || !readRelationships(workbook, &rels))
        return false;
    for (const QString &id : qAsConst(sheetIds)) {
        const auto r = rels.constFind(id);
        if (r != rels.constEnd() && hasType(*r, QLatin1String("/worksheet"))) {
            m_sheet = r->target;
            break;
        }
    }
    if (m_sheet.isEmpty())
        return fail(QCoreApplication::translate("XlsxReader", "The workbook has no worksheet."));
    for (const Relationship &r : qAsConst(rels)) {
        if (hasType(r, QLatin1String("/sharedStrings")) && m_shared.isEmpty() && !readSharedStrings(r.target))
            return false;
        if (hasType(r, QLatin1String("/styles")) && m_dateStyle.empty() && !readStyles(r.target))
            return false;
    }
    const QString sheetRels = relationshipsPart(m_sheet);
    if (m_package.contains(sheetRels)) {
        rels.clear();
        if (!readRelationships(m_sheet, &rels))
            return false;
        for (const Relationship &r : qAsConst(rels))
            if (hasType(r, QLatin1String("/comments")))
                m_comments << r.target;
    }
    return startSheet();
}

bool XlsxSheetRows::startSheet()
{
    m_xml.reset();
    m_stream = m_package.openPart(m_sheet, m_limits.maxSheetSize);
    if (!m_stream)
        return fail(m_package.errorString());
    m_xml = std::make_unique<QXmlStreamReader>(m_stream.get());
    m_inSheetData = m_inCell = m_inInline = m_hasValue = m_ended = m_waiting = false;
    m_phonetic = 0;
    m_sheetRow = -1;
    m_nextColumn = 0;
    m_collect = Collect::Nothing;
    m_cellsRead = 0;
    m_cells.clear();
    m_texts.clear();
    m_marked = QRect();
    return true;
}

bool XlsxSheetRows::rewind()
{
    clearError();
    return startSheet();
}

bool XlsxSheetRows::next()
{
    m_cells.clear();
    m_texts.clear();
    if (!errorString().isEmpty())
        return false;
    if (m_waiting) {
        m_waiting = false;
        if (m_waitingCell.kind == Kind::OwnText || m_waitingCell.kind == Kind::IsoDate) {
            m_waitingCell.text = 0;
            m_texts.append(m_waitingText);
        }
        m_cells.push_back(m_waitingCell);
    }
    // Tokens are pulled until a cell of another row turns up or the sheet
    // ends.
    while (!m_waiting && !m_ended) {
        if (!sheetToken())
            return false;
    }
    if (m_cells.empty())
        return false;
    // Cells given out of order are put in order; of two at one place the
    // later wins.
    auto before = [](const RawCell &a, const RawCell &b) { return a.column < b.column; };
    if (!std::is_sorted(m_cells.begin(), m_cells.end(), before))
        std::stable_sort(m_cells.begin(), m_cells.end(), before);
    size_t kept = 0;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (kept > 0 && m_cells[kept - 1].column == m_cells[i].column)
            --kept;
        m_cells[kept++] = m_cells[i];
    }
    m_cells.resize(kept);
    return true;
}

bool XlsxSheetRows::finishSheet()
{
    m_ended = true;
    if (!partEnd(m_stream.get(), *m_xml, m_sheet))
        return false;
    m_xml.reset();
    m_stream.reset();
    for (const QString &comments : qAsConst(m_comments))
        if (!readComments(comments))
            return false;
    return true;
}

bool XlsxSheetRows::startCell()
{
    // The attributes own the texts their references point into.
    const QXmlStreamAttributes attributes = m_xml->attributes();
    QStringRef reference;
    QStringRef style;
    QStringRef typeName;
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() == QLatin1String("r"))
            reference = a.value();
        else if (a.name() == QLatin1String("s"))
            style = a.value();
        else if (a.name() == QLatin1String("t"))
            typeName = a.value();
    }
    m_cell = RawCell{};
    m_cell.row = m_sheetRow < 0 ? 0 : m_sheetRow;
    m_cell.column = m_nextColumn;
    if (!reference.isNull()) {
        int r;
        if (!parseReference(reference, &r, &m_cell.column))
            return invalidCell(reference.toString());
        if (r >= 0)
            m_cell.row = r;
    }
    if (m_cell.column >= SheetColumns)
        return invalidCell(reference.isNull() ? cellName(m_cell.row, m_cell.column) : reference.toString());
    m_nextColumn = m_cell.column + 1;
    m_cell.style = style.isNull() ? 0 : style.toUInt();
    if (typeName.isEmpty() || typeName == QLatin1String("n"))
        m_type = QLatin1Char('n');
    else if (typeName == QLatin1String("str"))
        m_type = QLatin1Char('S');
    else if (typeName == QLatin1String("inlineStr"))
        m_type = QLatin1Char('i');
    else
        m_type = typeName.at(0);
    m_inCell = true;
    m_hasValue = false;
    return true;
}

bool XlsxSheetRows::finishCell()
{
    m_inCell = false;
    RawCell &cell = m_cell;
    cell.kind = Kind::Blank;
    QString own;
    // An empty value ("<v></v>") leaves the cell empty, as the spreadsheet
    // reads it; an empty inline string is an empty text.
    if (m_hasValue && m_text.isEmpty() && m_type != QLatin1Char('i') && m_type != QLatin1Char('S'))
        m_hasValue = false;
    if (m_hasValue) {
        switch (m_type.unicode()) {
        case 's': {
            bool ok = false;
            cell.text = m_text.toInt(&ok);
            if (!ok || cell.text < 0 || cell.text >= m_shared.size())
                return invalidCell(cellName(cell.row, cell.column));
            cell.kind = Kind::SharedText;
            break;
        }
        case 'b':
            cell.kind = Kind::Bool;
            cell.flag = m_text.trimmed() == QLatin1String("1") || m_text.trimmed() == QLatin1String("true");
            break;
        case 'e': // an error, as its text
        case 'S': // a formula's text
        case 'i': // an inline string
        case 'd': // an ISO 8601 date
            cell.kind = m_type == QLatin1Char('d') ? Kind::IsoDate : Kind::OwnText;
            own = m_type == QLatin1Char('i') || m_type == QLatin1Char('S') ? unescaped(m_text) : m_text;
            break;
        default: {
            bool ok = false;
            cell.number = m_text.toDouble(&ok);
            if (!ok || !std::isfinite(cell.number))
                return invalidCell(cellName(cell.row, cell.column));
            cell.kind = Kind::Number;
        }
        }
    }
    if (++m_cellsRead > m_limits.maxCells)
        return fail(QCoreApplication::translate("XlsxReader", "The first worksheet has more than %1 cells, more than can be read.")
                            .arg(m_limits.maxCells));
    const bool hasOwnText = cell.kind == Kind::OwnText || cell.kind == Kind::IsoDate;
    if (!m_cells.empty() && m_cells.front().row != cell.row) {
        m_waiting = true;
        m_waitingCell = cell;
        m_waitingText = own;
        return true;
    }
    if (hasOwnText) {
        cell.text = m_texts.size();
        m_texts.append(own);
    }
    m_cells.push_back(cell);
    return true;
}

bool XlsxSheetRows::sheetToken()
{
    QXmlStreamReader &xml = *m_xml;
    if (xml.atEnd())
        return finishSheet();
    switch (xml.readNext()) {
    case QXmlStreamReader::DTD:
        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 declares a document type.")
                            .arg(m_sheet));
    case QXmlStreamReader::StartElement: {
        const QStringRef name = xml.name();
        if (!m_inSheetData) {
            if (name == QLatin1String("sheetData")) {
                m_inSheetData = true;
            } else if (name == QLatin1String("mergeCell")) {
                const QXmlStreamAttributes attributes = xml.attributes();
                for (const QStringRef &corner : attributes.value(QLatin1String("ref")).split(QLatin1Char(':')))
                    mark(corner);
            }
        } else if (name == QLatin1String("c")) {
            return startCell();
        } else if (!m_inCell) {
            if (name == QLatin1String("row")) {
                const QXmlStreamAttributes attributes = xml.attributes();
                const QStringRef r = attributes.value(QLatin1String("r"));
                bool ok = true;
                m_sheetRow = r.isNull() ? m_sheetRow + 1 : r.toInt(&ok) - 1;
                if (!ok || m_sheetRow < 0 || m_sheetRow >= SheetHeight)
                    return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid row %2.")
                                        .arg(m_sheet, r.toString().left(16)));
                m_nextColumn = 0;
            }
        } else if (name == QLatin1String("v")) {
            m_collect = Collect::Value;
            m_hasValue = true;
            m_text.resize(0);
        } else if (name == QLatin1String("is")) {
            m_inInline = true;
            m_hasValue = true;
            m_text.resize(0);
        } else if (name == QLatin1String("t")) {
            if (m_inInline && m_phonetic == 0)
                m_collect = Collect::Text;
        } else if (name == QLatin1String("rPh")) {
            ++m_phonetic;
        }
        return true;
    }
    case QXmlStreamReader::Characters:
        if (m_collect != Collect::Nothing)
            m_text.append(xml.text());
        return true;
    case QXmlStreamReader::EndElement: {
        const QStringRef name = xml.name();
        if (name == QLatin1String("v") || name == QLatin1String("t"))
            m_collect = Collect::Nothing;
        else if (name == QLatin1String("c") && m_inCell)
            return finishCell();
        else if (name == QLatin1String("is"))
            m_inInline = false;
        else if (name == QLatin1String("rPh"))
            --m_phonetic;
        else if (name == QLatin1String("sheetData"))
            m_inSheetData = false;
        return true;
    }
    default:
        return true;
    }
}

QVariant XlsxSheetRows::value(int index) const
{
    const RawCell &c = m_cells[size_t(index)];
    switch (c.kind) {
    case Kind::Blank:
        return QVariant();
    case Kind::Number:
        if (c.style < m_dateStyle.size() && m_dateStyle[c.style]) {
            const QDateTime time = ExcelDate::fromSerial(c.number, m_dateSystem);
            if (time.isValid())
                return time;
        }
        return c.number;
    case Kind::SharedText:
        return m_shared.at(c.text);
    case Kind::OwnText:
        return m_texts.at(c.text);
    case Kind::Bool:
        return c.flag;
    case Kind::IsoDate: {
        const QDateTime time = ExcelDate::parseDateTimeText(m_texts.at(c.text));
        return time.isValid() ? QVariant(time) : QVariant(m_texts.at(c.text));
    }
    }
    return QVariant();
}

} // namespace

std::unique_ptr<SheetRows> openXlsxFirstSheet(const QByteArray &file, QString *error, const XlsxLimits &limits)
{
    QString localError;
    QString &err = error ? *error : localError;
    if (!XlsxPackage::hasSignature(file)) {
        err = QCoreApplication::translate("XlsxReader", "The file is not an Excel workbook (.xlsx).");
        return nullptr;
    }
    auto rows = std::make_unique<XlsxSheetRows>(file, limits);
    if (!rows->open()) {
        err = rows->errorString();
        return nullptr;
    }
    return rows;
}

bool readXlsxFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error, const XlsxLimits &limits)
{
    *range = XlsUsedRange();
    QString localError;
    QString &err = error ? *error : localError;
    const std::unique_ptr<SheetRows> rows = openXlsxFirstSheet(file, &err, limits);
    return rows && readUsedRange(*rows, range, &err, limits.maxCells);
}
