#pragma once

#include <QMutex>
#include <QStringList>
#include <QWaitCondition>

#include <deque>
#include <memory>

class QThread;

// An item's readings from measurements.sqlite as the parameters of the
// statements that insert them on the server: per batch the item's id and
// one array text per column. A thread of its own reads and writes them a
// batch or two ahead, while the server takes the one before. Each batch is
// read in a snapshot of its own that still holds the item's generation
// (within one, readings are only ever appended), so the batches are what
// was counted.
class ReadingBatches
{
public:
    // Readings [from, count) of the item, batchSize at a time.
    ReadingBatches(const QString &measurementsPath, const QString &uuid, qint64 generation, int from, int count,
                   int batchSize);
    // Stops the reading thread and waits for it.
    ~ReadingBatches();
    ReadingBatches(const ReadingBatches &) = delete;
    ReadingBatches &operator=(const ReadingBatches &) = delete;

    // The next batch's array texts and its number of readings; false at
    // the end, or with problem() when the readings cannot be read.
    bool next(QStringList *columns, int *size);
    QString problem() const;

private:
    struct Batch
    {
        QStringList columns;
        int size = 0;
    };

    void produce();
    bool put(Batch batch);

    QString m_path;
    QString m_uuid;
    qint64 m_generation;
    int m_from;
    int m_count;
    int m_batchSize;

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<Batch> m_ready;
    bool m_done = false;
    bool m_cancelled = false;
    QString m_problem;
    std::unique_ptr<QThread> m_thread;
};
