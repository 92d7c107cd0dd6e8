#include "team/scopedconnection.h"

#include <QAtomicInteger>

namespace {

QAtomicInteger<quint64> made;

} // namespace

ScopedConnection::ScopedConnection(const QString &driver, const QString &purpose)
    : m_name(QStringLiteral("%1-%2").arg(purpose).arg(made.fetchAndAddRelaxed(1)))
    , m_db(QSqlDatabase::addDatabase(driver, m_name))
{
}

ScopedConnection::~ScopedConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}
