#include "team/teamfault.h"

#include "team/teamsettings.h"

#include <QDir>
#include <QSqlError>

namespace {

bool mentions(const QString &text, std::initializer_list<const char *> fragments)
{
    for (const char *fragment : fragments) {
        if (text.contains(QLatin1String(fragment), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The server's message without libpq's prefixes and trailing newlines.
QString detailOf(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text.simplified();
}

} // namespace

TeamFault TeamFault::ofConnecting(const QSqlError &error)
{
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    const QString detail = detailOf(error);
    // Messages of libpq and the server; the SQLSTATE is not handed on.
    if (mentions(text, {"no password supplied"}))
        return of(PasswordMissing, detail);
    if (mentions(text, {"password authentication failed", "password is expired", "authentication failed"}))
        return of(PasswordRefused, detail);
    if (mentions(text, {"no encryption"}))
        return of(SslRequired, detail);
    if (mentions(text, {"server does not support SSL"}))
        return of(SslUnavailable, detail);
    if (mentions(text, {"does not exist"}) && mentions(text, {"database"}))
        return of(NoDatabase, detail);
    if (mentions(text, {"permission denied", "CONNECT privilege", "no pg_hba.conf entry"}))
        return of(NoRights, detail);
    if (mentions(text, {"the database system is shutting down", "the database system is starting up",
                        "the database system is in recovery mode", "server closed the connection"}))
        return of(Lost, detail);
    if (mentions(text, {"could not connect", "Connection refused", "could not translate host name",
                        "timeout expired", "No route to host", "Network is unreachable", "failed:"}))
        return of(Unreachable, detail);
    return of(Failed, detail);
}

TeamFault TeamFault::ofStatement(const QSqlError &error)
{
    const QString state = error.nativeErrorCode();
    const QString detail = detailOf(error);
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) || state.isEmpty())
        return of(Lost, detail);
    if (state == QLatin1String("42501") || state.startsWith(QLatin1String("28")))
        return of(NoRights, detail);
    if (state.startsWith(QLatin1String("53")))
        return of(ServerFull, detail);
    return of(Failed, detail);
}

QString TeamFault::describe(const TeamSettings &s) const
{
    const QString server = QStringLiteral("%1:%2").arg(s.host).arg(s.port);
    switch (kind) {
    case None:
        return QString();
    case Unreachable:
        return tr("The team server %1 cannot be reached.").arg(server);
    case Lost:
        return tr("The connection to the team server %1 was lost.").arg(server);
    case PasswordMissing:
        return tr("The team server asks for the password of %1.").arg(s.user);
    case PasswordRefused:
        return tr("The team server refused the password of %1 (wrong or expired).").arg(s.user);
    case SslRequired:
        return tr("The team server accepts only SSL connections. Choose the SSL mode \"require\" or "
                  "\"verify-full\".");
    case SslUnavailable:
        return tr("The team server offers no SSL, which the SSL mode \"%1\" requires.").arg(s.sslMode);
    case NoDatabase:
        return tr("The team server has no database %1.").arg(s.database);
    case NoRights:
        return tr("The role %1 has no rights for this in the team database (%2).").arg(s.user, detail);
    case NoTables:
        return tr("The database %1 has no team tables, and the role %2 may not make them. The administrator can "
                  "make them with the file team-schema-1.sql of this program.")
            .arg(s.database, s.user);
    case ForeignTables:
        return tr("The database %1 holds tables of another program.").arg(s.database);
    case SchemaNewer:
        return tr("The team database was set up by a newer version of this program. This one reads the team's "
                  "items but sends none.");
    case ServerFull:
        return tr("The team server is out of space (%1).").arg(detail);
    case Local:
        return tr("This computer's team files cannot be used (%1).").arg(detail);
    case Failed:
        break;
    }
    return tr("The team database failed (%1).").arg(detail);
}
