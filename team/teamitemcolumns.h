#pragma once

#include "team/teamitem.h"

#include <QString>

class QSqlQuery;

// An item's row in the team database and in the team cache, which name
// their columns alike: the statements that write and read it, and the
// item's values bound in their order.
namespace TeamItemColumns {

// Adds or updates the item on the server; the owner is the role writing.
QString serverUpsert();
void bindForServer(QSqlQuery &query, const TeamItem &item);
// "SELECT <columns> FROM items", for a WHERE clause to follow.
QString serverSelect();

// The cache keys its items by a number of its own as well (column id).
QString cacheCreate();
// Adds the item or updates it under the same id.
QString cacheUpsert();
void bindForCache(QSqlQuery &query, const TeamItem &item);
QString cacheSelect();

// The current row of serverSelect() or cacheSelect().
TeamItem fromRow(const QSqlQuery &query);

} // namespace TeamItemColumns
