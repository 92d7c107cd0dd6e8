#include "views/itemscontroller.h"

#include "views/dlgdetails.h"
#include "views/dlglimits.h"
#include "data/itemstore.h"
#include "views/tvitemmodel.h"

#include <QDebug>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardItem>
#include <QTreeView>

#include <functional>

namespace {

// Every node carries an item; the default names are not translated.
QStandardItem *newNode(const QIcon &icon, const QString &text, ItemData *item)
{
    auto *node = new QStandardItem(icon, text);
    node->setData(QVariant::fromValue(item), TvItemModel::ItemDataRole);
    return node;
}

} // namespace

ItemsController::ItemsController(ItemStore *store, QTreeView *tree, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_tree(tree)
    , m_model(new TvItemModel(this))
    , m_measureIcon(QStringLiteral(":/image/measure.png"))
{
    m_tree->setHeaderHidden(true);
    m_tree->setAnimated(true);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Name")});
    m_tree->setModel(m_model);

    m_storeGroup = newNode(QIcon(QStringLiteral(":/image/rom.png")), store->storeItem()->name(), store->storeItem());
    m_model->appendRow(m_storeGroup);
    m_liveGroup = newNode(QIcon(QStringLiteral(":/image/live.png")), store->liveItem()->name(), store->liveItem());
    m_model->appendRow(m_liveGroup);
    for (ItemData *item : store->items())
        onItemAdded(item);

    connect(store, &ItemStore::itemAdded, this, &ItemsController::onItemAdded);
    connect(store, &ItemStore::itemAboutToBeRemoved, this, &ItemsController::onItemAboutToBeRemoved);
    connect(store, &ItemStore::itemRenamed, this, [this] { m_tree->viewport()->update(); });
    connect(store, &ItemStore::activeItemChanged, this, &ItemsController::onActiveItemChanged);
    connect(store, &ItemStore::teamItemsChanged, this, &ItemsController::syncTeamGroup);
    syncTeamGroup();

    connect(m_tree, &QTreeView::activated, this, &ItemsController::setToActive);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    emit currentNodeChanged(current);
            });
    connect(m_model, &TvItemModel::editDataChanged, this, [this](const QModelIndex &index) {
        if (nodeAt(index) != Node::StoreGroup)
            qDebug() << "slotItemModeleditDataChanged " << index.data(Qt::DisplayRole);
    });
}

void ItemsController::activateFirst(ItemData *wasActive)
{
    if (m_store->items().isEmpty()) {
        m_store->addItem(QStringLiteral("Measure%1").arg(1), ItemData::Measure);
        wasActive = nullptr;
    }
    m_tree->expandAll();
    const QModelIndex index = wasActive ? nodeOf(wasActive) : m_liveGroup->child(0)->index();
    // The window comes back as it was left: the active item in its unit.
    if (wasActive && index.isValid())
        m_store->resumeActive(wasActive);
    else
        setToActive(index);
    makeCurrent(index);
}

void ItemsController::makeCurrent(const QModelIndex &index)
{
    // Set again to the same node, the tree says nothing: say it here, once.
    const bool same = m_tree->currentIndex() == index;
    m_tree->setCurrentIndex(index);
    if (same && index.isValid())
        emit currentNodeChanged(index);
}

QModelIndexList ItemsController::itemNodes() const
{
    QModelIndexList nodes;
    std::function<void(const QModelIndex &)> add = [&](const QModelIndex &parent) {
        for (int row = 0; row < m_model->rowCount(parent); ++row) {
            const QModelIndex node = m_model->index(row, 0, parent);
            nodes << node;
            add(node);
        }
    };
    add(QModelIndex());
    return nodes;
}

ItemsController::Node ItemsController::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid())
        return Node::None;
    const ItemData *item = TvItemModel::itemAt(index);
    if (ItemStore::isTeamItem(item))
        return Node::TeamItem;
    if (index.parent().isValid())
        return item ? Node::Item : Node::Inspector;
    const QStandardItem *node = m_model->itemFromIndex(index);
    if (node == m_storeGroup)
        return Node::StoreGroup;
    if (node == m_liveGroup)
        return Node::LiveGroup;
    if (node == m_teamGroup)
        return Node::TeamGroup;
    return Node::None;
}

QModelIndex ItemsController::nodeOf(const ItemData *item) const
{
    for (const QModelIndex &node : itemNodes()) {
        if (TvItemModel::itemAt(node) == item)
            return node;
    }
    return QModelIndex();
}

void ItemsController::newItem(const QString &name, ItemData::DataType type)
{
    if (name.isEmpty())
        return;
    emit measuringMustStop();
    const QModelIndex index = nodeOf(m_store->addItem(name, type));
    setToActive(index);
    makeCurrent(index);
}

void ItemsController::showNewItem(ItemData *item)
{
    emit measuringMustStop();
    const QModelIndex index = nodeOf(item);
    if (!index.isValid())
        return;
    m_store->resumeActive(item);
    makeCurrent(index);
}

void ItemsController::setToActive(const QModelIndex &index)
{
    if (!index.isValid() || index == m_liveGroup->index())
        return;
    ItemData *item = TvItemModel::itemAt(index);
    if (!item || item == m_store->activeItem())
        return;
    m_store->setActive(item);
}

void ItemsController::activateStoreData()
{
    setToActive(m_storeGroup->index());
}

void ItemsController::onActiveItemChanged(ItemData *item)
{
    if (!item)
        return;
    for (const QModelIndex &node : itemNodes())
        m_model->setData(node, false, TvItemModel::ActiveRole);
    m_model->setData(nodeOf(item), true, TvItemModel::ActiveRole);
}

void ItemsController::onItemAdded(ItemData *item)
{
    m_liveGroup->appendRow(newNode(m_measureIcon, item->name(), item));
}

void ItemsController::syncTeamGroup()
{
    if (!m_store->hasTeam()) {
        if (m_teamGroup)
            m_model->removeRow(m_teamGroup->row());
        m_teamGroup = nullptr;
        return;
    }
    if (!m_teamGroup) {
        m_teamGroup = new QStandardItem(QIcon(QStringLiteral(":/image/team.png")), tr("Team"));
        m_model->appendRow(m_teamGroup);
        m_tree->expand(m_teamGroup->index());
    }
    const QList<ItemData *> items = m_store->teamItems();
    QHash<const ItemData *, int> order;
    QHash<QString, int> rank;
    for (int i = 0; i < items.size(); ++i) {
        order.insert(items.at(i), i);
        rank.insert(m_store->inspectorOf(items.at(i)), rank.size());
    }
    QSet<const ItemData *> placed;
    for (int row = m_teamGroup->rowCount() - 1; row >= 0; --row) {
        QStandardItem *inspector = m_teamGroup->child(row);
        for (int child = inspector->rowCount() - 1; child >= 0; --child) {
            ItemData *item = TvItemModel::itemAt(inspector->child(child)->index());
            if (order.contains(item) && m_store->inspectorOf(item) == inspector->text())
                placed.insert(item);
            else
                inspector->removeRow(child);
        }
        if (inspector->rowCount() == 0)
            m_teamGroup->removeRow(row);
    }
    for (ItemData *item : items) {
        if (placed.contains(item))
            continue;
        QStandardItem *inspector = inspectorNode(m_store->inspectorOf(item), rank);
        int row = 0;
        const int place = order.value(item);
        while (row < inspector->rowCount() && order.value(TvItemModel::itemAt(inspector->child(row)->index())) < place)
            ++row;
        QStandardItem *node = newNode(m_measureIcon, item->name(), item);
        node->setToolTip(tr("An item of %1 from the team database, read-only here").arg(m_store->inspectorOf(item)));
        // An inspector new to the tree (none is left empty) opens.
        const bool fresh = inspector->rowCount() == 0;
        inspector->insertRow(row, node);
        if (fresh)
            m_tree->expand(inspector->index());
    }
    m_tree->viewport()->update();
}

QStandardItem *ItemsController::inspectorNode(const QString &inspector, const QHash<QString, int> &rank)
{
    int row = 0;
    for (; row < m_teamGroup->rowCount(); ++row) {
        QStandardItem *node = m_teamGroup->child(row);
        if (node->text() == inspector)
            return node;
        if (rank.value(node->text()) > rank.value(inspector))
            break;
    }
    auto *node = new QStandardItem(QIcon(QStringLiteral(":/image/team.png")), inspector);
    m_teamGroup->insertRow(row, node);
    return node;
}

void ItemsController::onItemAboutToBeRemoved(ItemData *item)
{
    const QModelIndex node = nodeOf(item);
    if (node.isValid())
        m_model->removeRow(node.row(), node.parent());
}

QWidget *ItemsController::dialogParent() const
{
    return m_tree->window();
}

void ItemsController::askNewItem()
{
    const QString proposal = QStringLiteral("Measure%1").arg(m_store->countNamedWith(QStringLiteral("Measure")) + 1);
    const QString name =
        QInputDialog::getText(dialogParent(), QString(), QStringLiteral("Name:"), QLineEdit::Normal, proposal)
            .trimmed();
    if (!name.isEmpty())
        newItem(name, ItemData::Measure);
}

void ItemsController::deleteCurrent()
{
    const QModelIndex index = m_tree->currentIndex();
    // The groups are never deleted: removing "Live Data" would take its
    // items with it.
    if (!index.isValid() || !index.parent().isValid() || !TvItemModel::itemAt(index)
        || refusedAsTeamItem(TvItemModel::itemAt(index)))
        return;
    if (m_busy && m_busy(TvItemModel::itemAt(index))) {
        QMessageBox::information(dialogParent(), QString(),
                                 tr("The item is being exported. Delete it once the export has ended."),
                                 QMessageBox::Ok);
        return;
    }
    if (QMessageBox::question(dialogParent(), QString(), tr("Are you sure delete this item?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;

    ItemData *item = TvItemModel::itemAt(index);
    const bool wasActive = item && item == m_store->activeItem();
    // The store takes the node away and, for the active item, leaves none active.
    m_store->removeItem(item);

    // Deleting another item leaves the active one, its views and its mark.
    if (wasActive) {
        setToActive(m_tree->currentIndex());
        // Nothing took its place: nothing is recorded, nothing is shown.
        if (!m_store->activeItem()) {
            emit measuringMustStop();
            emit nothingActive();
        }
    }
}

void ItemsController::renameCurrent()
{
    const QModelIndex index = m_tree->currentIndex();
    if (nodeAt(index) != Node::Item && nodeAt(index) != Node::LiveGroup && nodeAt(index) != Node::TeamItem)
        return;
    if (!TvItemModel::itemAt(index) || refusedAsTeamItem(TvItemModel::itemAt(index)))
        return;
    const QString name = QInputDialog::getText(dialogParent(), QString(), QStringLiteral("New name:"),
                                               QLineEdit::Normal, index.data(Qt::DisplayRole).toString())
                             .trimmed();
    if (name.isEmpty())
        return;
    m_store->renameItem(TvItemModel::itemAt(index), name);
    emit measuringMustStop();
}

ItemData *ItemsController::editableCurrentItem() const
{
    const QModelIndex index = m_tree->currentIndex();
    ItemData *item = index.parent().isValid() ? TvItemModel::itemAt(index) : nullptr;
    if (!item || refusedAsTeamItem(item) || (item->type() != ItemData::Measure && item->type() != ItemData::Import))
        return nullptr;
    return item;
}

bool ItemsController::refusedAsTeamItem(const ItemData *item) const
{
    if (!ItemStore::isTeamItem(item))
        return false;
    QMessageBox::information(dialogParent(), QString(),
                             tr("\"%1\" is an item of %2 from the team database: it cannot be changed here.")
                                 .arg(item->name(), m_store->inspectorOf(item)),
                             QMessageBox::Ok);
    return true;
}

void ItemsController::editLimitsOfCurrent()
{
    ItemData *item = editableCurrentItem();
    if (!item)
        return;
    dlgLimits dialog(dialogParent());
    dialog.setLimits(item->limits(), item->statisticsInMicrometres());
    if (dialog.exec() == QDialog::Accepted)
        m_store->setLimits(item, dialog.limits());
}

void ItemsController::editDetailsOfCurrent()
{
    ItemData *item = editableCurrentItem();
    if (!item)
        return;
    dlgDetails dialog(dialogParent());
    dialog.setDetails(item->details());
    if (dialog.exec() == QDialog::Accepted)
        m_store->setDetails(item, dialog.details());
}
