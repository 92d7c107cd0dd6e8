#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

namespace Biff {
class Writer;
}

// Builds a classic Excel workbook (BIFF8 in a compound file) with one
// worksheet, cell by cell: numbers, shared-string texts and formatted
// blanks, number formats and column widths.
class XlsWorkbookWriter
{
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    // The cell format every sheet cell has unless told otherwise.
    static constexpr int GeneralFormat = 15;

    // A cell format showing numbers with the given number format code; the
    // same code gives the same handle. "@" is the built-in text format,
    // "General" the default.
    int cellFormat(const QString &numberFormat);

    // Cells outside the sheet's 65,536 rows and 256 columns are dropped
    // (false). A later cell at the same place replaces the earlier one. An
    // empty text gives a blank cell with the format.
    bool addNumber(int row, int column, double value, int format = GeneralFormat);
    bool addText(int row, int column, const QString &text, int format = GeneralFormat);
    bool addBlank(int row, int column, int format);
    // Width in 1/256 of the width of the digit "0" of the default font.
    void setColumnWidth(int column, int width);
    void setSheetName(const QString &name) { m_sheetName = name; }

    QByteArray workbookStream() const;
    // The complete file: the workbook stream in a compound document.
    QByteArray fileData() const;

private:
    enum class Kind : quint8 { Number, Text, Blank };
    struct Cell
    {
        quint16 row;
        quint16 column;
        quint16 format;
        Kind kind;
        double number;
        quint32 string;
    };

    void writeGlobals(Biff::Writer &w, int *boundSheetPosition) const;
    void writeSharedStrings(Biff::Writer &w) const;
    void writeSheet(Biff::Writer &w) const;

    QString m_sheetName = QStringLiteral("Sheet1");
    QStringList m_formatCodes;           // custom codes, numbered from 164
    std::vector<quint16> m_cellFormats;  // number format of each extra cell format
    QHash<QString, int> m_formatHandles;
    std::vector<Cell> m_cells;
    QStringList m_strings;
    QHash<QString, quint32> m_stringIndex;
    QMap<int, int> m_columnWidths;
};
