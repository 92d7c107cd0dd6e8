#pragma once

#include "data/readingseries.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class JobProgress;
class SheetRows;

// Turns the rows of a readings file into readings, row by row, and says
// what became of each row. Columns are found by their header ("No.",
// "Time", "Value", "Unit", "Basis" or the Chinese table's texts, any case,
// any order, other columns around them, title lines above them) among the
// first ten rows; without such a header the readings layout's positions
// apply below the first row, counted from the leftmost cell of those rows.
// A row with neither a value nor a time is skipped, as is every row
// between that holds no cell. Only the cells of the columns read are
// asked for; the rows are read once, and once more only when slashed
// dates leave the order of day and month to the whole file. A row is rejected,
// never read as 0, when its value is neither a number (a decimal comma is
// taken unless commas separate the cells) nor an overload marker ("OL",
// "-OL"), when its unit is none the program knows, or when its time cannot
// be read.
class ReadingsImport
{
    Q_DECLARE_TR_FUNCTIONS(ReadingsImport)
public:
    enum class Reason { RowTooShort, ValueMissing, ValueNotNumber, UnitMissing, UnitUnknown, TimeUnreadable };

    // Reads the rows to their end; a fault of the file stops the reading
    // and is left in rows.errorString().
    // A progress, when given, hears of the rows read (of rows.rowsHint())
    // and may stop the reading: isCancelled() then says so.
    explicit ReadingsImport(SheetRows &rows, JobProgress *progress = nullptr);
    bool isCancelled() const { return m_cancelled; }
    ~ReadingsImport();
    ReadingsImport(const ReadingsImport &) = delete;
    ReadingsImport &operator=(const ReadingsImport &) = delete;

    int imported() const { return m_imported; }
    int skipped() const { return m_skipped; }
    int rejected() const { return m_rejected; }
    // How many rows were rejected for the reason.
    int rejectedFor(Reason reason) const;

    // The readings in row order.
    ReadingSeries takeReadings();

    // The counts of imported, skipped and rejected rows, then one line per
    // reason with the sheet rows it applies to, e.g. "rows 12 and 40: value
    // is not a number".
    QString report() const;

private:
    struct Rejections
    {
        int count = 0;
        QList<int> rows; // the first few sheet rows, 1-based
    };

    void readRows(SheetRows &rows, JobProgress *progress);
    void reject(Reason reason, int sheetRow);
    static QString reasonText(Reason reason);
    static QString rowsText(const Rejections &rejections);

    ReadingSeries m_readings;
    bool m_cancelled = false;
    int m_imported = 0;
    int m_skipped = 0;
    int m_rejected = 0;
    Rejections m_reasons[6];
};
