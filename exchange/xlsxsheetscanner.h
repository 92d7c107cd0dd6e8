#pragma once

#include "exchange/xmltokenizer.h"

#include <QRect>
#include <QString>
#include <QVector>

#include <memory>
#include <string>
#include <vector>

class QIODevice;
class QTextDecoder;

// The last row and column of a worksheet in Office Open XML.
constexpr int XlsxSheetHeight = 1048576;
constexpr int XlsxSheetWidth = 16384;

// "B12", "b12" or "XFD1048576", zero-based; a reference without its row
// number gives row -1.
bool parseCellReference(const char *text, int length, int *row, int *column);
// Cell texts escape characters XML cannot carry as "_xHHHH_".
QString unescapedCellText(const QString &text);

// One cell as the worksheet's XML gives it; its value is made later.
struct XlsxCell
{
    enum class Kind : quint8 { Blank, Number, SharedText, OwnText, Bool, IsoDate };
    int row;
    int column;
    Kind kind;
    bool flag;     // a boolean's value
    quint32 style; // index into the cell formats
    double number;
    int text; // into the shared strings, or the row's own texts
};

// Pulls the cells of a worksheet part out of its XML one row at a time,
// tokenized as the part is inflated; nothing but the rows of the last piece
// tokenized is held. A part in another encoding than UTF-8 is converted on
// the way. A row is a run of cells of one sheet row, in column order,
// one cell a column (of two at one place the later); the rows come in the
// order the part gives them. A document type, XML that is not well-formed,
// an invalid row or cell, or more than maxCells cells end the rows with
// the reason in error().
class XlsxSheetScanner : private XmlTokenizer::Handler
{
public:
    XlsxSheetScanner(QIODevice *part, const QString &partName, int sharedStrings, qint64 maxCells);
    ~XlsxSheetScanner();
    XlsxSheetScanner(const XlsxSheetScanner &) = delete;
    XlsxSheetScanner &operator=(const XlsxSheetScanner &) = delete;

    // The next row's cells and the texts that are their own; false at the
    // end of the part or on an error.
    bool nextRow(std::vector<XlsxCell> *cells, QVector<QString> *texts);
    QString error() const { return m_error; }
    // The merged areas met so far.
    QRect mergedCells() const { return m_merged; }

private:
    enum class Collect { Nothing, Value, Text };
    void startElement(std::string_view name, const std::vector<XmlTokenizer::Attribute> &attributes) override;
    void endElement(std::string_view name) override;
    void characters(std::string_view text) override;

    bool parseMore();
    bool feed(const char *data, qint64 size, bool last);
    void startCell(const std::vector<XmlTokenizer::Attribute> &attributes);
    void startRow(const std::vector<XmlTokenizer::Attribute> &attributes);
    void finishCell();
    QString ownText(bool escaped);
    void stop(const QString &reason);
    void invalidCell(const QString &cell);

    QIODevice *m_part;
    QString m_partName;
    int m_sharedStrings;
    qint64 m_maxCells;
    XmlTokenizer m_tokenizer;
    std::unique_ptr<QTextDecoder> m_decoder; // for a part not in UTF-8
    bool m_started = false;
    bool m_ended = false;
    QString m_error;

    bool m_inSheetData = false;
    bool m_inCell = false;
    bool m_inInline = false;
    bool m_hasValue = false;
    int m_phonetic = 0;
    int m_sheetRow = -1;
    int m_nextColumn = 0;
    char m_type = 'n';
    Collect m_collect = Collect::Nothing;
    std::string m_text;
    XlsxCell m_cell{};
    qint64 m_cellsRead = 0;
    QRect m_merged;

    // The cells parsed but not yet handed out, each with its own text (null
    // for cells without one); those before m_head are handed out, those
    // from m_rowStart on belong to the row parsed last.
    struct Parsed
    {
        XlsxCell cell;
        QString text;
    };
    size_t putInOrder(size_t begin, size_t end);
    std::vector<Parsed> m_parsed;
    size_t m_head = 0;
    size_t m_rowStart = 0;

    // Short texts that repeat down a column (units, bases) are handed out
    // again rather than made anew for every row.
    static constexpr int RecentColumns = 8;
    static constexpr int RecentTexts = 4;
    struct Recent
    {
        std::string bytes;
        QString text;
    };
    Recent m_recent[RecentColumns][RecentTexts];
    int m_nextRecent[RecentColumns] = {};
};
