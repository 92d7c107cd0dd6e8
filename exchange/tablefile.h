#pragma once

#include "exchange/readingscsv.h"

#include <QList>
#include <QString>
#include <QVariant>

class QAbstractItemModel;

// The file formats the readings table is exported to and imported from:
// the classic workbook (.xls), the Office Open XML workbook (.xlsx) and
// comma-separated values (.csv), all in the readings layout.
namespace TableFile {

enum class Format { Xls, Xlsx, Csv };

// Save dialog filters, the classic workbook first.
QString exportFilters();
// Open dialog filters: every readable file first, then each format.
QString importFilters();

// The format a chosen save name asks for: its suffix when that is one of
// the three, else the chosen filter's (the classic workbook when neither
// names another).
Format exportFormat(const QString &fileName, const QString &selectedFilter);
QString suffix(Format format);

// Writes the table in the format through a temporary file. Each format
// refuses a table beyond its own row limit; on failure the error text says
// why.
bool write(const QString &path, Format format, const QAbstractItemModel &table, QString *error);

// The rows of a readings file's used range, each a list of cell values
// (see XlsUsedRange); a CSV file's rows are made as they are asked for.
class Rows
{
public:
    Rows() = default;
    // Rows of a worksheet whose used range starts at the zero-based sheet
    // row firstRow.
    explicit Rows(QList<QVariantList> rows, int firstRow = 0) : m_rows(std::move(rows)), m_firstRow(firstRow) {}

    int size() const { return m_csv.rowCount() > 0 ? m_csv.rowCount() : m_rows.size(); }
    QVariantList at(int row) const { return m_csv.rowCount() > 0 ? m_csv.row(row) : m_rows.at(row); }
    // The zero-based sheet row (CSV record) of at(0).
    int firstRow() const { return m_csv.rowCount() > 0 ? m_csv.firstRow() : m_firstRow; }
    // Whether the cells were separated by commas, which leaves no room for
    // a decimal comma.
    bool commaSeparated() const { return m_csv.rowCount() > 0 && m_csv.separator() == QLatin1Char(','); }

private:
    friend bool read(const QString &path, Rows *rows, QString *error);
    QList<QVariantList> m_rows;
    int m_firstRow = 0;
    CsvTable m_csv;
};

// The used range of the first worksheet of a readings file. The content decides the format (a compound
// document is a classic workbook, a zip package an .xlsx); other files are
// CSV when named so (.csv, .txt, .tsv) and otherwise taken for a classic
// workbook, whose reader then says why it is none. False with an error text
// for a file that cannot be read.
bool read(const QString &path, Rows *rows, QString *error);

} // namespace TableFile
