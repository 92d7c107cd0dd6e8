#include "data/itemstore.h"

#include "data/itemkeeper.h"

#include <QPointer>
#include <QVector>

#include <algorithm>
#include <memory>

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
    qDeleteAll(m_teamItems);
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
        m_entries.insert(item, Entry{kept.id, false, false, {}});
        if (kept.id == activeId)
            active = item;
    }
    if (!storeKept) {
        const qint64 id = keeper->addItem(m_storeItem->name(), ItemData::StoreData, m_storeItem->unit());
        if (kept(id != 0))
            m_entries.insert(m_storeItem, Entry{id, true, false, {}});
    }
    return active;
}

QString ItemStore::nextImportName(const QStringList &names)
{
    const QString prefix = QStringLiteral("Import");
    int number = 1;
    for (const QString &name : names)
        number += name.startsWith(prefix) ? 1 : 0;
    // A renamed or otherwise named item must not make a duplicate.
    while (names.contains(prefix + QString::number(number)))
        ++number;
    return prefix + QString::number(number);
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

void ItemStore::keepNewItem(const QString &name, ItemData::DataType type, Unit unit, const ReadingSeries &readings,
                            const std::shared_ptr<JobProgress> &progress,
                            const std::function<void(ItemData *)> &done)
{
    flush();
    // Owned by the answer until the keeper has it: an answer that never
    // comes (the keeper ended first) takes it along.
    auto item = std::make_shared<std::unique_ptr<ItemData>>(new ItemData(name, type));
    (*item)->setUnit(unit);
    (*item)->append(readings, true);
    if (!m_keeper) {
        ItemData *added = item->release();
        adopt(added, 0);
        done(added);
        return;
    }
    ItemKeeper::NewItem spec;
    spec.name = name;
    spec.type = type;
    spec.unit = unit;
    spec.statistics = *(*item)->statistics();
    m_keeper->keepNewItem(spec, (*item)->readings(), progress,
                          [this, item, done](ItemKeeper::Outcome outcome, qint64 id) {
                              if (outcome == ItemKeeper::Outcome::Cancelled) {
                                  done(nullptr);
                                  return;
                              }
                              ItemData *added = item->release();
                              adopt(added, outcome == ItemKeeper::Outcome::Kept ? id : 0);
                              if (outcome == ItemKeeper::Outcome::Failed)
                                  kept(false);
                              done(added);
                          });
}

void ItemStore::adopt(ItemData *item, qint64 id)
{
    Entry entry;
    entry.id = m_keeper ? id : 0;
    m_entries.insert(item, entry);
    m_items << item;
    emit itemAdded(item);
}

void ItemStore::removeItem(ItemData *item)
{
    flush();
    if (!m_items.contains(item))
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->removeItem(id));
    emit itemAboutToBeRemoved(item);
    nothingToLoad(item);
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
    if (!item || isTeamItem(item))
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->renameItem(id, name));
    item->setName(name);
    emit itemRenamed(item);
}

void ItemStore::setLimits(ItemData *item, const ItemLimits &limits)
{
    flush();
    if (!item || isTeamItem(item) || item->limits() == limits)
        return;
    if (const qint64 id = keptId(item))
        kept(m_keeper->setLimits(id, limits));
    item->setLimits(limits);
    emit limitsChanged(item);
}

void ItemStore::setDetails(ItemData *item, const ItemDetails &details)
{
    flush();
    if (!item || isTeamItem(item) || item->details() == details)
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
    if (!item)
        return;
    // The statistics are counted again from the readings: an item whose
    // readings are still coming switches once they are in.
    if (!isLoaded(item)) {
        m_entries[item].pendingUnit = unit;
        loadReadings(item);
        if (!isLoaded(item))
            return;
    }
    if (item->unit() == unit)
        return;
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
    if (item)
        switchUnit(item, Unit::Micrometre);
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
    // The team's readings are read again when wanted again.
    for (ItemData *team : qAsConst(m_teamItems)) {
        if (team != item)
            letGo(team);
    }
}

void ItemStore::append(ItemData *item, const ReadingFields &reading)
{
    if (!item || isTeamItem(item))
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
    // Readings for an item whose kept readings are still coming wait for them.
    QList<QPair<ItemData *, ReadingSeries>> arrived, ready, waiting;
    arrived.swap(m_arrived);
    for (const auto &group : qAsConst(arrived)) {
        if (!group.first)
            continue;
        loadReadings(group.first);
        (isLoaded(group.first) ? ready : waiting).append(group);
    }
    struct Joined
    {
        QPointer<ItemData> item;
        int first;
        int count;
    };
    QVector<Joined> joined;
    beginChanges();
    for (const auto &group : qAsConst(ready)) {
        ItemData *item = group.first;
        const int first = item->count();
        item->append(group.second, true);
        if (const qint64 id = keptId(item)) {
            kept(m_keeper->appendReadings(id, item->readings(), first, *item->statistics()));
            m_entries[item].unconfirmed += group.second.size();
        }
        joined.append({item, first, group.second.size()});
    }
    endChanges();
    m_arrived = waiting + m_arrived;
    if (joined.isEmpty())
        return;
    // Announced once kept: nothing shows a reading that a killed program
    // would lose.
    auto announce = [this, joined] {
        for (const Joined &j : joined) {
            if (!j.item)
                continue;
            auto entry = m_entries.find(j.item);
            if (entry != m_entries.end())
                entry->unconfirmed = std::max(0, entry->unconfirmed - j.count);
            emit readingsAppended(j.item, j.first, j.count);
        }
    };
    if (m_keeper)
        m_keeper->whenKept(announce);
    else
        announce();
}

int ItemStore::shownCount(ItemData *item) const
{
    if (!item)
        return 0;
    const auto entry = m_entries.constFind(item);
    const int unconfirmed = entry == m_entries.constEnd() ? 0 : entry->unconfirmed;
    return std::max(0, item->count() - unconfirmed);
}

void ItemStore::append(ItemData *item, const ReadingSeries &readings, bool recalc)
{
    flush();
    if (!item || isTeamItem(item))
        return;
    if (!isLoaded(item)) {
        m_arrived.append({item, readings});
        loadReadings(item);
        return;
    }
    const int first = item->count();
    item->append(readings, recalc);
    if (const qint64 id = keptId(item))
        kept(m_keeper->appendReadings(id, item->readings(), first, *item->statistics()));
    emit readingsAppended(item, first, readings.size());
}

void ItemStore::calcStatistics(ItemData *item)
{
    flush();
    // Readings still coming are counted when they are in.
    if (!item || !isLoaded(item))
        return;
    item->calcStatistics();
    if (const qint64 id = keptId(item))
        kept(m_keeper->setStatistics(id, *item->statistics()));
    emit statisticsChanged(item);
}

void ItemStore::clearReadings(ItemData *item)
{
    flush();
    if (!item || isTeamItem(item))
        return;
    item->clear();
    nothingToLoad(item);
    if (const qint64 id = keptId(item))
        kept(m_keeper->clearReadings(id, *item->statistics()));
    emit readingsCleared(item);
}

void ItemStore::replaceReadings(ItemData *item, const ReadingSeries &readings)
{
    flush();
    if (!item || isTeamItem(item))
        return;
    item->clear();
    // An empty download leaves the start texts ("0"), as an emptied item has.
    if (!readings.isEmpty())
        item->append(readings, true);
    nothingToLoad(item);
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

bool ItemStore::isLoaded(ItemData *item) const
{
    const auto entry = m_entries.constFind(item);
    return entry == m_entries.constEnd() || entry->loaded;
}

void ItemStore::loadReadings(ItemData *item)
{
    auto entry = m_entries.find(item);
    if (entry == m_entries.end() || entry->loaded || entry->loading)
        return;
    if (isTeamItem(item)) {
        loadTeamReadings(item, *entry);
        return;
    }
    if (!m_keeper) {
        entry->loaded = true;
        return;
    }
    entry->loading = true;
    const qint64 id = entry->id;
    // A keeper of its own thread answers later; the item may be gone by then.
    m_keeper->requestReadings(id, [this, id](bool ok, const ReadingSeries &readings) {
        readingsArrived(id, ok, readings);
    });
}

void ItemStore::readingsArrived(qint64 id, bool ok, const ReadingSeries &readings)
{
    ItemData *item = nullptr;
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->id == id && entry->loading) {
            item = entry.key();
            break;
        }
    }
    if (!item)
        return;
    Entry &entry = m_entries[item];
    entry.loading = false;
    entry.loaded = true;
    takeLoaded(item, kept(ok) ? readings : ReadingSeries());
}

void ItemStore::takeLoaded(ItemData *item, const ReadingSeries &readings)
{
    Entry &entry = m_entries[item];
    if (!readings.isEmpty()) {
        item->append(readings, false);
        // The kept texts were counted from these readings; the figures
        // behind them (spread, overloads) are counted again.
        item->calcStatistics();
    }
    const bool waitedFor = m_active == item || entry.pendingUnit;
    if (entry.pendingUnit) {
        const Unit unit = *entry.pendingUnit;
        entry.pendingUnit.reset();
        switchUnit(item, unit);
    }
    if (waitedFor)
        emit readingsReplaced(item);
    emit readingsLoaded(item);
    flush();
}

void ItemStore::nothingToLoad(ItemData *item)
{
    auto entry = m_entries.find(item);
    if (entry != m_entries.end()) {
        entry->loaded = true;
        entry->loading = false;
        entry->unconfirmed = 0;
    }
    for (auto &group : m_arrived) {
        if (group.first == item)
            group.first = nullptr;
    }
}

bool ItemStore::kept(bool ok)
{
    if (!ok && m_keeper)
        stopKeeping(m_keeper->failure());
    return ok;
}

void ItemStore::stopKeeping(const QString &reason)
{
    if (!m_keeper)
        return;
    m_keeper = nullptr;
    // Readings on their way from the keeper will not come.
    QList<ItemData *> waited;
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        // The team's readings come from the team's cache, not the keeper.
        if (isTeamItem(entry.key()))
            continue;
        if (entry->loading)
            waited << entry.key();
        entry->loading = false;
        entry->loaded = true;
    }
    emit keepingStopped(reason);
    for (ItemData *item : qAsConst(waited))
        emit readingsLoaded(item);
}

int ItemStore::countNamedWith(const QString &prefix) const
{
    int count = 0;
    for (const ItemData *item : QList<ItemData *>{m_storeItem, m_liveItem} + m_items)
        count += item && item->name().startsWith(prefix) ? 1 : 0;
    return count;
}

QString ItemStore::nextImportName() const
{
    QStringList names;
    for (const ItemData *item : QList<ItemData *>{m_storeItem, m_liveItem} + m_items)
        if (item)
            names << item->name();
    return nextImportName(names);
}

void ItemStore::setTeamSource(TeamSource *source)
{
    if (source == m_team)
        return;
    for (ItemData *item : QList<ItemData *>(m_teamItems))
        removeTeamItem(item);
    m_team = source;
    emit teamItemsChanged();
    refreshTeam();
}

void ItemStore::refreshTeam(const QStringList &changed)
{
    if (!m_team)
        return;
    // An answer for a source let go since is dropped.
    QPointer<ItemStore> self(this);
    TeamSource *source = m_team;
    m_team->requestItems([self, source, changed](bool ok, const QList<TeamItemHead> &heads, const QString &problem) {
        if (!self || self->m_team != source)
            return;
        if (ok)
            self->takeTeamItems(heads, changed);
        else
            emit self->teamProblem(tr("The team's items could not be read: %1").arg(problem));
    });
}

void ItemStore::takeTeamItems(const QList<TeamItemHead> &heads, const QStringList &changed)
{
    QHash<QString, ItemData *> held;
    for (ItemData *item : qAsConst(m_teamItems))
        held.insert(m_teamHeads.value(item).uuid, item);
    QList<ItemData *> items;
    for (const TeamItemHead &head : heads) {
        ItemData *item = held.take(head.uuid);
        if (item) {
            const TeamItemHead &was = m_teamHeads[item];
            if (was.revision == head.revision && was.generation == head.generation && !changed.contains(head.uuid)) {
                items << item;
                continue;
            }
        } else {
            item = new ItemData(head.name, ItemData::Team);
            m_entries.insert(item, Entry{0, false, false, {}});
        }
        items << item;
        m_teamHeads.insert(item, head);
        item->setName(head.name);
        item->setLimits(head.limits);
        item->setDetails(head.details);
        if (item != m_active) {
            letGo(item);
            showHead(item);
            continue;
        }
        // The active item shows what it holds until the new readings are in.
        Entry &entry = m_entries[item];
        entry.loaded = entry.loaded && !entry.loading;
        loadTeamReadings(item, entry);
        emit itemRenamed(item);
        emit limitsChanged(item);
        emit detailsChanged(item);
    }
    for (ItemData *gone : qAsConst(held))
        removeTeamItem(gone);
    m_teamItems = items;
    emit teamItemsChanged();
}

void ItemStore::loadTeamReadings(ItemData *item, Entry &entry)
{
    if (!m_team)
        return;
    entry.loading = true;
    entry.ticket = ++m_teamTickets;
    QPointer<ItemStore> self(this);
    const quint64 ticket = entry.ticket;
    m_team->requestReadings(m_teamHeads.value(item).uuid,
                            [self, item, ticket](bool ok, const ReadingSeries &readings, const QString &problem) {
                                if (self)
                                    self->teamReadingsArrived(item, ticket, ok, readings, problem);
                            });
}

void ItemStore::teamReadingsArrived(ItemData *item, quint64 ticket, bool ok, const ReadingSeries &readings,
                                    const QString &problem)
{
    // The ticket tells a read still wanted from one for an item gone,
    // refreshed or let go since.
    auto entry = m_entries.find(item);
    if (entry == m_entries.end() || !entry->loading || entry->ticket != ticket)
        return;
    entry->loading = false;
    if (!ok) {
        emit teamProblem(tr("The readings of %1 (%2) could not be read: %3")
                             .arg(item->name(), inspectorOf(item), problem));
        return;
    }
    // Read again after a pull: the new readings replace those shown.
    if (entry->loaded)
        item->clear();
    entry->loaded = true;
    takeLoaded(item, readings);
}

void ItemStore::letGo(ItemData *item)
{
    auto entry = m_entries.find(item);
    if (entry == m_entries.end() || (!entry->loaded && !entry->loading))
        return;
    entry->loaded = false;
    entry->loading = false;
    entry->pendingUnit.reset();
    showHead(item);
}

void ItemStore::showHead(ItemData *item)
{
    const TeamItemHead &head = m_teamHeads[item];
    item->clear();
    item->setUnit(head.unit);
    item->restoreStatistics(head.statistics);
}

void ItemStore::removeTeamItem(ItemData *item)
{
    emit itemAboutToBeRemoved(item);
    m_teamItems.removeOne(item);
    m_entries.remove(item);
    m_teamHeads.remove(item);
    if (item == m_active) {
        m_active = nullptr;
        emit activeItemChanged(nullptr);
    }
    delete item;
}
