#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
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

    storeGroup = newNode(QIcon(QStringLiteral(":/image/rom.png")), tr("Store Data"),
                         new ItemData(tr("Store Data"), ItemData::StoreData));
    itemModel->appendRow(storeGroup);
    liveGroup = newNode(QIcon(QStringLiteral(":/image/live.png")), tr("Live Data"),
                        new ItemData(tr("Live Data"), ItemData::LiveData));
    itemModel->appendRow(liveGroup);
    const QString first = QStringLiteral("Measure%1").arg(1);
    liveGroup->appendRow(newNode(measureIcon, first, new ItemData(first, ItemData::Measure)));
    ui->tvItems->expandAll();

    const QModelIndex index = liveGroup->child(0)->index();
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
    for (const QModelIndex &node : itemNodes())
        delete TvItemModel::itemAt(node);
    itemModel->clear();
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

ItemData *Widget::storeDataItem() const
{
    return itemModel ? TvItemModel::itemAt(itemModel->index(0, 0)) : nullptr;
}

void Widget::newItem(QString name, ItemData::DataType type)
{
    if (name.isEmpty())
        return;
    stopMeasuring();
    QStandardItem *node = newNode(measureIcon, name, new ItemData(name, type));
    liveGroup->appendRow(node);
    const QModelIndex index = node->index();
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

    currentItem = item;
    currentItem->switchUnit(QStringLiteral("um"));
    dataModel->setItem(currentItem);

    for (const QModelIndex &node : itemNodes())
        itemModel->setData(node, false, TvItemModel::ActiveRole);
    itemModel->setData(index, true, TvItemModel::ActiveRole);

    stopMeasuring();
    if (currentItem == storeDataItem())
        ui->actionStart->setEnabled(false);
    refreshActiveItem();
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
    delete item;
    itemModel->removeRow(index.row(), index.parent());

    // Deleting another item leaves the active one, its views and its mark.
    if (wasActive) {
        currentItem = nullptr;
        dataModel->setItem(nullptr);
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
    if (ItemData *item = TvItemModel::itemAt(index))
        item->setName(name);
    ui->tvItems->viewport()->update();
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
                ui->actionItemLimits};
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
