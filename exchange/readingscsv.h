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

// The most readings a CSV file is written with, and the most fields one is
// read with: every file the export writes (five fields a record) can be
// read again, with room for a few more columns.
constexpr int MaxReadings = 2000000;
constexpr int MaxFields = 1 << 24;

// The text of a CSV file: after a byte-order mark as it says (UTF-8,
// UTF-16); without one as UTF-8 when it is valid UTF-8, else as GB18030
// (the Chinese spreadsheet's plain "CSV") or Windows-1252 (the Western
// one), whichever fits the bytes. False when none of these reads every
// byte: no character is replaced silently.
bool decode(const QByteArray &data, QString *text);

} // namespace ReadingsCsv

// Writes the table as CSV: UTF-8 with a byte-order mark (so that
// spreadsheets take "μm" and Chinese texts right), the header row "No.",
// "Time", "Value", "Unit", "Basis", then one record per table row with the
// time as "yyyy-MM-dd hh:mm:ss", comma separators and CRLF line ends. A
// table of more than ReadingsCsv::MaxReadings rows is refused. The
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
    bool parse(const QByteArray &data, QString *error, int maxCells = ReadingsCsv::MaxFields);

    int rowCount() const { return m_rows; }
    QChar separator() const { return m_separator; }
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
    QChar m_separator;
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
