#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

class QAbstractItemModel;

// Readings as comma-separated values (RFC 4180).
namespace ReadingsCsv {

// A field as written: quoted when it holds the separator, a quote, a line
// break or blanks at either end (which readers would otherwise trim),
// quotes doubled inside.
QString field(const QString &text);

// The separator of a CSV text: a leading "sep=X" line names it; otherwise
// the most frequent of comma, semicolon and tab outside quotes in the
// first line (comma when none is there).
QChar separatorOf(const QString &text);

// The text of a CSV file: after a byte-order mark as it says (UTF-8,
// UTF-16), without one as UTF-8 when it is valid UTF-8, else in the
// system's local encoding.
QString decode(const QByteArray &data);

} // namespace ReadingsCsv

// Writes the table as CSV: UTF-8 with a byte-order mark (so that
// spreadsheets take "μm" and Chinese texts right), the header row "No.",
// "Time", "Value", "Unit", "Basis", then one record per table row with the
// time as "yyyy-MM-dd hh:mm:ss", comma separators and CRLF line ends. The
// file is replaced only when the new one is complete; on failure the error
// text says why.
bool writeReadingsCsv(const QString &path, const QAbstractItemModel &table, QString *error);

// A CSV text as a spreadsheet shows it: records as rows, fields as text
// cells (an empty field is an empty cell), separated by commas, semicolons
// or tabs, quoted fields with separators, doubled quotes and line breaks
// inside. The used range spans the non-empty fields, every row as many
// cells wide. The text is kept in one piece and a row's cells are made when
// the row is asked for, so that a million readings are not held as five
// million cell values at once.
class CsvTable
{
public:
    // False with an error text for an unclosed quote or more than maxCells
    // fields or cells of the used range.
    bool parse(const QByteArray &data, QString *error, int maxCells = 1 << 23);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    int firstRow() const { return m_top; }
    int firstColumn() const { return m_left; }
    // Row r of the used range, counted from 0. Not for use by two threads
    // at once.
    QVariantList row(int r) const;
    QList<QVariantList> rows() const;

private:
    // Where a field's text is: a stretch of the text, or (start < 0) an
    // unquoted copy.
    struct Field
    {
        int start;
        int length;
    };

    QString recentText(int column, int start, int length) const;

    static constexpr int RecentColumns = 8;
    static constexpr int RecentTexts = 4;

    QString m_text;
    std::vector<Field> m_fields;
    std::vector<size_t> m_records; // first field of each record, then the end
    QVector<QString> m_unquoted;
    int m_top = 0;
    int m_rows = 0;
    int m_left = 0;
    int m_columns = 0;
    mutable QVariantList m_row;
    mutable QString m_recent[RecentColumns][RecentTexts];
    mutable int m_nextRecent[RecentColumns] = {};
};
