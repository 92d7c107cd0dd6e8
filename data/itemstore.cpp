#include "data/itemstore.h"

#include "data/itemkeeper.h"

#include <QVector>

ItemStore::ItemStore(const QString &storeName, const QString &liveName, QObject *parent)
    : QObject(parent)
    , m_storeItem(new ItemData(storeName, ItemData::StoreData))
    , m_liveItem(new ItemData(liveName, ItemData::LiveData))
{
}

ItemStore::~ItemStore()
{
    // What arrived last is kept before the items go.
    flush();
    qDeleteAll(m_items);
    delete m_liveItem;
    delete m_storeItem;
}

ItemData *ItemStore::restore(ItemKeeper *keeper)
{
    m_keeper = keeper;
    if (!keeper)
        return nullptr;

    ItemData *active = nullptr;
    const qint64 activeId = keeper->keptActiveItem();
    bool storeKept = false;
    for (const ItemKeeper::KeptItem &kept : keeper->keptItems()) {
        ItemData *item = nullptr;
        if (kept.type == ItemData::StoreData) {
            // The group keeps the name of the running language.
            if (storeKept)
                continue;
            storeKept = true;
            item = m_storeItem;
        } else if (kept.type == ItemData::Measure || kept.type == ItemData::Import) {
            item = new ItemData(kept.name, kept.type);
            m_items << item;
        } else {
            continue;
        }
        item->setUnit(kept.unit);
        item->restoreStatistics(kept.statistics);
        item->setLimits(kept.limits);
        item->setDetails(kept.details);
        m_entries.insert(item, Entry{kept.id, false});
        if (kept.id == activeId)
            active = item;
    }
    if (!storeKept) {
        const qint64 id = keeper->addItem(m_storeItem->name(), ItemData::StoreData, m_storeItem->unit());
        if (kept(id != 0))
            m_entries.insert(m_storeItem, Entry{id, true});
    }
    return active;
}

ItemData *ItemStore::addItem(const QString &name, ItemData::DataType type)
{
    flush();
    auto *item = new ItemData(name, type);
    Entry entry;
    if (m_keeper) {
        const qint64 id = m_keeper->addItem(name, type, item->unit());
        if (kept(id != 0))
            entry.id = id;
    }
    m_entries.insert(item, entry);
    // Measured with the same gauge by the same inspector, most likely;
    // an imported file may come from anyone's gauge.
    if (type == ItemData::Measure && !m_items.isEmpty()) {
        const ItemDetails carried = m_items.last()->details().carriedOver();
        if (carried.isSet())
            setDetails(item, carried);
    }
    m_items << item;
    emit itemAdded(item);
    return item;
}

void ItemStore::removeItem(ItemData *item)
{
    flush();
    if (!m_items.contains(item))
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->removeItem(id));
    emit itemAboutToBeRemoved(item);
    m_items.removeOne(item);
    m_entries.remove(item);
    if (item == m_active) {
        m_active = nullptr;
        emit activeItemChanged(nullptr);
    }
    delete item;
}

void ItemStore::renameItem(ItemData *item, const QString &name)
{
    flush();
    if (!item)
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->renameItem(id, name));
    item->setName(name);
    emit itemRenamed(item);
}

void ItemStore::setLimits(ItemData *item, const ItemLimits &limits)
{
    flush();
    if (!item || item->limits() == limits)
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->setLimits(id, limits));
    item->setLimits(limits);
    emit limitsChanged(item);
}

void ItemStore::setDetails(ItemData *item, const ItemDetails &details)
{
    flush();
    if (!item || item->details() == details)
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->setDetails(id, details));
    item->setDetails(details);
    emit detailsChanged(item);
}

void ItemStore::setUnit(ItemData *item, Unit unit)
{
    flush();
    if (!item || item->unit() == unit)
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->setUnit(id, unit));
    item->setUnit(unit);
    emit unitChanged(item);
}

void ItemStore::switchUnit(ItemData *item, Unit unit)
{
    flush();
    if (!item || item->unit() == unit)
        return;
    loadReadings(item);
    item->switchUnit(unit);
    if (const qint64 id = keptId(item)) {
        beginChanges();
        kept(m_keeper->setUnit(id, unit) && m_keeper->setStatistics(id, *item->statistics()));
        endChanges();
    }
    emit unitChanged(item);
    emit statisticsChanged(item);
}

void ItemStore::setActive(ItemData *item)
{
    flush();
    if (item == m_active)
        return;
    if (item) {
        loadReadings(item);
        switchUnit(item, Unit::Micrometre);
    }
    makeActive(item);
}

void ItemStore::resumeActive(ItemData *item)
{
    flush();
    if (item == m_active)
        return;
    if (item)
        loadReadings(item);
    makeActive(item);
}

void ItemStore::makeActive(ItemData *item)
{
    if (m_keeper && (!item || keptId(item)))
        kept(m_keeper->setActiveItem(item ? keptId(item) : 0));
    m_active = item;
    emit activeItemChanged(item);
}

void ItemStore::append(ItemData *item, const ReadingFields &reading)
{
    if (!item)
        return;
    if (m_arrived.isEmpty() || m_arrived.last().first != item)
        m_arrived.append({item, ReadingSeries()});
    m_arrived.last().second.append(reading);
    postFlush();
}

void ItemStore::postFlush()
{
    if (m_flushPosted)
        return;
    m_flushPosted = true;
    // Posted events come before the window's paint requests, which are
    // posted with low priority: what arrived is kept before it shows.
    QMetaObject::invokeMethod(this, &ItemStore::flush, Qt::QueuedConnection);
}

void ItemStore::flush()
{
    m_flushPosted = false;
    if (m_arrived.isEmpty())
        return;
    QList<QPair<ItemData *, ReadingSeries>> arrived;
    arrived.swap(m_arrived);
    struct Joined
    {
        ItemData *item;
        int first;
        int count;
    };
    QVector<Joined> joined;
    beginChanges();
    for (const auto &group : qAsConst(arrived)) {
        ItemData *item = group.first;
        loadReadings(item);
        const int first = item->count();
        item->append(group.second, true);
        if (const qint64 id = keptId(item))
            kept(m_keeper->appendReadings(id, item->readings(), first, *item->statistics()));
        joined.append({item, first, group.second.size()});
    }
    endChanges();
    for (const Joined &j : qAsConst(joined))
        emit readingsAppended(j.item, j.first, j.count);
}

void ItemStore::append(ItemData *item, const ReadingSeries &readings, bool recalc)
{
    flush();
    if (!item)
        return;
    loadReadings(item);
    const int first = item->count();
    item->append(readings, recalc);
    if (const qint64 id = keptId(item))
        kept(m_keeper->appendReadings(id, item->readings(), first, *item->statistics()));
    emit readingsAppended(item, first, readings.size());
}

void ItemStore::calcStatistics(ItemData *item)
{
    flush();
    if (!item)
        return;
    item->calcStatistics();
    if (const qint64 id = keptId(item))
        kept(m_keeper->setStatistics(id, *item->statistics()));
    emit statisticsChanged(item);
}

void ItemStore::clearReadings(ItemData *item)
{
    flush();
    if (!item)
        return;
    item->clear();
    // Nothing is left to load.
    auto entry = m_entries.find(item);
    if (entry != m_entries.end())
        entry->loaded = true;
    if (const qint64 id = keptId(item))
        kept(m_keeper->clearReadings(id, *item->statistics()));
    emit readingsCleared(item);
}

void ItemStore::replaceReadings(ItemData *item, const ReadingSeries &readings)
{
    flush();
    if (!item)
        return;
    item->clear();
    // An empty download leaves the start texts ("0"), as an emptied item has.
    if (!readings.isEmpty())
        item->append(readings, true);
    auto entry = m_entries.find(item);
    if (entry != m_entries.end())
        entry->loaded = true;
    if (const qint64 id = keptId(item)) {
        beginChanges();
        kept(m_keeper->clearReadings(id, ItemStatistics())
             && m_keeper->appendReadings(id, item->readings(), 0, *item->statistics()));
        endChanges();
    }
    emit readingsReplaced(item);
}

void ItemStore::beginChanges()
{
    if (m_changesDepth++ == 0 && m_keeper)
        kept(m_keeper->beginChanges());
}

void ItemStore::endChanges()
{
    if (m_changesDepth == 0)
        return;
    if (--m_changesDepth == 0 && m_keeper)
        kept(m_keeper->commitChanges());
}

qint64 ItemStore::keptId(ItemData *item) const
{
    return m_keeper ? m_entries.value(item).id : 0;
}

void ItemStore::loadReadings(ItemData *item)
{
    auto entry = m_entries.find(item);
    if (entry == m_entries.end() || entry->loaded)
        return;
    entry->loaded = true;
    ReadingSeries readings;
    if (m_keeper && kept(m_keeper->loadReadings(entry->id, &readings))) {
        item->append(readings, false);
        // The kept texts were counted from these readings; the figures
        // behind them (spread, overloads) are counted again.
        item->calcStatistics();
    }
}

bool ItemStore::kept(bool ok)
{
    if (!ok && m_keeper) {
        const QString reason = m_keeper->failure();
        m_keeper = nullptr;
        emit keepingStopped(reason);
    }
    return ok;
}
