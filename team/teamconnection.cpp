#include "team/teamconnection.h"

#include <QAtomicInteger>
#include <QSqlError>

namespace {

QAtomicInteger<quint64> connections;

} // namespace

TeamConnection::TeamConnection(const TeamSettings &settings, const QString &password)
    : m_name(QStringLiteral("team-%1").arg(connections.fetchAndAddRelaxed(1)))
    , m_settings(settings)
    , m_password(password)
{
}

TeamConnection::~TeamConnection()
{
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

bool TeamConnection::driverAvailable()
{
    return QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"));
}

bool TeamConnection::open()
{
    if (!driverAvailable()) {
        m_fault = TeamFault::of(TeamFault::Failed, QStringLiteral("the Qt driver QPSQL is not installed"));
        return false;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    m_db.setHostName(m_settings.host);
    m_db.setPort(m_settings.port);
    m_db.setDatabaseName(m_settings.database);
    m_db.setUserName(m_settings.user);
    if (!m_password.isEmpty())
        m_db.setPassword(m_password);
    // A server that does not answer, or a network that drops away in the
    // middle of a sync, ends the attempt within about half a minute instead
    // of the system's quarter of an hour.
    m_db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=10;application_name=vk508m;"
                                          "keepalives_idle=20;keepalives_interval=5;keepalives_count=3;"
                                          "tcp_user_timeout=30000")
                               .arg(m_settings.sslMode));
    if (!m_db.open()) {
        m_fault = TeamFault::ofConnecting(m_db.lastError());
        return false;
    }
    return true;
}
