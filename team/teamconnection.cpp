#include "team/teamconnection.h"

#include <QSqlError>

TeamConnection::TeamConnection(const TeamSettings &settings, const QString &password)
    : m_settings(settings)
    , m_password(password)
    , m_connection(QStringLiteral("QPSQL"), QStringLiteral("team"))
{
}

bool TeamConnection::open()
{
    QSqlDatabase &db = m_connection.database();
    // Without Qt's driver (libqt5sql5-psql) the connection is not valid.
    if (!db.isValid()) {
        m_fault = TeamFault::of(TeamFault::Failed, QStringLiteral("the Qt driver QPSQL is not installed"));
        return false;
    }
    db.setHostName(m_settings.host);
    db.setPort(m_settings.port);
    db.setDatabaseName(m_settings.database);
    db.setUserName(m_settings.user);
    if (!m_password.isEmpty())
        db.setPassword(m_password);
    // A server that does not answer, or a network that drops away in the
    // middle of a sync, ends the attempt within about half a minute instead
    // of the system's quarter of an hour.
    db.setConnectOptions(QStringLiteral("sslmode=%1;connect_timeout=10;application_name=vk508m;"
                                        "keepalives_idle=20;keepalives_interval=5;keepalives_count=3;"
                                        "tcp_user_timeout=30000")
                             .arg(m_settings.sslMode));
    if (!db.open()) {
        m_fault = TeamFault::ofConnecting(db.lastError());
        return false;
    }
    return true;
}
