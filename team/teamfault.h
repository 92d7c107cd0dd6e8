#pragma once

#include <QCoreApplication>
#include <QString>

class QSqlError;
struct TeamSettings;

// What went wrong between this installation and the team database, in
// kinds the user can act on, with the server's own words as detail.
struct TeamFault
{
    Q_DECLARE_TR_FUNCTIONS(TeamFault)

public:
    enum Kind {
        None,
        Unreachable,     // no server answers at host and port
        Lost,            // the connection broke off or the server shut down
        PasswordMissing, // the server asks for a password and none is known
        PasswordRefused, // wrong or expired
        SslRequired,     // the server accepts only SSL connections
        SslUnavailable,  // SSL was asked for and the server offers none
        NoDatabase,
        NoRights,        // the role may not connect, read or write
        NoTables,        // no team tables, and the role may not make them
        ForeignTables,   // the database holds other tables named so
        SchemaNewer,     // a later program made the tables: read, never write
        ServerFull,      // the server's disk or memory is full
        Local,           // this computer's files
        Failed           // anything else
    };

    Kind kind = None;
    QString detail;

    bool isSet() const { return kind != None; }
    // The server cannot be reached just now: a state tried again later.
    bool isOffline() const { return kind == Unreachable || kind == Lost; }

    static TeamFault of(Kind kind, const QString &detail = QString()) { return TeamFault{kind, detail}; }
    // Why opening a connection failed (libpq says it only in words).
    static TeamFault ofConnecting(const QSqlError &error);
    // Why a statement failed, by its SQLSTATE.
    static TeamFault ofStatement(const QSqlError &error);

    // A sentence for the user.
    QString describe(const TeamSettings &settings) const;
};
