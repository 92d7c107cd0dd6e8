#pragma once

#include "exchange/sheetrows.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

class JobProgress;
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
bool writeReadingsCsv(const QString &path, const QAbstractItemModel &table, QString *error,
                      JobProgress *progress = nullptr);

// A CSV text as a spreadsheet shows it, row by row: records as rows,
// fields as text cells (an empty field is an empty place), separated by
// commas, semicolons or tabs, quoted fields with separators, doubled quotes
// and line breaks inside. Records without a non-empty field are no rows.
// The text is kept in one piece and a row's fields are found when the row
// is asked for, so that a million readings are not held as five million
// cell values at once.
class CsvTable : public SheetRows
{
public:
    // Decodes the data and checks every record. False with an error text
    // for an undecodable text, an unclosed quote or more than maxFields
    // fields.
    bool parse(const QByteArray &data, QString *error, int maxFields = ReadingsCsv::MaxFields,
               JobProgress *progress = nullptr);
    QChar separator() const { return m_separator; }

    bool next() override;
    bool rewind() override;
    int row() const override { return m_row; }
    int cellCount() const override { return int(m_cells.size()); }
    int column(int index) const override { return m_cells[size_t(index)].column; }
    QVariant value(int index) const override;
    bool commaSeparated() const override { return m_separator == QLatin1Char(','); }
    int rowsHint() const override { return m_records; }

private:
    // A non-empty field: a stretch of the text, or (start < 0) an unquoted
    // copy.
    struct Field
    {
        int column;
        int start;
        int length;
    };

    // The next record's non-empty fields into m_cells, false at the end of
    // the text or on an error.
    bool scanRecord();
    QString recentText(int column, int start, int length) const;

    static constexpr int RecentColumns = 8;
    static constexpr int RecentTexts = 4;

    QString m_text;
    QChar m_separator;
    int m_begin = 0;    // after a "sep=" line
    int m_position = 0; // where the next record begins
    int m_record = 0;   // the next record's number, from 0
    int m_records = 0;  // records in the text
    int m_line = 1;
    int m_maxFields = 0;
    qint64 m_fields = 0;
    int m_row = 0;
    std::vector<Field> m_cells;
    QVector<QString> m_unquoted;
    mutable QString m_recent[RecentColumns][RecentTexts];
    mutable int m_nextRecent[RecentColumns] = {};
};
