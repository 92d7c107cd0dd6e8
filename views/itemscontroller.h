#pragma once

#include "data/itemdata.h"

#include <QHash>
#include <QIcon>
#include <QModelIndex>
#include <QObject>

#include <functional>
#include <QString>

class QStandardItem;
class QTreeView;
class ItemStore;
class TvItemModel;

// The items tree and its commands: a node for every item of the store,
// the active one marked, and new, delete, rename, limits and details on the
// current node. Every change goes through the store, and the tree follows
// the store's signals. While there is a team, a third group holds the
// other installations' items under their inspectors; the commands that
// would change one of them say that it is read-only.
class ItemsController : public QObject
{
    Q_OBJECT

public:
    // The store and the tree outlive the controller. The tree shows the
    // store's items at once; the dialogs open over the tree's window.
    ItemsController(ItemStore *store, QTreeView *tree, QObject *parent = nullptr);

    TvItemModel *model() const { return m_model; }
    QTreeView *tree() const { return m_tree; }

    // Activates the item that was active when last kept, or else the first
    // measurement item; with nothing kept, the first start makes one.
    void activateFirst(ItemData *wasActive);
    // Items that must not be deleted now (long work reads them): Delete
    // says so instead.
    void setBusyItems(const std::function<bool(const ItemData *)> &busy) { m_busy = busy; }

    // An item just added to the store becomes the active and current one,
    // as it was made.
    void showNewItem(ItemData *item);

    // A new item of that kind, made active and current. An empty name makes none.
    void newItem(const QString &name, ItemData::DataType type);
    // Makes the node's item active; the "Live Data" node never is.
    void setToActive(const QModelIndex &index);
    void activateStoreData();

    // The commands on the current node, asking what they need to.
    void askNewItem();
    void deleteCurrent();
    void renameCurrent();
    void editLimitsOfCurrent();
    void editDetailsOfCurrent();

    // What a node of the tree stands for.
    enum class Node { None, StoreGroup, LiveGroup, Item, TeamGroup, Inspector, TeamItem };
    Node nodeAt(const QModelIndex &index) const;
    // The node that carries item, or an invalid index.
    QModelIndex nodeOf(const ItemData *item) const;
    // Every node, in tree order.
    QModelIndexList itemNodes() const;

signals:
    // Measuring must end before the change: a new item, a renamed one, or
    // the active one deleted with none to take its place.
    void measuringMustStop();
    // The active item was deleted and none took its place.
    void nothingActive();
    // The current node changed (or was set again): its commands may differ.
    void currentNodeChanged(const QModelIndex &current);

private:
    void onItemAdded(ItemData *item);
    void onItemAboutToBeRemoved(ItemData *item);
    void onActiveItemChanged(ItemData *item);
    // The Team group follows the store's team items: nodes of items gone or
    // moved to another inspector go, new ones come in the store's order;
    // the others stay, with the current node and what is expanded.
    void syncTeamGroup();
    QStandardItem *inspectorNode(const QString &inspector, const QHash<QString, int> &rank);
    // Says so when the item is read-only here.
    bool refusedAsTeamItem(const ItemData *item) const;
    void makeCurrent(const QModelIndex &index);
    // The current node's Measure or Import item, or none.
    ItemData *editableCurrentItem() const;
    QWidget *dialogParent() const;

    ItemStore *m_store;
    QTreeView *m_tree;
    TvItemModel *m_model;
    QIcon m_measureIcon;
    QStandardItem *m_storeGroup = nullptr;
    QStandardItem *m_liveGroup = nullptr;
    QStandardItem *m_teamGroup = nullptr;
    std::function<bool(const ItemData *)> m_busy;
};
