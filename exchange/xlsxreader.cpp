#include "exchange/xlsxreader.h"

#include "exchange/exceldate.h"
#include "exchange/xlsxpackage.h"
#include "exchange/xlsxsheetscanner.h"

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

using Kind = XlsxCell::Kind;

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
    QRect markedCells() const override
    {
        return m_commented | (m_scanner ? m_scanner->mergedCells() : QRect());
    }

private:
    template <typename Visit>
    bool parse(const QString &part, qint64 maxSize, Visit visit);
    bool readRelationships(const QString &source, QHash<QString, Relationship> *rels);
    bool readWorkbook(const QString &part, QStringList *sheetIds);
    bool readStyles(const QString &part);
    bool readSharedStrings(const QString &part);
    bool readComments(const QString &part);

    bool startSheet();
    bool finishSheet();

    const QByteArray m_file; // the package reads from it
    XlsxPackage m_package;
    XlsxLimits m_limits;
    ExcelDate::System m_dateSystem = ExcelDate::System::Date1900;
    std::vector<bool> m_dateStyle;
    QVector<QString> m_shared;
    QString m_sheet;
    QStringList m_comments;

    std::unique_ptr<XlsxPartStream> m_stream;
    std::unique_ptr<XlsxSheetScanner> m_scanner;
    bool m_ended = false;
    std::vector<XlsxCell> m_cells; // the current row
    QVector<QString> m_texts;      // its own texts
    QRect m_commented;
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
                m_shared.append(unescapedCellText(text));
            }
            break;
        default:
            break;
        }
        return true;
    });
}

bool XlsxSheetRows::readComments(const QString &part)
{
    return parse(part, m_limits.maxOtherPartSize, [&](QXmlStreamReader &xml) {
        if (xml.isStartElement() && xml.name() == QLatin1String("comment")) {
            const QByteArray reference = xml.attributes().value(QLatin1String("ref")).toUtf8();
            int r, c;
            if (parseCellReference(reference.constData(), reference.size(), &r, &c) && r >= 0)
                m_commented |= QRect(c, r, 1, 1);
        }
        return true;
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
    m_scanner.reset();
    m_stream = m_package.openPart(m_sheet, m_limits.maxSheetSize);
    if (!m_stream)
        return fail(m_package.errorString());
    m_scanner = std::make_unique<XlsxSheetScanner>(m_stream.get(), m_sheet, m_shared.size(), m_limits.maxCells);
    m_ended = false;
    m_cells.clear();
    m_texts.clear();
    m_commented = QRect();
    return true;
}

bool XlsxSheetRows::rewind()
{
    clearError();
    return startSheet();
}

bool XlsxSheetRows::next()
{
    if (m_ended || !m_scanner || !errorString().isEmpty())
        return false;
    if (m_scanner->nextRow(&m_cells, &m_texts))
        return true;
    m_ended = true;
    if (!m_scanner->error().isEmpty())
        return fail(m_scanner->error());
    finishSheet();
    return false;
}

// The part read to its end: the archive has checked its checksum; the
// comments the sheet refers to belong to the used range.
bool XlsxSheetRows::finishSheet()
{
    if (m_stream->failed())
        return fail(m_stream->errorString());
    for (const QString &comments : qAsConst(m_comments))
        if (!readComments(comments))
            return false;
    return true;
}

QVariant XlsxSheetRows::value(int index) const
{
    const XlsxCell &c = m_cells[size_t(index)];
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
