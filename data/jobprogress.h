#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <atomic>

// What a long job has done and whether it should stop, shared between the
// job on its thread and whoever shows it. The job says what it is doing
// (a step, "done of total") and asks isCancelled() often enough to stop
// within a moment; the one who shows it reads the figures and may cancel.
class JobProgress
{
public:
    // A new step of the job: its words and how much there is to do.
    void beginStep(const QString &step, qint64 total)
    {
        QMutexLocker locker(&m_mutex);
        m_step = step;
        m_total = total;
        m_done = 0;
    }
    void setDone(qint64 done) { m_done = done; }
    void addDone(qint64 more) { m_done += more; }

    QString step() const
    {
        QMutexLocker locker(&m_mutex);
        return m_step;
    }
    qint64 done() const { return m_done; }
    qint64 total() const { return m_total; }

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }

private:
    mutable QMutex m_mutex;
    QString m_step;
    std::atomic<qint64> m_total{0};
    std::atomic<qint64> m_done{0};
    std::atomic<bool> m_cancelled{false};
};

// What a progress says, in words: "Importing readings… 412,000 of
// 1,000,000", or without a total "Writing… 12".
inline QString describeProgress(const JobProgress &progress)
{
    const QLocale locale;
    const QString done = locale.toString(progress.done());
    if (progress.total() > 0)
        return QCoreApplication::translate("JobProgress", "%1 %2 of %3")
            .arg(progress.step(), done, locale.toString(progress.total()));
    return QCoreApplication::translate("JobProgress", "%1 %2").arg(progress.step(), done);
}
