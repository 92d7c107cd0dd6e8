#pragma once

#include "data/jobprogress.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// Long work of the window, one at a time, off the window's thread: a job
// runs on a worker and its result comes back to the window's thread. Once
// it has run for about 300 ms a progress dialog over the window says what
// is done ("Importing readings… 412,000 of 1,000,000") and offers Cancel;
// short work shows nothing. The window stays usable meanwhile.
class LongWork : public QObject
{
    Q_OBJECT

public:
    explicit LongWork(QWidget *dialogParent, QObject *parent = nullptr);
    // Cancels what runs and waits for its worker.
    ~LongWork() override;

    bool isBusy() const { return m_progress != nullptr; }
    // Begins a piece of work; its progress lives until end(), and as long
    // as whoever shares it.
    JobProgress *begin();
    std::shared_ptr<JobProgress> progress() const { return m_progress; }
    // Runs work on a worker; then(result) follows on this thread, unless
    // the work has ended meanwhile.
    template <typename R>
    void run(std::function<R(JobProgress &)> work, std::function<void(const R &)> then);
    // The work is over: the dialog goes.
    void end();
    void cancel();
    // Cancels and waits for the workers (each stops within a moment).
    void cancelAndWait();

    // The dialog's words for a progress.
    static QString describe(const JobProgress &progress);

signals:
    void busyChanged(bool busy);
    // Cancel was asked for.
    void cancelRequested();

private:
    QFuture<void> startWorker(const std::function<void()> &task);
    void showDialog();
    void updateDialog();

    QWidget *m_dialogParent;
    QProgressDialog *m_dialog = nullptr;
    QTimer m_showTimer;
    QTimer m_updateTimer;
    std::shared_ptr<JobProgress> m_progress;
    QList<QFuture<void>> m_workers;
};

template <typename R>
void LongWork::run(std::function<R(JobProgress &)> work, std::function<void(const R &)> then)
{
    std::shared_ptr<JobProgress> progress = m_progress;
    if (!progress)
        return;
    auto future = startWorker([this, progress, work, then] {
        const R result = work(*progress);
        // Back on the window's thread; dropped when this object is gone or
        // the work was ended (a cancelled job's result has no one waiting).
        QMetaObject::invokeMethod(
            this,
            [this, progress, then, result] {
                if (m_progress == progress)
                    then(result);
            },
            Qt::QueuedConnection);
    });
    m_workers << future;
}
