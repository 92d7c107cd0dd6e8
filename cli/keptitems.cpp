#include "cli/keptitems.h"

#include "data/itemdata.h"

namespace {

const QString StoreGroup = QStringLiteral("Store Data");
const QString LiveGroup = QStringLiteral("Live Data");

// The group by its English name or as the window names it in its language.
bool namesGroup(const QString &text, const QString &group)
{
    const QString shown = group == StoreGroup ? QCoreApplication::translate("Widget", "Store Data")
                                              : QCoreApplication::translate("Widget", "Live Data");
    return text.compare(group, Qt::CaseInsensitive) == 0 || text == shown;
}

} // namespace

bool KeptItems::open(const QString &path)
{
    m_items.clear();
    if (!m_database.openToRead(path)) {
        m_problem = m_database.problem();
        return false;
    }
    // As the window restores them: the one "Store Data", then the items
    // under "Live Data" in tree order.
    QList<ItemKeeper::KeptItem> live;
    for (const ItemKeeper::KeptItem &item : m_database.keptItems()) {
        if (item.type == ItemData::StoreData && m_items.isEmpty())
            m_items << item;
        else if (item.type == ItemData::Measure || item.type == ItemData::Import)
            live << item;
    }
    m_items << live;
    return true;
}

QString KeptItems::groupOf(const ItemKeeper::KeptItem &item)
{
    return item.type == ItemData::StoreData ? StoreGroup : LiveGroup;
}

const ItemKeeper::KeptItem *KeptItems::find(const QString &name, bool *several)
{
    *several = false;
    bool isNumber = false;
    const qint64 id = name.toLongLong(&isNumber);
    QList<const ItemKeeper::KeptItem *> matches;
    for (const ItemKeeper::KeptItem &item : qAsConst(m_items)) {
        if (isNumber && item.id == id)
            return &item;
        if (item.name == name)
            matches << &item;
    }
    // "group/name" sorts out a name that repeats across the groups.
    const int slash = name.indexOf(QLatin1Char('/'));
    if (matches.isEmpty() && slash > 0) {
        const QString group = name.left(slash);
        const QString rest = name.mid(slash + 1);
        for (const ItemKeeper::KeptItem &item : qAsConst(m_items)) {
            if (item.name == rest && namesGroup(group, groupOf(item)))
                matches << &item;
        }
    }
    if (matches.size() == 1)
        return matches.first();
    if (matches.isEmpty()) {
        m_problem = tr("No item is named \"%1\". \"vk508m list\" shows the items.").arg(name);
        return nullptr;
    }
    *several = true;
    QStringList lines{tr("%1 items are named \"%2\"; name one by its id:").arg(matches.size()).arg(name)};
    for (const ItemKeeper::KeptItem *item : matches)
        lines << QStringLiteral("  %1\t%2/%3").arg(item->id).arg(groupOf(*item), item->name);
    m_problem = lines.join(QLatin1Char('\n'));
    return nullptr;
}

std::unique_ptr<ItemData> KeptItems::load(const ItemKeeper::KeptItem &kept)
{
    ReadingSeries readings;
    if (!m_database.loadReadings(kept.id, &readings)) {
        m_problem = m_database.failure();
        return nullptr;
    }
    std::unique_ptr<ItemData> item(new ItemData(kept.name, kept.type));
    item->setUnit(kept.unit);
    item->setLimits(kept.limits);
    item->setDetails(kept.details);
    item->append(readings, true);
    return item;
}
