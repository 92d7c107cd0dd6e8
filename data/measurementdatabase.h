#pragma once

#include "data/itemkeeper.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>

#include <memory>

class QLockFile;
class SqliteReadings;
class QSqlError;
class QSqlQuery;

// Keeps the measurement items in one SQLite file, measurements.sqlite in
// the per-user data folder. Every change is committed before the call
// returns, in the write-ahead log with synchronous=NORMAL. What survives
// what:
// - the program crashing or being killed: every committed change;
// - the machine losing power: the file stays sound, with every change up
//   to the last checkpoint (the log is synced when it is copied into the
//   file, about every thousand pages); changes committed after it may be
//   missing, each one whole or not at all.
// Syncing the log at every commit (synchronous=FULL) would keep those too,
// but costs the item store about three times as much per live reading
// (0.16 ms against 0.05 ms), which a gauge sending a thousand readings a
// second cannot afford on top of the window's own 0.3 ms.
// A lock file beside it (measurements.sqlite.lock) is held while it is open,
// so a second running copy of the program cannot write into it, and two
// copies started at once settle which one keeps it. Others may read the
// file meanwhile (the write-ahead log lets readers and the writer pass).
class MeasurementDatabase : public ItemKeeper
{
    Q_DECLARE_TR_FUNCTIONS(MeasurementDatabase)
public:
    // The layout this build writes, counted in PRAGMA user_version.
    static const int SchemaVersion;

    MeasurementDatabase();
    ~MeasurementDatabase() override;
    MeasurementDatabase(const MeasurementDatabase &) = delete;
    MeasurementDatabase &operator=(const MeasurementDatabase &) = delete;

    // What kept the file from being opened.
    enum class Fault { None, Damaged, Newer, ReadOnly, Locked, Failed };

    // measurements.sqlite in QStandardPaths::AppDataLocation.
    static QString defaultPath();

    // Opens the file, making or upgrading it. On false nothing is kept,
    // the file is left exactly as it was and problem() says why. A damaged
    // file is renamed aside first and a new one made; notice() names both.
    bool open(const QString &path = defaultPath());
    // Opens the file only to read it, without its lock file, so that it
    // may be read while another copy of the program keeps it: every read
    // sees the file as it was at the first one. Nothing is made, upgraded
    // or renamed aside; a missing file reads as one without items (a
    // reader may leave an empty write-ahead log and its index beside it,
    // which the next writer takes up). On false, problem() says why.
    bool openToRead(const QString &path = defaultPath());
    void close();
    bool isOpen() const { return m_open; }
    // Why the last open failed; None after a successful one.
    Fault fault() const { return m_fault; }
    QString path() const { return m_path; }
    // Where a damaged file was put, or empty.
    QString asidePath() const { return m_asidePath; }
    // Why measurements are not being kept; empty while the file is open.
    QString problem() const { return m_problem; }
    // What the user should know although measurements are kept.
    QString notice() const { return m_notice; }

    QList<KeptItem> keptItems() const override { return m_items; }
    qint64 keptActiveItem() const override { return m_activeId; }
    bool loadReadings(qint64 id, ReadingSeries *readings);
    void requestReadings(qint64 id, const ReadingsDone &done) override;
    qint64 addItem(const QString &name, ItemData::DataType type, Unit unit) override;
    // The same with the id it is to have (above every id there is).
    qint64 addItem(const QString &name, ItemData::DataType type, Unit unit, qint64 id);
    bool removeItem(qint64 id) override;
    bool renameItem(qint64 id, const QString &name) override;
    bool setUnit(qint64 id, Unit unit) override;
    bool setActiveItem(qint64 id) override;
    bool appendReadings(qint64 id, const ReadingSeries &readings, int first,
                        const ItemStatistics &statistics) override;
    bool clearReadings(qint64 id, const ItemStatistics &statistics) override;
    bool setStatistics(qint64 id, const ItemStatistics &statistics) override;
    bool setLimits(qint64 id, const ItemLimits &limits) override;
    bool beginChanges() override;
    bool commitChanges() override;
    bool setDetails(qint64 id, const ItemDetails &details) override;
    QString failure() const override { return m_failure; }

    void keepNewItem(const NewItem &item, const ReadingSeries &readings, const std::shared_ptr<JobProgress> &progress,
                     const NewItemDone &done) override;
    // The same, with the id the item is to have.
    Outcome keepNewItem(const NewItem &item, const ReadingSeries &readings, JobProgress *progress);

    // The largest item id there is, 0 without items.
    qint64 largestItemId();
    // The file's connection is given up here and made again on the thread
    // that calls takeConnection(): a connection serves one thread. The file
    // stays held meanwhile.
    void releaseConnection();
    bool takeConnection();

    // Readings go through SQLite itself where this build may (see
    // SqliteReadings), else through Qt's driver; tests compare the two.
    // Takes effect at the next open().
    void setDirectReadings(bool allowed) { m_directAllowed = allowed; }
    bool readsDirectly() const { return m_direct != nullptr; }

private:
    struct Statements;

    Fault connectFile();
    // connectFile, tried again for a short while when another copy holds
    // the file, so that of two copies starting together one gets it.
    Fault connectFileRetrying();
    Fault classify(const QSqlError &error);
    Fault migrate(int version);
    // The items of a file of the given layout.
    Fault readCatalogue(int version);
    void disconnectFile();
    void forget(const QString &path);
    bool moveAside();
    QString describe(Fault fault, const QString &detail) const;

    bool run(QSqlQuery &query);
    // The readings from first on; a progress, when given, is told and may stop it.
    bool insertReadings(qint64 id, const ReadingSeries &readings, int first, JobProgress *progress);
    bool bindStatistics(qint64 id, const ItemStatistics &statistics);
    // The item's one row of table, with values for columns; no values
    // delete the row.
    bool replaceItemRow(const QString &table, const QStringList &columns, qint64 id, const QVariantList &values);
    // Runs body in one transaction; false rolls back and ends the keeping.
    template <typename Body>
    bool inTransaction(Body body);
    bool fail(const QSqlError &error);
    bool fail(const QString &error);

    QString m_connection;
    QSqlDatabase m_db;
    std::unique_ptr<Statements> m_statements;
    std::unique_ptr<QLockFile> m_lock;
    // The readings written and read through SQLite itself, where it may be.
    std::unique_ptr<SqliteReadings> m_direct;
    bool m_directAllowed = true;
    bool m_open = false;
    bool m_reading = false;     // opened to read only
    Fault m_fault = Fault::None;
    QString m_path;
    QString m_asidePath;
    QString m_problem;
    QString m_notice;
    QString m_failure;
    QString m_lastError;
    bool m_inChanges = false;
    QList<KeptItem> m_items;
    qint64 m_activeId = 0;
};
