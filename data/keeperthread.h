#pragma once

#include "data/itemkeeper.h"
#include "data/measurementdatabase.h"

#include <QObject>
#include <QThread>

#include <functional>

class JobProgress;

// Keeps the items in the measurements file on a thread of its own, so that
// the window never waits for the file: every change is handed over at once
// and kept in the order given, while the window goes on. What a change
// returns is known beforehand (ids are given out here); a change that
// fails is reported by failed(), after which nothing more is kept.
// Readings are sent back when they have been read.
class KeeperThread : public QObject, public ItemKeeper
{
    Q_OBJECT

public:
    // The database is open; its connection moves to the keeper's thread
    // for as long as the keeper lives and comes back when it ends.
    explicit KeeperThread(MeasurementDatabase *database, QObject *parent = nullptr);
    ~KeeperThread() override;

    QList<KeptItem> keptItems() const override { return m_items; }
    qint64 keptActiveItem() const override { return m_activeId; }
    void requestReadings(qint64 id, const ReadingsDone &done) override;

    qint64 addItem(const QString &name, ItemData::DataType type, Unit unit) override;
    bool removeItem(qint64 id) override;
    bool renameItem(qint64 id, const QString &name) override;
    bool setUnit(qint64 id, Unit unit) override;
    bool setActiveItem(qint64 id) override;
    bool appendReadings(qint64 id, const ReadingSeries &readings, int first,
                        const ItemStatistics &statistics) override;
    bool clearReadings(qint64 id, const ItemStatistics &statistics) override;
    bool setStatistics(qint64 id, const ItemStatistics &statistics) override;
    bool setLimits(qint64 id, const ItemLimits &limits) override;
    bool setDetails(qint64 id, const ItemDetails &details) override;
    bool beginChanges() override;
    bool commitChanges() override;
    QString failure() const override { return m_failure; }

    void keepNewItem(const NewItem &item, const ReadingSeries &readings, const std::shared_ptr<JobProgress> &progress,
                     const NewItemDone &done) override;
    // Calls done on this thread once everything handed over so far is kept.
    void whenKept(const std::function<void()> &done) override;

signals:
    void failed(const QString &reason);

private:
    // Runs change on the keeper's thread in its turn; a change that fails
    // stops the keeping.
    void post(const std::function<bool(MeasurementDatabase &)> &change);
    void onFailed(const QString &reason);
    // An id for a new item.
    qint64 newItemId() { return ++m_lastId; }

    MeasurementDatabase *m_database;
    QThread m_thread;
    QObject *m_worker;              // lives on m_thread
    QList<KeptItem> m_items;
    qint64 m_activeId = 0;
    qint64 m_lastId = 0;
    QString m_failure;
    bool m_failing = false;         // on the keeper's thread: a change failed
};
