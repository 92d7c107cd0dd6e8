#include "exchange/xlsxreader.h"

#include "exchange/exceldate.h"
#include "exchange/usedrangegrid.h"
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

constexpr int SheetRows = 1048576;
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

struct Bounds
{
    int top = SheetRows;
    int left = SheetColumns;
    int bottom = -1;
    int right = -1;

    bool isEmpty() const { return bottom < 0; }
    void include(int row, int column)
    {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        left = std::min(left, column);
        right = std::max(right, column);
    }
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
    if (i != ref.size() || (i > digitsStart && (r < 1 || r > SheetRows)))
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

class Reader
{
public:
    Reader(XlsxPackage &package, const XlsxLimits &limits)
        : m_package(package), m_limits(limits)
    {
    }

    bool read(XlsUsedRange *range);
    QString error;

private:
    template <typename Visit>
    bool parse(const QString &part, qint64 maxSize, Visit visit);
    bool readRelationships(const QString &source, QHash<QString, Relationship> *rels);
    bool readWorkbook(const QString &part, QStringList *sheetIds);
    bool readStyles(const QString &part);
    bool readSharedStrings(const QString &part);
    bool readSheet(const QString &part);
    bool readComments(const QString &part);
    bool assemble(XlsUsedRange *range);

    bool fail(const QString &reason)
    {
        error = reason;
        return false;
    }
    bool invalidCell(const QString &part, const QString &cell)
    {
        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid cell %2.")
                            .arg(part, cell.left(16)));
    }

    XlsxPackage &m_package;
    XlsxLimits m_limits;
    ExcelDate::System m_dateSystem = ExcelDate::System::Date1900;
    std::vector<bool> m_dateStyle;
    QVector<QString> m_shared;
    QVector<QString> m_texts;
    std::vector<RawCell> m_cells;
    Bounds m_marked; // merged and commented cells
};

template <typename Visit>
bool Reader::parse(const QString &part, qint64 maxSize, Visit visit)
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
    if (stream->failed())
        return fail(stream->errorString());
    if (xml.hasError())
        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 is not well-formed XML (line %2: %3).")
                            .arg(part)
                            .arg(xml.lineNumber())
                            .arg(xml.errorString()));
    // The archive checks a part's checksum once the part has been read to
    // its end.
    char rest[4096];
    while (stream->read(rest, sizeof rest) > 0) {
    }
    return !stream->failed() || fail(stream->errorString());
}

bool Reader::readRelationships(const QString &source, QHash<QString, Relationship> *rels)
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

bool Reader::readWorkbook(const QString &part, QStringList *sheetIds)
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

bool Reader::readStyles(const QString &part)
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

bool Reader::readSharedStrings(const QString &part)
{
    QString text;
    bool inItem = false;
    bool inText = false;
    int phonetic = 0; // inside reading aids, which are not the cell's text
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
                if (m_shared.size() >= m_limits.maxSharedStrings)
                    return fail(QCoreApplication::translate("XlsxReader", "The workbook has more than %1 shared strings, more than can be read.")
                                        .arg(m_limits.maxSharedStrings));
                m_shared.append(unescaped(text));
            }
            break;
        default:
            break;
        }
        return true;
    });
}

bool Reader::readSheet(const QString &part)
{
    enum class Collect { Nothing, Value, Text };
    bool inSheetData = false;
    int row = -1;
    int nextColumn = 0;
    bool inCell = false;
    bool inInline = false;
    int phonetic = 0;
    bool hasValue = false;
    Collect collect = Collect::Nothing;
    QChar type;
    RawCell cell{};
    QString value;

    auto finishCell = [&]() {
        inCell = false;
        cell.kind = Kind::Blank;
        // An empty value ("<v></v>") leaves the cell empty, as the
        // spreadsheet reads it; an empty inline string is an empty text.
        if (hasValue && value.isEmpty() && type != QLatin1Char('i') && type != QLatin1Char('S'))
            hasValue = false;
        if (hasValue) {
            switch (type.unicode()) {
            case 's': {
                bool ok = false;
                cell.text = value.toInt(&ok);
                if (!ok || cell.text < 0 || cell.text >= m_shared.size())
                    return invalidCell(part, cellName(cell.row, cell.column));
                cell.kind = Kind::SharedText;
                break;
            }
            case 'b':
                cell.kind = Kind::Bool;
                cell.flag = value.trimmed() == QLatin1String("1") || value.trimmed() == QLatin1String("true");
                break;
            case 'e': // an error, as its text
            case 'S': // a formula's text
            case 'i': // an inline string
            case 'd': // an ISO 8601 date
                cell.kind = type == QLatin1Char('d') ? Kind::IsoDate : Kind::OwnText;
                cell.text = m_texts.size();
                m_texts.append(type == QLatin1Char('i') || type == QLatin1Char('S') ? unescaped(value) : value);
                break;
            default: {
                bool ok = false;
                cell.number = value.toDouble(&ok);
                if (!ok || !std::isfinite(cell.number))
                    return invalidCell(part, cellName(cell.row, cell.column));
                cell.kind = Kind::Number;
            }
            }
        }
        if (m_cells.size() >= size_t(m_limits.maxCells))
            return fail(QCoreApplication::translate("XlsxReader", "The first worksheet has more than %1 cells, more than can be read.")
                                .arg(m_limits.maxCells));
        m_cells.push_back(cell);
        return true;
    };

    auto startCell = [&](const QXmlStreamReader &xml) {
        // The attributes own the texts their references point into.
        const QXmlStreamAttributes attributes = xml.attributes();
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
        cell = RawCell{};
        cell.row = row < 0 ? 0 : row;
        cell.column = nextColumn;
        if (!reference.isNull()) {
            int r;
            if (!parseReference(reference, &r, &cell.column))
                return invalidCell(part, reference.toString());
            if (r >= 0)
                cell.row = r;
        }
        if (cell.column >= SheetColumns)
            return invalidCell(part, reference.isNull() ? cellName(cell.row, cell.column) : reference.toString());
        nextColumn = cell.column + 1;
        cell.style = style.isNull() ? 0 : style.toUInt();
        if (typeName.isEmpty() || typeName == QLatin1String("n"))
            type = QLatin1Char('n');
        else if (typeName == QLatin1String("str"))
            type = QLatin1Char('S');
        else if (typeName == QLatin1String("inlineStr"))
            type = QLatin1Char('i');
        else
            type = typeName.at(0);
        inCell = true;
        hasValue = false;
        return true;
    };

    return parse(part, m_limits.maxSheetSize, [&](QXmlStreamReader &xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef name = xml.name();
            if (!inSheetData) {
                if (name == QLatin1String("sheetData")) {
                    inSheetData = true;
                } else if (name == QLatin1String("mergeCell")) {
                    const QXmlStreamAttributes attributes = xml.attributes();
                    const QVector<QStringRef> corners =
                            attributes.value(QLatin1String("ref")).split(QLatin1Char(':'));
                    for (const QStringRef &corner : corners) {
                        int r, c;
                        if (parseReference(corner, &r, &c) && r >= 0)
                            m_marked.include(r, c);
                    }
                }
            } else if (name == QLatin1String("c")) {
                return startCell(xml);
            } else if (!inCell) {
                if (name == QLatin1String("row")) {
                    const QXmlStreamAttributes attributes = xml.attributes();
                    const QStringRef r = attributes.value(QLatin1String("r"));
                    bool ok = true;
                    row = r.isNull() ? row + 1 : r.toInt(&ok) - 1;
                    if (!ok || row < 0 || row >= SheetRows)
                        return fail(QCoreApplication::translate("XlsxReader", "The workbook is damaged: its part %1 holds an invalid row %2.")
                                            .arg(part, r.toString().left(16)));
                    nextColumn = 0;
                }
            } else if (name == QLatin1String("v")) {
                collect = Collect::Value;
                hasValue = true;
                value.resize(0);
            } else if (name == QLatin1String("is")) {
                inInline = true;
                hasValue = true;
                value.resize(0);
            } else if (name == QLatin1String("t")) {
                if (inInline && phonetic == 0)
                    collect = Collect::Text;
            } else if (name == QLatin1String("rPh")) {
                ++phonetic;
            }
            return true;
        }
        case QXmlStreamReader::Characters:
            if (collect != Collect::Nothing)
                value.append(xml.text());
            return true;
        case QXmlStreamReader::EndElement: {
            const QStringRef name = xml.name();
            if (name == QLatin1String("v") || name == QLatin1String("t"))
                collect = Collect::Nothing;
            else if (name == QLatin1String("c") && inCell)
                return finishCell();
            else if (name == QLatin1String("is"))
                inInline = false;
            else if (name == QLatin1String("rPh"))
                --phonetic;
            else if (name == QLatin1String("sheetData"))
                inSheetData = false;
            return true;
        }
        default:
            return true;
        }
    });
}

bool Reader::readComments(const QString &part)
{
    return parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement() && xml.name() == QLatin1String("comment")) {
            int r, c;
            if (parseReference(xml.attributes().value(QLatin1String("ref")), &r, &c) && r >= 0)
                m_marked.include(r, c);
        }
        return true;
    });
}

bool Reader::read(XlsUsedRange *range)
{
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
    QString sheet;
    for (const QString &id : qAsConst(sheetIds)) {
        const auto r = rels.constFind(id);
        if (r != rels.constEnd() && hasType(*r, QLatin1String("/worksheet"))) {
            sheet = r->target;
            break;
        }
    }
    if (sheet.isEmpty())
        return fail(QCoreApplication::translate("XlsxReader", "The workbook has no worksheet."));
    for (const Relationship &r : qAsConst(rels)) {
        if (hasType(r, QLatin1String("/sharedStrings")) && m_shared.isEmpty() && !readSharedStrings(r.target))
            return false;
        if (hasType(r, QLatin1String("/styles")) && m_dateStyle.empty() && !readStyles(r.target))
            return false;
    }

    if (!readSheet(sheet))
        return false;
    const QString sheetRels = relationshipsPart(sheet);
    if (m_package.contains(sheetRels)) {
        rels.clear();
        if (!readRelationships(sheet, &rels))
            return false;
        for (const Relationship &r : qAsConst(rels))
            if (hasType(r, QLatin1String("/comments")) && !readComments(r.target))
                return false;
    }
    return assemble(range);
}

bool Reader::assemble(XlsUsedRange *range)
{
    Bounds used = m_marked;
    for (const RawCell &c : m_cells)
        used.include(c.row, c.column);
    if (used.isEmpty())
        return true;
    const int rows = used.bottom - used.top + 1;
    const int columns = used.right - used.left + 1;
    if (qint64(rows) * columns > m_limits.maxCells)
        return fail(QCoreApplication::translate("XlsxReader", "The used range of the first worksheet is too large: %1 cells, at most %2 can be read.")
                            .arg(qint64(rows) * columns)
                            .arg(m_limits.maxCells));

    // Row by row in sheet order; of two cells at one place the later wins.
    auto before = [](const RawCell &a, const RawCell &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    if (!std::is_sorted(m_cells.begin(), m_cells.end(), before))
        std::stable_sort(m_cells.begin(), m_cells.end(), before);
    auto value = [&](const RawCell &c) -> QVariant {
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
    };
    fillUsedRange(m_cells, used.top, used.bottom, used.left, columns, value, range);
    return true;
}

} // namespace

bool readXlsxFirstSheet(const QByteArray &file, XlsUsedRange *range, QString *error, const XlsxLimits &limits)
{
    *range = XlsUsedRange();
    QString localError;
    QString &err = error ? *error : localError;
    if (!XlsxPackage::hasSignature(file)) {
        err = QCoreApplication::translate("XlsxReader", "The file is not an Excel workbook (.xlsx).");
        return false;
    }
    XlsxPackage package;
    if (!package.open(file)) {
        err = package.errorString();
        return false;
    }
    Reader reader(package, limits);
    if (!reader.read(range)) {
        err = reader.error;
        *range = XlsUsedRange();
        return false;
    }
    return true;
}
