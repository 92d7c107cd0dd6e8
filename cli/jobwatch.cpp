#include "cli/jobwatch.h"

#include "cli/console.h"

#include "exchange/longwork.h"

#include <csignal>

#include <unistd.h>

namespace {

// Before a progress line shows, and between its updates.
constexpr auto ShowAfter = std::chrono::milliseconds(300);
constexpr auto UpdateEvery = std::chrono::milliseconds(200);

// The job a signal cancels; one at a time.
std::atomic<JobProgress *> watchedProgress{nullptr};
std::atomic<std::atomic_bool *> watchedStop{nullptr};

extern "C" void cancelWatchedJob(int)
{
    // Atomic stores only: nothing else may run in a signal handler.
    if (JobProgress *progress = watchedProgress.load())
        progress->cancel();
    if (std::atomic_bool *stop = watchedStop.load())
        stop->store(true);
}

struct sigaction previousInterrupt;
struct sigaction previousTerminate;

} // namespace

JobWatch::JobWatch()
    : m_progress(std::make_shared<JobProgress>())
{
    watchedProgress = m_progress.get();
    watchedStop = &m_stop;
    struct sigaction action = {};
    action.sa_handler = cancelWatchedJob;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
    if (isatty(STDERR_FILENO))
        m_printer = std::thread([this] { print(); });
}

JobWatch::~JobWatch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }
    m_wake.notify_all();
    if (m_printer.joinable())
        m_printer.join();
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
    watchedProgress = nullptr;
    watchedStop = nullptr;
}

void JobWatch::print()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_for(lock, ShowAfter, [this] { return m_ended; }))
        return;
    QByteArray shown;
    do {
        // A step that counts nothing is shown by its words alone.
        const JobProgress &p = *m_progress;
        const QString text = p.total() == 0 && p.done() == 0 ? p.step() : LongWork::describe(p);
        const QByteArray line = text.toLocal8Bit();
        if (line != shown) {
            Console::progress(line);
            shown = line;
        }
    } while (!m_wake.wait_for(lock, UpdateEvery, [this] { return m_ended; }));
    Console::progress(QByteArray());
}
