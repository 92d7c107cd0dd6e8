#include "team/readingbatches.h"

#include "team/arrayliteral.h"
#include "team/measurementsreader.h"

#include <QThread>

#include <array>

namespace {

// Batches waiting to be sent; one more is being read.
constexpr size_t Ahead = 2;

} // namespace

ReadingBatches::ReadingBatches(const QString &measurementsPath, const QString &uuid, qint64 generation, int from,
                               int count, int batchSize)
    : m_path(measurementsPath)
    , m_uuid(uuid)
    , m_generation(generation)
    , m_from(from)
    , m_count(count)
    , m_batchSize(batchSize)
{
    m_thread.reset(QThread::create([this] { produce(); }));
    m_thread->start();
}

ReadingBatches::~ReadingBatches()
{
    {
        QMutexLocker lock(&m_mutex);
        m_cancelled = true;
        m_changed.wakeAll();
    }
    m_thread->wait();
}

QString ReadingBatches::problem() const
{
    QMutexLocker lock(&m_mutex);
    return m_problem;
}

bool ReadingBatches::next(QStringList *columns, int *size)
{
    QMutexLocker lock(&m_mutex);
    while (m_ready.empty() && !m_done)
        m_changed.wait(&m_mutex);
    if (m_ready.empty())
        return false;
    *columns = std::move(m_ready.front().columns);
    *size = m_ready.front().size;
    m_ready.pop_front();
    m_changed.wakeAll();
    return true;
}

bool ReadingBatches::put(Batch batch)
{
    QMutexLocker lock(&m_mutex);
    while (m_ready.size() >= Ahead && !m_cancelled)
        m_changed.wait(&m_mutex);
    if (m_cancelled)
        return false;
    m_ready.push_back(std::move(batch));
    m_changed.wakeAll();
    return true;
}

void ReadingBatches::produce()
{
    QString problem;
    {
        MeasurementsReader reader(m_path);
        QVector<StoredReading> rows;
        std::array<ArrayLiteral, 10> columns;
        bool ok = reader.open();
        for (int next = m_from; ok && next < m_count;) {
            rows.clear();
            qint64 generation = 0;
            ok = reader.beginSnapshot() && reader.readGeneration(m_uuid, &generation)
                && reader.readReadings(m_uuid, next, std::min(m_batchSize, m_count - next), &rows);
            reader.endSnapshot();
            if (!ok)
                break;
            // The file's readings are numbered without gaps; anything else
            // is not what was counted.
            if (generation != m_generation || rows.isEmpty() || rows.first().seq != next
                || rows.last().seq != next + rows.size() - 1) {
                problem = QStringLiteral("the readings of %1 changed while they were sent").arg(m_uuid);
                break;
            }
            for (ArrayLiteral &column : columns)
                column.clear();
            for (const StoredReading &r : qAsConst(rows)) {
                columns[0].add(r.seq);
                columns[1].add(r.time);
                columns[2].add(r.zone);
                columns[3].add(r.valueUm);
                columns[4].add(r.valueMil);
                columns[5].add(r.textUm);
                columns[6].add(r.textMil);
                columns[7].add(r.overload);
                columns[8].add(r.unit);
                columns[9].add(r.basis);
            }
            Batch batch;
            batch.size = rows.size();
            for (const ArrayLiteral &column : columns)
                batch.columns << column.text();
            if (!put(std::move(batch)))
                break;
            next += rows.size();
        }
        if (!ok)
            problem = reader.problem();
    }
    QMutexLocker lock(&m_mutex);
    m_problem = problem;
    m_done = true;
    m_changed.wakeAll();
}
