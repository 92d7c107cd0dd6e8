#pragma once

#include <QString>
#include <QStringList>

// Where the team database is and who this installation is in it, kept in
// team.conf (INI, group [team]) in the per-user configuration folder. The
// password is never kept here: libpq reads ~/.pgpass (or PGPASSFILE), and
// otherwise the program asks once per session.
struct TeamSettings
{
    bool enabled = false;
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString sslMode = QStringLiteral("prefer"); // one of sslModes()
    QString inspector;
    int interval = 5; // minutes between automatic syncs

    bool operator==(const TeamSettings &other) const;
    bool operator!=(const TeamSettings &other) const { return !(*this == other); }

    // Enabled, with a server, a database and a role to sync with.
    bool isUsable() const;

    // The SSL modes offered: disable, prefer, require, verify-full.
    static QStringList sslModes();

    // <AppConfigLocation>/team.conf
    static QString defaultPath();
    // Reads the file; a missing file gives the defaults. A value that cannot
    // be used keeps its default and adds a line to problems.
    static TeamSettings load(const QString &path, QStringList *problems = nullptr);
    // Writes the file whole; false with a reason on failure.
    bool save(const QString &path, QString *error = nullptr) const;
};
