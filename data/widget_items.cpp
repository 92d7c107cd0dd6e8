#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/measurementdatabase.h"
#include "data/tvitemmodel.h"

#include <QContextMenuEvent>
#include <QDebug>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStandardItem>

namespace {

// Every node carries an item; the default names are not translated.
QStandardItem *newNode(const QIcon &icon, const QString &text, ItemData *item)
{
    auto *node = new QStandardItem(icon, text);
    node->setData(QVariant::fromValue(item), TvItemModel::ItemDataRole);
    return node;
}

} // namespace

void Widget::buildItemsTree()
{
    ui->tvItems->setHeaderHidden(true);
    ui->tvItems->setAnimated(true);
    ui->tvItems->header()->setStretchLastSection(true);
    ui->tvItems->setEditTriggers(QAbstractItemView::NoEditTriggers);

    itemModel = new TvItemModel(this);
    itemModel->setHorizontalHeaderLabels({QStringLiteral("Name")});
    ui->tvItems->setModel(itemModel);

    measureIcon = QIcon(QStringLiteral(":/image/measure.png"));

    itemStore = new ItemStore(tr("Store Data"), tr("Live Data"), this);
    // Activating an item below stops measuring, which the link keeps.
    createGaugeLink();
    // Connected first: restoring may already find the file failing.
    connect(itemStore, &ItemStore::keepingStopped, this, &Widget::slotKeepingStopped);
    ItemData *wasActive = database && database->isOpen() ? itemStore->restore(database) : nullptr;
    connect(itemStore, &ItemStore::itemAdded, this, &Widget::slotItemAdded);
    connect(itemStore, &ItemStore::itemAboutToBeRemoved, this, &Widget::slotItemAboutToBeRemoved);
    connect(itemStore, &ItemStore::itemRenamed, this, &Widget::slotItemRenamed);
    connect(itemStore, &ItemStore::activeItemChanged, this, &Widget::slotActiveItemChanged);
    connect(itemStore, &ItemStore::readingAppended, this, &Widget::slotReadingAppended);
    connect(itemStore, &ItemStore::readingsAppended, this, &Widget::slotReadingsAppended);
    connect(itemStore, &ItemStore::readingsReplaced, this, &Widget::slotReadingsReplaced);
    connect(itemStore, &ItemStore::unitChanged, this, &Widget::slotUnitChanged);

    storeGroup = newNode(QIcon(QStringLiteral(":/image/rom.png")), tr("Store Data"), itemStore->storeItem());
    itemModel->appendRow(storeGroup);
    liveGroup = newNode(QIcon(QStringLiteral(":/image/live.png")), tr("Live Data"), itemStore->liveItem());
    itemModel->appendRow(liveGroup);
    for (ItemData *item : itemStore->items())
        slotItemAdded(item);
    // With nothing kept, the first start: one measurement item.
    if (itemStore->items().isEmpty()) {
        itemStore->addItem(QStringLiteral("Measure%1").arg(1), ItemData::Measure);
        wasActive = nullptr;
    }
    ui->tvItems->expandAll();

    const QModelIndex index = wasActive ? nodeOf(wasActive) : liveGroup->child(0)->index();
    itemSetToActive(index);
    ui->tvItems->setCurrentIndex(index);
    slotCurrentRowChanged(index, QModelIndex());
}

void Widget::deleteAllItems()
{
    if (!itemModel)
        return;
    // The table refers to readings the items own: let go of them first.
    dataModel->clear();
    dataModel->setItem(nullptr);
    currentItem = nullptr;
    itemModel->clear();
    delete itemStore;
    itemStore = nullptr;
}

QModelIndexList Widget::itemNodes() const
{
    QModelIndexList nodes;
    for (int row = 0; row < itemModel->rowCount(); ++row) {
        const QModelIndex top = itemModel->index(row, 0);
        nodes << top;
        for (int child = 0; child < itemModel->rowCount(top); ++child)
            nodes << itemModel->index(child, 0, top);
    }
    return nodes;
}

int Widget::countItemsNamedWith(const QString &prefix) const
{
    int count = 0;
    for (const QModelIndex &node : itemNodes()) {
        if (ItemData *item = TvItemModel::itemAt(node))
            count += item->name().startsWith(prefix) ? 1 : 0;
    }
    return count;
}

QModelIndex Widget::nodeOf(const ItemData *item) const
{
    for (const QModelIndex &node : itemNodes()) {
        if (TvItemModel::itemAt(node) == item)
            return node;
    }
    return QModelIndex();
}

ItemData *Widget::storeDataItem() const
{
    return itemStore ? itemStore->storeItem() : nullptr;
}

void Widget::newItem(QString name, ItemData::DataType type)
{
    if (name.isEmpty())
        return;
    stopMeasuring();
    const QModelIndex index = nodeOf(itemStore->addItem(name, type));
    itemSetToActive(index);
    ui->tvItems->setCurrentIndex(index);
    slotCurrentRowChanged(index, QModelIndex());
}

void Widget::itemSetToActive(QModelIndex index)
{
    if (!index.isValid() || (liveGroup && index == liveGroup->index()))
        return;
    ItemData *item = TvItemModel::itemAt(index);
    if (!item || item == currentItem)
        return;
    itemStore->setActive(item);
}

void Widget::slotActiveItemChanged(ItemData *item)
{
    currentItem = item;
    dataModel->setItem(currentItem);
    if (!currentItem)
        return;

    for (const QModelIndex &node : itemNodes())
        itemModel->setData(node, false, TvItemModel::ActiveRole);
    itemModel->setData(nodeOf(currentItem), true, TvItemModel::ActiveRole);

    stopMeasuring();
    if (currentItem == storeDataItem())
        ui->actionStart->setEnabled(false);
    refreshActiveItem();
}

void Widget::slotItemAdded(ItemData *item)
{
    liveGroup->appendRow(newNode(measureIcon, item->name(), item));
}

void Widget::slotItemAboutToBeRemoved(ItemData *item)
{
    const QModelIndex node = nodeOf(item);
    if (node.isValid())
        itemModel->removeRow(node.row(), node.parent());
}

void Widget::slotItemRenamed(ItemData *item)
{
    Q_UNUSED(item)
    ui->tvItems->viewport()->update();
}

void Widget::slotKeepingStopped(const QString &reason)
{
    markNotKept();
    showStoreMessage(reason);
}

void Widget::markNotKept()
{
    if (!windowTitle().endsWith(notKeptTitle()))
        setWindowTitle(windowTitle() + notKeptTitle());
}

QString Widget::notKeptTitle() const
{
    return tr("- measurements are not being kept");
}

void Widget::showStoreMessage(const QString &text)
{
    slotMessage(text);
    ui->listWidget->show();
}

void Widget::on_actionItemNew_triggered()
{
    const QString proposal = QStringLiteral("Measure%1").arg(countItemsNamedWith(QStringLiteral("Measure")) + 1);
    const QString name = QInputDialog::getText(this, QString(), QStringLiteral("Name:"), QLineEdit::Normal, proposal)
                             .trimmed();
    if (!name.isEmpty())
        newItem(name, ItemData::Measure);
}

void Widget::on_actionItemDelete_triggered()
{
    const QModelIndex index = ui->tvItems->currentIndex();
    // The two groups are never deleted: removing "Live Data" would take its
    // items with it.
    if (!index.isValid() || !index.parent().isValid())
        return;
    if (QMessageBox::question(this, QString(), tr("Are you sure delete this item?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;

    ItemData *item = TvItemModel::itemAt(index);
    const bool wasActive = item && item == currentItem;
    if (wasActive) {
        // The views refer to the readings about to be deleted.
        dataModel->clear();
        histogram->clear();
        ui->chart->clear();
    }
    // The store takes the node away and, for the active item, leaves none active.
    itemStore->removeItem(item);

    // Deleting another item leaves the active one, its views and its mark.
    if (wasActive) {
        itemSetToActive(ui->tvItems->currentIndex());
        // Nothing took its place: nothing is recorded, nothing is shown.
        if (!currentItem) {
            stopMeasuring();
            resetDisplayLabels();
        }
    }
}

void Widget::on_actionItemRename_triggered()
{
    const QModelIndex index = ui->tvItems->currentIndex();
    if (!index.isValid() || (!index.parent().isValid() && index.row() == 0))
        return;
    const QString name = QInputDialog::getText(this, QString(), QStringLiteral("New name:"), QLineEdit::Normal,
                                               index.data(Qt::DisplayRole).toString())
                             .trimmed();
    if (name.isEmpty())
        return;
    itemStore->renameItem(TvItemModel::itemAt(index), name);
    stopMeasuring();
}

void Widget::on_actionItemSetToActive_triggered()
{
    itemSetToActive(ui->tvItems->currentIndex());
}

void Widget::on_tvItems_activated(QModelIndex index)
{
    itemSetToActive(index);
}

QList<QAction *> Widget::itemActionsFor(const QModelIndex &index) const
{
    if (index.parent().isValid())
        return {ui->actionItemSetToActive, ui->actionItemRename, ui->actionItemNew, ui->actionItemDelete,
                ui->actionItemLimits, ui->actionItemDetails};
    if (index.row() == 0)
        return {ui->actionItemSetToActive, ui->actionItemDownload};
    if (index.row() == 1)
        return {ui->actionItemNew};
    return {};
}

void Widget::slotCurrentRowChanged(QModelIndex current, QModelIndex previous)
{
    Q_UNUSED(previous)
    if (!current.isValid())
        return;
    ui->itemToolBar->clear();
    ui->itemToolBar->addActions(itemActionsFor(current));
}

void Widget::slotItemModeleditDataChanged(QModelIndex index)
{
    if (index.row() != 0)
        qDebug() << "slotItemModeleditDataChanged " << index.data(Qt::DisplayRole);
}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu) {
        if (watched == ui->tv)
            return false;
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (watched == ui->listWidget) {
            QMenu menu(this);
            menu.addAction(ui->actionClearMsg);
            menu.exec(menuEvent->globalPos());
        } else if (watched == ui->tvItems) {
            // The menu follows the current node, not the one under the mouse.
            const QModelIndex current = ui->tvItems->currentIndex();
            if (current.isValid()) {
                auto *menu = new QMenu(this);
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->addActions(itemActionsFor(current));
                menu->exec(menuEvent->globalPos());
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
