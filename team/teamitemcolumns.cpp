#include "team/teamitemcolumns.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

struct Column
{
    const char *name;
    const char *cacheType;
    const char *serverValue; // how a bound value is written on the server
    const char *serverRead;  // how the server hands it back
};

const char *const Uuid = "CAST(? AS uuid)";
const char *const Text = "?";
const char *const Time = "to_timestamp(CAST(? AS bigint) / 1000.0)";

// In the order of valuesOf(). The owner is never sent: the server fills in
// the role writing.
const Column Columns[] = {
    {"uuid", "TEXT NOT NULL UNIQUE", Uuid, "uuid::text"},
    {"installation", "TEXT NOT NULL", Uuid, "installation::text"},
    {"inspector", "TEXT NOT NULL", Text, "inspector"},
    {"owner", "TEXT NOT NULL", nullptr, "owner::text"},
    {"type", "INTEGER NOT NULL", Text, "type"},
    {"name", "TEXT NOT NULL", Text, "name"},
    {"unit", "TEXT NOT NULL", Text, "unit"},
    {"num", "INTEGER NOT NULL", Text, "num"},
    {"avg", "TEXT NOT NULL", Text, "avg"},
    {"min", "TEXT NOT NULL", Text, "min"},
    {"max", "TEXT NOT NULL", Text, "max"},
    {"nominal", "REAL NOT NULL", Text, "nominal"},
    {"minimum", "REAL NOT NULL", Text, "minimum"},
    {"maximum", "REAL NOT NULL", Text, "maximum"},
    {"correction", "REAL NOT NULL", Text, "correction"},
    {"rule", "INTEGER NOT NULL", Text, "rule"},
    {"project", "TEXT NOT NULL", Text, "project"},
    {"structure", "TEXT NOT NULL", Text, "structure"},
    {"coating", "TEXT NOT NULL", Text, "coating"},
    {"gauge_model", "TEXT NOT NULL", Text, "gauge_model"},
    {"gauge_serial", "TEXT NOT NULL", Text, "gauge_serial"},
    {"probe_serial", "TEXT NOT NULL", Text, "probe_serial"},
    {"calibration", "TEXT", "CAST(? AS date)", "to_char(calibration, 'YYYY-MM-DD')"},
    {"adjustment", "TEXT NOT NULL", Text, "adjustment"},
    {"details_inspector", "TEXT NOT NULL", Text, "details_inspector"},
    {"notes", "TEXT NOT NULL", Text, "notes"},
    {"made", "INTEGER NOT NULL", Time, "CAST(round(extract(epoch FROM made) * 1000) AS bigint)"},
    {"changed", "INTEGER NOT NULL", Time, "CAST(round(extract(epoch FROM changed) * 1000) AS bigint)"},
    {"revision", "INTEGER NOT NULL", Text, "revision"},
    {"generation", "INTEGER NOT NULL", Text, "generation"},
    {"reading_count", "INTEGER NOT NULL", Text, "reading_count"},
};
constexpr int OwnerColumn = 3;
const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

QVariantList valuesOf(const TeamItem &item)
{
    const ItemDetails &d = item.details;
    return {text(item.uuid), text(item.installation), text(item.inspector), text(item.owner), int(item.type),
            text(item.name), text(item.unit), item.statistics.num, text(item.statistics.avg),
            text(item.statistics.min), text(item.statistics.max), item.limits.nominal, item.limits.minimum,
            item.limits.maximum, item.limits.correction, int(item.limits.rule), text(d.project),
            text(d.structure), text(d.coating), text(d.gaugeModel), text(d.gaugeSerial), text(d.probeSerial),
            d.calibration.isValid() ? QVariant(d.calibration.toString(DateFormat)) : QVariant(QVariant::String),
            text(d.adjustment), text(d.inspector), text(d.notes), item.made, item.changed, item.revision,
            item.generation, item.readingCount};
}

QStringList names(bool withOwner)
{
    QStringList result;
    for (const Column &column : Columns) {
        if (withOwner || column.serverValue)
            result << QLatin1String(column.name);
    }
    return result;
}

} // namespace

namespace TeamItemColumns {

QString serverUpsert()
{
    QStringList values;
    QStringList updates;
    for (const Column &column : Columns) {
        if (!column.serverValue)
            continue;
        values << QLatin1String(column.serverValue);
        if (qstrcmp(column.name, "uuid") != 0)
            updates << QStringLiteral("%1 = EXCLUDED.%1").arg(QLatin1String(column.name));
    }
    return QStringLiteral("INSERT INTO items (%1) VALUES (%2) ON CONFLICT (uuid) DO UPDATE SET %3")
        .arg(names(false).join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
             updates.join(QStringLiteral(", ")));
}

void bindForServer(QSqlQuery &query, const TeamItem &item)
{
    QVariantList values = valuesOf(item);
    values.removeAt(OwnerColumn);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

QString serverSelect()
{
    QStringList reads;
    for (const Column &column : Columns)
        reads << QLatin1String(column.serverRead);
    return QStringLiteral("SELECT %1 FROM items").arg(reads.join(QStringLiteral(", ")));
}

QString cacheCreate()
{
    // A number of its own keys the item's readings, shorter than the uuid.
    QStringList columns{QStringLiteral("id INTEGER PRIMARY KEY")};
    for (const Column &column : Columns)
        columns << QStringLiteral("%1 %2").arg(QLatin1String(column.name), QLatin1String(column.cacheType));
    return QStringLiteral("CREATE TABLE items (%1)").arg(columns.join(QStringLiteral(", ")));
}

QString cacheUpsert()
{
    const QStringList columns = names(true);
    QStringList updates;
    for (const QString &column : columns.mid(1))
        updates << QStringLiteral("%1 = excluded.%1").arg(column);
    return QStringLiteral("INSERT INTO items (%1) VALUES (?%2) ON CONFLICT (uuid) DO UPDATE SET %3")
        .arg(columns.join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns.size() - 1),
             updates.join(QStringLiteral(", ")));
}

void bindForCache(QSqlQuery &query, const TeamItem &item)
{
    const QVariantList values = valuesOf(item);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

QString cacheSelect()
{
    return QStringLiteral("SELECT %1 FROM items").arg(names(true).join(QStringLiteral(", ")));
}

TeamItem fromRow(const QSqlQuery &q)
{
    TeamItem item;
    int c = 0;
    auto next = [&] { return q.value(c++); };
    auto nextText = [&] {
        const QString value = next().toString();
        return value.isNull() ? QString(QLatin1String("")) : value;
    };
    item.uuid = nextText();
    item.installation = nextText();
    item.inspector = nextText();
    item.owner = nextText();
    item.type = ItemData::DataType(next().toInt());
    item.name = nextText();
    item.unit = nextText();
    item.statistics.num = next().toInt();
    item.statistics.avg = nextText();
    item.statistics.min = nextText();
    item.statistics.max = nextText();
    item.limits.nominal = next().toDouble();
    item.limits.minimum = next().toDouble();
    item.limits.maximum = next().toDouble();
    item.limits.correction = next().toDouble();
    const int rule = next().toInt();
    item.limits.rule = rule >= 0 && rule <= int(AcceptanceRule::SspcPa2) ? AcceptanceRule(rule) : AcceptanceRule::None;
    ItemDetails &d = item.details;
    d.project = nextText();
    d.structure = nextText();
    d.coating = nextText();
    d.gaugeModel = nextText();
    d.gaugeSerial = nextText();
    d.probeSerial = nextText();
    d.calibration = QDate::fromString(next().toString(), DateFormat);
    d.adjustment = nextText();
    d.inspector = nextText();
    d.notes = nextText();
    item.made = next().toLongLong();
    item.changed = next().toLongLong();
    item.revision = next().toLongLong();
    item.generation = next().toLongLong();
    item.readingCount = next().toInt();
    return item;
}

} // namespace TeamItemColumns
