#include "team/teamcontroller.h"

#include "team/teamworker.h"

namespace {

constexpr int QuietMs = 5000;

} // namespace

TeamController::TeamController(const TeamSettings &settings, const QString &measurementsPath,
                               const QString &cachePath, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_measurementsPath(measurementsPath)
    , m_cachePath(cachePath)
    , m_worker(new TeamWorker)
    , m_quiet(new QTimer(this))
    , m_interval(new QTimer(this))
{
    qRegisterMetaType<TeamSyncJob>();
    qRegisterMetaType<TeamSyncReport>();
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &TeamWorker::finished, this, &TeamController::finished);
    m_thread.setObjectName(QStringLiteral("team sync"));
    m_thread.start();

    m_quiet->setSingleShot(true);
    m_quiet->setInterval(QuietMs);
    connect(m_quiet, &QTimer::timeout, this, &TeamController::syncNow);
    m_interval->setInterval(settings.interval * 60 * 1000);
    connect(m_interval, &QTimer::timeout, this, &TeamController::syncNow);
    m_interval->start();
    QTimer::singleShot(0, this, &TeamController::syncNow);
}

TeamController::~TeamController()
{
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
}

void TeamController::setPassword(const QString &password)
{
    m_password = password;
}

void TeamController::syncNow()
{
    if (m_running) {
        m_again = true;
        return;
    }
    m_running = true;
    m_again = false;
    m_quiet->stop();
    TeamSyncJob job{m_settings, m_password, m_measurementsPath, m_cachePath, &m_stop};
    QMetaObject::invokeMethod(m_worker, "sync", Qt::QueuedConnection, Q_ARG(TeamSyncJob, job));
    if (m_stateText.isEmpty())
        setState(tr("Team: syncing..."));
}

void TeamController::noteLocalChange()
{
    m_quiet->start();
}

void TeamController::finished(const TeamSyncReport &report)
{
    m_running = false;
    setState(report.describe(m_settings));
    emit synced(report);
    if (report.fault.kind == TeamFault::PasswordMissing && !m_passwordAsked) {
        m_passwordAsked = true;
        emit passwordNeeded();
    }
    if (m_again)
        syncNow();
}

void TeamController::setState(const QString &text)
{
    if (text == m_stateText)
        return;
    m_stateText = text;
    emit stateChanged(text);
}
