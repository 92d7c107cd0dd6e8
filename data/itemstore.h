#pragma once

#include "data/itemdata.h"
#include "data/teamsource.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class ItemKeeper;
class JobProgress;

// Owns the measurement items, their order under "Live Data" and which item
// is active, and says what changed. Every change goes to the keeper (when
// one is set) before the signal that announces it, so whatever a view shows
// is already kept. Without a keeper, or after it failed, the items live in
// memory only. With a team, it also holds the other installations' items
// (of type Team), read-only: changes to them are refused, and their
// readings are in memory only while they are active or asked for.
class ItemStore : public QObject
{
    Q_OBJECT
public:
    // The two group items, "Store Data" and "Live Data", live as long as the store.
    ItemStore(const QString &storeName, const QString &liveName, QObject *parent = nullptr);
    ~ItemStore() override;

    // Brings in the keeper's items (names, kinds, units, statistics; an
    // item's readings follow when it becomes active) without announcing
    // them, and hands every later change to it. Call once, on a new store.
    // Returns the item that was active when last kept, or none.
    ItemData *restore(ItemKeeper *keeper);
    bool isKept() const { return m_keeper != nullptr; }

    // The name an imported item takes among items of these names: "Import"
    // with a number one above the count of names that begin with
    // "Import", counted on past any in use.
    static QString nextImportName(const QStringList &names);

    ItemData *storeItem() const { return m_storeItem; }
    ItemData *liveItem() const { return m_liveItem; }
    // The items under "Live Data", in tree order.
    QList<ItemData *> items() const { return m_items; }
    // How many items (the two groups' own included) have a name that
    // starts with prefix.
    int countNamedWith(const QString &prefix) const;
    // The name the next imported item takes among these items.
    QString nextImportName() const;
    ItemData *activeItem() const { return m_active; }

    // A new Measure item takes the inspector and the gauge of the item
    // before it (see ItemDetails::carriedOver).
    ItemData *addItem(const QString &name, ItemData::DataType type);
    // A new item with its readings in the given unit, kept as one step
    // before it is added (itemAdded); where keeping takes a while, the
    // window goes on meanwhile. done(item) follows on this thread, with
    // none when the progress was cancelled (nothing is kept) or keeping
    // failed (the item is added, in memory only).
    void keepNewItem(const QString &name, ItemData::DataType type, Unit unit, const ReadingSeries &readings,
                     const std::shared_ptr<JobProgress> &progress, const std::function<void(ItemData *)> &done);
    // Deletes one of items() with its readings.
    void removeItem(ItemData *item);
    void renameItem(ItemData *item, const QString &name);
    void setLimits(ItemData *item, const ItemLimits &limits);
    void setDetails(ItemData *item, const ItemDetails &details);
    // Asks for the item's readings when they are not in memory yet; a keeper
    // of its own thread sends them later (readingsLoaded).
    void loadReadingsOf(ItemData *item) { loadReadings(item); }
    // Whether the item's readings are in memory.
    bool isLoaded(ItemData *item) const;
    // How many of the item's readings may be shown: all but those of the
    // last turns that the keeper has not yet said are kept.
    int shownCount(ItemData *item) const;
    // The statistics stay as they are until the next pass.
    void setUnit(ItemData *item, Unit unit);
    // The statistics are counted again in the new unit.
    void switchUnit(ItemData *item, Unit unit);
    // The item's readings are loaded first, and it switches to micrometres.
    void setActive(ItemData *item);
    // The item that was active when the program last ended becomes active
    // again as it was left, in its unit.
    void resumeActive(ItemData *item);

    // A reading as it arrives from the gauge. The readings of one turn of
    // the event loop join their items together at its end (or at flush()):
    // kept in one step, with the statistics up to date, and only then
    // announced. A flood of readings costs one step, and nothing shows a
    // reading that is not kept.
    void append(ItemData *item, const ReadingFields &reading);
    // Brings in the readings waiting to join their items now.
    void flush();
    // One step for the whole group, kept and announced at once.
    void append(ItemData *item, const ReadingSeries &readings, bool recalc);
    void calcStatistics(ItemData *item);
    void clearReadings(ItemData *item);
    // Puts readings in place of all the item's readings, in one step: a
    // reader of the keeper sees the old ones or the new ones.
    void replaceReadings(ItemData *item, const ReadingSeries &readings);

    // The other installations' items come from source from now on, read at
    // once; none: there is no team, and its items go. The source outlives
    // its use here.
    void setTeamSource(TeamSource *source);
    bool hasTeam() const { return m_team != nullptr; }
    // Reads the team's items again: those named in changed, or of another
    // revision, are taken anew in place; those gone go. A read that fails
    // leaves them as they were.
    void refreshTeam(const QStringList &changed = QStringList());
    // The other installations' items, by inspector and then name.
    QList<ItemData *> teamItems() const { return m_teamItems; }
    static bool isTeamItem(const ItemData *item) { return item && item->type() == ItemData::Team; }
    QString inspectorOf(const ItemData *item) const { return m_teamHeads.value(item).inspector; }

    // The keeper failed later than it said (a keeper of its own thread):
    // from now on changes stay in memory.
    void stopKeeping(const QString &reason);

    // Changes between these calls are kept as one step (they nest); the
    // signals go out as each change is made.
    void beginChanges();
    void endChanges();

signals:
    void itemAdded(ItemData *item);
    // Sent while the item is still whole, just before it is deleted.
    void itemAboutToBeRemoved(ItemData *item);
    void itemRenamed(ItemData *item);
    void unitChanged(ItemData *item);
    void limitsChanged(ItemData *item);
    void detailsChanged(ItemData *item);
    void activeItemChanged(ItemData *item);
    // The item's readings [first, first + count) have joined it.
    void readingsAppended(ItemData *item, int first, int count);
    // The item's kept readings are in memory now.
    void readingsLoaded(ItemData *item);
    void readingsCleared(ItemData *item);
    void readingsReplaced(ItemData *item);
    void statisticsChanged(ItemData *item);
    // The keeper failed; from now on changes stay in memory.
    void keepingStopped(const QString &reason);
    // The team came or went, or its items were read again; an item gone
    // was announced by itemAboutToBeRemoved first.
    void teamItemsChanged();
    // The team's items or an item's readings could not be read.
    void teamProblem(const QString &text);

private:
    struct Entry
    {
        qint64 id = 0;          // 0: not kept
        bool loaded = true;     // readings in memory
        bool loading = false;   // asked of the keeper
        std::optional<Unit> pendingUnit;    // to switch to once loaded
        int unconfirmed = 0;    // readings appended, not yet known to be kept
        quint64 ticket = 0;     // of the team item's last read; older answers are dropped
    };

    qint64 keptId(ItemData *item) const;
    void makeActive(ItemData *item);
    // Puts an item into items() with the keeper's id (0: not kept).
    void adopt(ItemData *item, qint64 id);
    void postFlush();
    void loadReadings(ItemData *item);
    void readingsArrived(qint64 id, bool ok, const ReadingSeries &readings);
    // The item's readings are whatever it holds now: a load on its way and
    // readings waiting for it are dropped.
    void nothingToLoad(ItemData *item);
    // Takes the readings loaded for the item; says so when waited for.
    void takeLoaded(ItemData *item, const ReadingSeries &readings);
    // Passes the keeper's answer through; a failure ends the keeping.
    bool kept(bool ok);

    void loadTeamReadings(ItemData *item, Entry &entry);
    void teamReadingsArrived(ItemData *item, quint64 ticket, bool ok, const ReadingSeries &readings,
                             const QString &problem);
    void takeTeamItems(const QList<TeamItemHead> &heads, const QStringList &changed);
    // Back to its head: no readings in memory, the figures its origin sent.
    void letGo(ItemData *item);
    void showHead(ItemData *item);
    void removeTeamItem(ItemData *item);

    ItemData *m_storeItem;
    ItemData *m_liveItem;
    QList<ItemData *> m_items;
    ItemData *m_active = nullptr;
    QHash<ItemData *, Entry> m_entries;
    ItemKeeper *m_keeper = nullptr;
    int m_changesDepth = 0;
    // Readings that arrived this turn, per item, in arrival order.
    QList<QPair<ItemData *, ReadingSeries>> m_arrived;
    bool m_flushPosted = false;
    TeamSource *m_team = nullptr;
    QList<ItemData *> m_teamItems;
    QHash<const ItemData *, TeamItemHead> m_teamHeads;
    quint64 m_teamTickets = 0;
};
