#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of the calling thread under a name of its own, closed and
// removed with the object, so that threads never share one.
class ScopedConnection
{
public:
    // driver: QSQLITE or QPSQL; purpose names it for a reader of the list.
    ScopedConnection(const QString &driver, const QString &purpose);
    ~ScopedConnection();
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    QSqlDatabase &database() { return m_db; }
    const QSqlDatabase &database() const { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};
