#include "team/teamschema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

// Outside any namespace, as the resource system wants.
static void initTeamResources()
{
    Q_INIT_RESOURCE(team);
}

namespace {

// Taken by whoever makes or upgrades the layout, so that installations
// starting together on an empty database make it once.
constexpr qint64 LayoutLock = 508508001;

} // namespace

const int TeamSchema::Version = 1;

TeamSchema::TeamSchema(QSqlDatabase db)
    : m_db(db)
{
}

QString TeamSchema::stepText(int step)
{
    initTeamResources();
    QFile file(QStringLiteral(":/team/team-schema-%1.sql").arg(step));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList TeamSchema::statements(const QString &script)
{
    QStringList result;
    QString current;
    bool quoted = false;
    for (const QString &line : script.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!quoted && (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("--"))))
            continue;
        if (line.count(QLatin1String("$$")) % 2 == 1)
            quoted = !quoted;
        current += line + QLatin1Char('\n');
        if (!quoted && trimmed.endsWith(QLatin1Char(';'))) {
            result << current.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        result << current.trimmed();
    return result;
}

bool TeamSchema::readVersion()
{
    m_version = 0;
    m_foreign = false;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL,"
                                   " to_regclass('items') IS NOT NULL"))
        || !query.next()) {
        m_fault = TeamFault::ofStatement(query.lastError());
        return false;
    }
    const bool versioned = query.value(0).toBool();
    m_foreign = !versioned && query.value(1).toBool();
    if (!versioned)
        return true;
    if (!query.exec(QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM schema_version")) || !query.next()) {
        m_fault = TeamFault::ofStatement(query.lastError());
        return false;
    }
    m_version = query.value(0).toInt();
    return true;
}

bool TeamSchema::inspect()
{
    if (!readVersion())
        return false;
    if (m_foreign) {
        m_fault = TeamFault::of(TeamFault::ForeignTables);
        return false;
    }
    return true;
}

bool TeamSchema::prepare()
{
    if (!inspect())
        return false;
    if (m_version >= Version)
        return true;
    return upgrade();
}

bool TeamSchema::upgrade()
{
    // The lock is taken before the transaction starts, so that the
    // transaction sees the catalogue as the one that made the tables left it.
    QSqlQuery lock(m_db);
    lock.prepare(QStringLiteral("SELECT pg_advisory_lock(?)"));
    lock.addBindValue(LayoutLock);
    if (!lock.exec()) {
        m_fault = TeamFault::ofStatement(lock.lastError());
        return false;
    }
    const bool upgraded = upgradeLocked();
    lock.prepare(QStringLiteral("SELECT pg_advisory_unlock(?)"));
    lock.addBindValue(LayoutLock);
    lock.exec();
    return upgraded;
}

bool TeamSchema::upgradeLocked()
{
    if (!m_db.transaction()) {
        m_fault = TeamFault::ofStatement(m_db.lastError());
        return false;
    }
    QSqlQuery query(m_db);
    auto failed = [&](const QSqlError &error) {
        m_fault = TeamFault::ofStatement(error);
        // Not being allowed to make tables is a fault of its own.
        if (m_fault.kind == TeamFault::NoRights && m_version == 0)
            m_fault = TeamFault::of(TeamFault::NoTables, m_fault.detail);
        query.finish();
        m_db.rollback();
        return false;
    };
    // Another installation may have done it while this one waited.
    if (!readVersion()) {
        m_db.rollback();
        return false;
    }
    for (int step = m_version + 1; step <= Version; ++step) {
        const QString text = stepText(step);
        if (text.isEmpty())
            return failed(QSqlError(QString(), QStringLiteral("step %1 is missing").arg(step)));
        for (const QString &statement : statements(text)) {
            if (!query.exec(statement))
                return failed(query.lastError());
        }
    }
    query.finish();
    if (!m_db.commit()) {
        const QSqlError error = m_db.lastError();
        m_db.rollback();
        m_fault = TeamFault::ofStatement(error);
        return false;
    }
    m_version = std::max(m_version, Version);
    return true;
}
