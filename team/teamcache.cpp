#include "team/teamcache.h"

#include "team/teamitemcolumns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

const int TeamCache::Layout = 1;

TeamCache::TeamCache(const QString &path)
    : m_path(path)
    , m_connection(QStringLiteral("QSQLITE"), QStringLiteral("team-cache"))
    , m_db(m_connection.database())
{
}

QString TeamCache::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("team.sqlite"));
}

bool TeamCache::failed(const QString &problem)
{
    m_problem = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), problem);
    return false;
}

bool TeamCache::connect(bool readOnly)
{
    m_db.setDatabaseName(m_path);
    // The worker commits a pull at once; a reader waits that long at most.
    m_db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                    : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    return m_db.open() || failed(m_db.lastError().text());
}

bool TeamCache::open()
{
    m_empty = !QFileInfo::exists(m_path);
    if (m_empty)
        return true;
    if (!connect(true))
        return false;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failed(query.lastError().text());
    m_empty = query.value(0).toInt() != Layout;
    return true;
}

bool TeamCache::openToWrite()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (!connect(false))
        return false;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failed(query.lastError().text());
    const int layout = query.value(0).toInt();
    query.finish();
    if (layout == Layout)
        return query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || failed(query.lastError().text());
    if (layout != 0) {
        // Of another build: what it holds comes again with the next pull.
        m_db.close();
        QFile::remove(m_path + QStringLiteral("-wal"));
        QFile::remove(m_path + QStringLiteral("-shm"));
        if (!QFile::remove(m_path))
            return failed(QStringLiteral("a cache of another layout cannot be removed"));
        if (!m_db.open())
            return failed(m_db.lastError().text());
    }
    return make();
}

bool TeamCache::make()
{
    QSqlQuery query(m_db);
    const QStringList statements = {
        QStringLiteral("PRAGMA journal_mode = WAL"),
        QStringLiteral("BEGIN"),
        TeamItemColumns::cacheCreate(),
        QStringLiteral("CREATE TABLE readings (item INTEGER NOT NULL, seq INTEGER NOT NULL, time INTEGER, zone INTEGER,"
                       " value_um REAL, value_mil REAL, text_um TEXT, text_mil TEXT, overload INTEGER NOT NULL,"
                       " unit TEXT NOT NULL, basis TEXT NOT NULL, PRIMARY KEY (item, seq)) WITHOUT ROWID"),
        QStringLiteral("CREATE TABLE state (name TEXT PRIMARY KEY, value) WITHOUT ROWID"),
        QStringLiteral("CREATE TABLE sent (uuid TEXT PRIMARY KEY, revision INTEGER NOT NULL,"
                       " generation INTEGER NOT NULL) WITHOUT ROWID"),
        QStringLiteral("PRAGMA user_version = %1").arg(Layout),
        QStringLiteral("COMMIT"),
    };
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            const QString problem = query.lastError().text();
            query.exec(QStringLiteral("ROLLBACK"));
            return failed(problem);
        }
    }
    return true;
}

QList<TeamItem> TeamCache::items()
{
    QList<TeamItem> result;
    readItems(&result);
    return result;
}

bool TeamCache::readItems(QList<TeamItem> *items)
{
    if (m_empty || !m_db.isOpen())
        return true;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.exec(TeamItemColumns::cacheSelect() + QStringLiteral(" ORDER BY inspector, name, made")))
        return failed(query.lastError().text());
    while (query.next())
        *items << TeamItemColumns::fromRow(query);
    return !query.lastError().isValid() || failed(query.lastError().text());
}

bool TeamCache::readReadings(const QString &uuid, const std::function<void(const StoredReading &)> &each)
{
    if (m_empty || !m_db.isOpen())
        return true;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT seq, time, zone, value_um, value_mil, text_um, text_mil, overload, unit,"
                                 " basis FROM readings WHERE item = (SELECT id FROM items WHERE uuid = ?)"
                                 " ORDER BY seq"));
    query.addBindValue(uuid);
    if (!query.exec())
        return failed(query.lastError().text());
    while (query.next())
        each(StoredReading::fromRow(query));
    return !query.lastError().isValid() || failed(query.lastError().text());
}

QString TeamCache::value(const QString &name) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT value FROM state WHERE name = ?"));
    query.addBindValue(name);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

bool TeamCache::setValue(const QString &name, const QString &value)
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO state (name, value) VALUES (?, ?)"));
    query.addBindValue(name);
    query.addBindValue(value);
    return query.exec() || failed(query.lastError().text());
}

QHash<QString, TeamCache::Sent> TeamCache::sent() const
{
    QHash<QString, Sent> result;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT uuid, revision, generation FROM sent")))
        return result;
    while (query.next())
        result.insert(query.value(0).toString(), Sent{query.value(1).toLongLong(), query.value(2).toLongLong()});
    return result;
}

bool TeamCache::setSent(const QHash<QString, Sent> &sent)
{
    if (!m_db.transaction())
        return failed(m_db.lastError().text());
    QSqlQuery query(m_db);
    bool ok = query.exec(QStringLiteral("DELETE FROM sent"));
    ok = ok && query.prepare(QStringLiteral("INSERT INTO sent (uuid, revision, generation) VALUES (?, ?, ?)"));
    for (auto it = sent.begin(); ok && it != sent.end(); ++it) {
        query.bindValue(0, it.key());
        query.bindValue(1, it->revision);
        query.bindValue(2, it->generation);
        ok = query.exec();
    }
    if (!ok || !m_db.commit()) {
        const QString problem = query.lastError().text();
        m_db.rollback();
        return failed(problem);
    }
    return true;
}
