#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

// A private PostgreSQL server for tests and benchmarks: a cluster made by
// initdb in a temporary folder, run by pg_ctl with its socket in that
// folder and TCP only on 127.0.0.1 at a free port, stopped and removed with
// the object. Run by root (as CI is), the server runs as the unprivileged
// user nobody, which PostgreSQL insists on. The superuser "postgres" comes
// in through the socket without a password; roles made by makeRole log in
// over TCP with theirs.
class PostgresCluster
{
public:
    explicit PostgresCluster(const QStringList &settings = {"fsync=off"})
        : m_settings(settings)
    {
    }
    ~PostgresCluster() { stop(); }
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    // VK_PG_BIN, or the newest of Debian's /usr/lib/postgresql/<version>/bin.
    static QString binDir()
    {
        const QString dir = qEnvironmentVariable("VK_PG_BIN");
        if (!dir.isEmpty())
            return dir;
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(),
                  [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
        return QStringLiteral("/usr/lib/postgresql/%1/bin")
            .arg(versions.isEmpty() ? QStringLiteral("15") : versions.last());
    }

    // Makes the cluster the first time, then starts the server; false with error().
    bool start()
    {
        if (m_running)
            return true;
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        if (!QFile::exists(dataDir()) && !initialise())
            return false;
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (m_port == 0 || attempt > 0)
                m_port = freePort();
            const QString options = QStringLiteral("-k %1 -c listen_addresses=127.0.0.1 -p %2 %3")
                                        .arg(m_dir.path())
                                        .arg(m_port)
                                        .arg(settingOptions());
            if (run(QStringLiteral("pg_ctl"), {"-D", dataDir(), "-l", logFile(), "-w", "-t", "60", "-o", options,
                                               "start"})) {
                m_running = true;
                return true;
            }
        }
        return false;
    }

    // Stops the server (fast: sessions are ended); true when none runs.
    bool stop()
    {
        if (!m_running)
            return true;
        if (!run(QStringLiteral("pg_ctl"), {"-D", dataDir(), "-m", "fast", "-w", "stop"})
            && !run(QStringLiteral("pg_ctl"), {"-D", dataDir(), "-m", "immediate", "-w", "stop"}))
            return false;
        m_running = false;
        return true;
    }

    bool isRunning() const { return m_running; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString socketDir() const { return m_dir.path(); }
    QString error() const { return m_error; }
    QString log() const
    {
        QFile file(logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000)) : QString();
    }

    // Runs statements as the superuser, in database; false with error().
    bool admin(const QStringList &statements, const QString &database = QStringLiteral("postgres"))
    {
        const QString name = QStringLiteral("cluster-admin-%1").arg(quintptr(this));
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(socketDir());
            db.setPort(m_port);
            db.setUserName(QStringLiteral("postgres"));
            db.setDatabaseName(database);
            ok = db.open() || fail(db.lastError().text());
            QSqlQuery query(db);
            for (const QString &statement : statements) {
                if (ok && !query.exec(statement))
                    ok = fail(statement + QStringLiteral(": ") + query.lastError().text());
            }
            query.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }

    // A role that logs in with a password (and may make tables in the
    // databases' public schema when told).
    bool makeRole(const QString &role, const QString &password)
    {
        return admin({QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role, password)});
    }

    // Replaces the host lines of pg_hba.conf and has the server read it.
    bool setHostRules(const QStringList &lines)
    {
        QFile file(dataDir() + QStringLiteral("/pg_hba.conf"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(file.errorString());
        file.write("local all all trust\n");
        for (const QString &line : lines)
            file.write(line.toUtf8() + '\n');
        file.close();
        return !m_running || run(QStringLiteral("pg_ctl"), {"-D", dataDir(), "reload"});
    }

private:
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }
    QString logFile() const { return m_dir.filePath(QStringLiteral("server.log")); }

    QString settingOptions() const
    {
        QStringList options;
        for (const QString &setting : m_settings)
            options << QStringLiteral("-c ") + setting;
        return options.join(QLatin1Char(' '));
    }

    bool fail(const QString &error)
    {
        m_error = error;
        return false;
    }

    bool initialise()
    {
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(QFile::encodeName(m_dir.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
                return fail(QStringLiteral("the folder cannot be handed to the user nobody"));
        }
        if (!run(QStringLiteral("initdb"), {"-D", dataDir(), "-U", "postgres", "-E", "UTF8", "--locale=C",
                                            "--auth-local=trust", "--auth-host=scram-sha-256"}))
            return false;
        return setHostRules({QStringLiteral("host all all 127.0.0.1/32 scram-sha-256")});
    }

    // Runs one of the server's programs, as nobody when root.
    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        // Where nobody may be; root's home folder is not.
        process.setWorkingDirectory(m_dir.path());
        const QString path = binDir() + QLatin1Char('/') + program;
        if (::geteuid() == 0) {
            const QString runuser = QStandardPaths::findExecutable(
                QStringLiteral("runuser"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
            process.start(runuser, QStringList{"-u", "nobody", "--", path} + arguments);
        } else {
            process.start(path, arguments);
        }
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
            || process.exitCode() != 0)
            return fail(QStringLiteral("%1 failed: %2 %3")
                            .arg(program, QString::fromLocal8Bit(process.readAll()), log()));
        return true;
    }

    // A port the system has free just now on the loopback address.
    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        int port = 0;
        if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        if (fd >= 0)
            ::close(fd);
        return port;
    }

    QStringList m_settings;
    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};
