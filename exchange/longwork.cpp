#include "exchange/longwork.h"

#include <QLocale>
#include <QProgressDialog>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Work shorter than this shows no dialog.
constexpr int ShowAfterMs = 300;
constexpr int UpdateEveryMs = 100;
constexpr int BarSteps = 1000;

} // namespace

LongWork::LongWork(QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_dialogParent(dialogParent)
{
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(ShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, &LongWork::showDialog);
    m_updateTimer.setInterval(UpdateEveryMs);
    connect(&m_updateTimer, &QTimer::timeout, this, &LongWork::updateDialog);
}

LongWork::~LongWork()
{
    cancelAndWait();
    delete m_dialog;
}

JobProgress *LongWork::begin()
{
    if (m_progress)
        return nullptr;
    m_progress = std::make_shared<JobProgress>();
    m_showTimer.start();
    emit busyChanged(true);
    return m_progress.get();
}

void LongWork::end()
{
    if (!m_progress)
        return;
    m_progress.reset();
    m_showTimer.stop();
    m_updateTimer.stop();
    if (m_dialog)
        m_dialog->hide();
    emit busyChanged(false);
}

void LongWork::cancel()
{
    if (!m_progress)
        return;
    m_progress->cancel();
    emit cancelRequested();
}

void LongWork::cancelAndWait()
{
    cancel();
    for (QFuture<void> &worker : m_workers)
        worker.waitForFinished();
    m_workers.clear();
}

QFuture<void> LongWork::startWorker(const std::function<void()> &task)
{
    // Finished workers are let go as new ones start.
    for (int i = m_workers.size() - 1; i >= 0; --i) {
        if (m_workers.at(i).isFinished())
            m_workers.removeAt(i);
    }
    return QtConcurrent::run(task);
}

QString LongWork::describe(const JobProgress &progress)
{
    const QLocale locale;
    const QString done = locale.toString(progress.done());
    if (progress.total() > 0)
        return tr("%1 %2 of %3").arg(progress.step(), done, locale.toString(progress.total()));
    return tr("%1 %2").arg(progress.step(), done);
}

void LongWork::showDialog()
{
    if (!m_progress)
        return;
    if (!m_dialog) {
        // A child of the window that leaves it usable; its Cancel stops the
        // work, which then ends.
        m_dialog = new QProgressDialog(m_dialogParent);
        m_dialog->setWindowModality(Qt::NonModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->setCancelButtonText(tr("Cancel"));
        m_dialog->setWindowTitle(QStringLiteral("VK508M"));
        connect(m_dialog, &QProgressDialog::canceled, this, &LongWork::cancel);
    }
    updateDialog();
    m_dialog->show();
    m_updateTimer.start();
}

void LongWork::updateDialog()
{
    if (!m_progress || !m_dialog)
        return;
    const JobProgress &p = *m_progress;
    m_dialog->setLabelText(p.isCancelled() ? tr("Cancelling…") : describe(p));
    if (p.total() > 0) {
        m_dialog->setMaximum(BarSteps);
        m_dialog->setValue(int(qMin<qint64>(BarSteps, p.done() * BarSteps / p.total())));
    } else {
        // How much there is only the reading tells: the bar just moves.
        m_dialog->setMaximum(0);
        m_dialog->setValue(0);
    }
}
