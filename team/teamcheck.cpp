#include "team/teamcheck.h"

#include "team/teamconnection.h"
#include "team/teamschema.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

TeamCheck TeamCheck::run(const TeamSettings &settings, const QString &password)
{
    TeamCheck check;
    TeamConnection connection(settings, password);
    if (!connection.open()) {
        check.fault = connection.fault();
        return check;
    }
    TeamSchema schema(connection.database());
    if (!schema.inspect()) {
        check.fault = schema.fault();
        return check;
    }
    check.layout = schema.version();
    check.readOnly = check.layout > TeamSchema::Version;
    // Any of several rights named at once would do for has_table_privilege;
    // each one is asked for.
    QSqlQuery query(connection.database());
    if (check.layout == 0) {
        query.prepare(QStringLiteral("SELECT has_schema_privilege(current_schema(), 'CREATE')"));
    } else {
        query.prepare(QStringLiteral(
            "SELECT has_table_privilege('items', 'SELECT') AND has_table_privilege('readings', 'SELECT')"
            " AND (? OR has_table_privilege('items', 'INSERT') AND has_table_privilege('items', 'UPDATE')"
            " AND has_table_privilege('items', 'DELETE') AND has_table_privilege('readings', 'INSERT')"
            " AND has_table_privilege('readings', 'DELETE'))"));
        query.addBindValue(check.readOnly);
    }
    if (!query.exec() || !query.next()) {
        check.fault = TeamFault::ofStatement(query.lastError());
        return check;
    }
    if (!query.value(0).toBool())
        check.fault = TeamFault::of(check.layout == 0 ? TeamFault::NoTables : TeamFault::NoRights,
                                    check.layout == 0 ? QString() : QStringLiteral("items, readings"));
    return check;
}

QString TeamCheck::describe(const TeamSettings &s) const
{
    if (fault.isSet())
        return fault.describe(s);
    if (readOnly)
        return TeamFault::of(TeamFault::SchemaNewer).describe(s);
    if (layout == 0)
        return QCoreApplication::translate("TeamCheck", "Connected as %1. The database %2 is empty; the team tables "
                                                        "will be made at the first sync.")
            .arg(s.user, s.database);
    return QCoreApplication::translate("TeamCheck", "Connected as %1. The team tables in %2 are ready.")
        .arg(s.user, s.database);
}
