#pragma once

#include "data/jobprogress.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// One long job of the command line, run on the calling thread: while it
// runs, what it has done is written over one line of standard error when
// that is a terminal (after a moment, so short work shows nothing), and
// nothing when it is not. Ctrl+C (SIGINT) or SIGTERM cancels the job,
// which then stops within a moment.
class JobWatch
{
public:
    JobWatch();
    ~JobWatch();
    JobWatch(const JobWatch &) = delete;
    JobWatch &operator=(const JobWatch &) = delete;

    JobProgress &progress() { return *m_progress; }
    std::shared_ptr<JobProgress> sharedProgress() const { return m_progress; }
    // Set together with the progress' cancel, for jobs that stop on a flag.
    const std::atomic_bool *stopFlag() const { return &m_stop; }
    bool isCancelled() const { return m_progress->isCancelled(); }

private:
    void print();

    std::shared_ptr<JobProgress> m_progress;
    std::atomic_bool m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ended = false;
    std::thread m_printer;
};
