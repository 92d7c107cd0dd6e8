#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

class ReadingSeries;
struct sqlite3;
struct sqlite3_stmt;

// The readings table of measurements.sqlite, written and read through the
// SQLite library itself on the connection Qt opened. A reading then costs
// a bound row of plain numbers, where a query through Qt's driver costs a
// QVariant per field: a million readings are kept or loaded in a fraction
// of a second instead of seconds.
//
// Only where Qt's SQLite driver uses the same SQLite library as the
// program (the build checks this; see data/CMakeLists.txt): a connection
// of one copy of the library must not be handed to another.
class SqliteReadings
{
public:
    // Whether this build may use the driver's connection directly.
    static bool available();

    // The driver's handle (QSqlDriver::handle()); none when unavailable.
    explicit SqliteReadings(const QVariant &handle);
    ~SqliteReadings();
    SqliteReadings(const SqliteReadings &) = delete;
    SqliteReadings &operator=(const SqliteReadings &) = delete;

    bool isValid() const { return m_db != nullptr; }

    // The readings [first, end) as rows seq = first, first + 1, ... of the
    // item, in the file's layout. False with error() on failure.
    bool insert(qint64 item, const ReadingSeries &readings, int first, int end);
    // The item's rows in seq order onto the end of readings.
    bool load(qint64 item, ReadingSeries *readings);

    QString error() const { return m_error; }

private:
    class BasisBytes;
    static constexpr int Columns = 11;
    static constexpr int InsertGroup = 256;

    bool prepare(sqlite3_stmt **statement, const char *sql);
    bool failed();
    // Binds the i-th reading as the row whose first parameter follows `column`;
    // text is room for a value text that lives until the statement runs.
    void bindRow(sqlite3_stmt *statement, int column, qint64 item, const ReadingSeries &readings, int i,
                 BasisBytes *bases, char *text);

    sqlite3 *m_db = nullptr;
    QByteArray m_groupSql;
    sqlite3_stmt *m_insert = nullptr;
    sqlite3_stmt *m_insertGroup = nullptr;
    sqlite3_stmt *m_select = nullptr;
    QString m_error;
};
