#include "app/widget.h"
#include "ui_widget.h"

#include "charts/dmmchart.h"
#include "data/dlglimits.h"
#include "data/itemstore.h"
#include "data/itemdata.h"
#include "data/itemsummary.h"
#include "data/statisticsview.h"
#include "data/tvitemmodel.h"

#include <QTimer>

void Widget::initStatisticsTab()
{
    ui->tabWidget->setTabIcon(ui->tabWidget->indexOf(ui->tabStatistics),
                              QIcon(QStringLiteral(":/image/statistics.png")));
    statisticsTimer = new QTimer(this);
    statisticsTimer->setSingleShot(true);
    statisticsTimer->setInterval(0);
    connect(statisticsTimer, &QTimer::timeout, this, &Widget::refreshStatisticsTab);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &Widget::itemFiguresChanged);
    // A deleted item may have been the active one: look again once the
    // delete command is done with it.
    connect(itemModel, &QAbstractItemModel::rowsRemoved, this, &Widget::itemFiguresChanged,
            Qt::QueuedConnection);
}

void Widget::itemFiguresChanged()
{
    const ItemLimits limits = currentItem ? currentItem->limits() : ItemLimits();
    // The chart plots in the item's unit.
    const bool micrometres = currentItem && currentItem->unit() == QLatin1String("um");
    ui->chart->setLimitLines(limitInUnit(limits.nominal, micrometres), limitInUnit(limits.minimum, micrometres),
                             limitInUnit(limits.maximum, micrometres));
    if (statisticsTimer && ui->tabWidget->currentWidget() == ui->tabStatistics && !statisticsTimer->isActive())
        statisticsTimer->start();
}

void Widget::refreshStatisticsTab()
{
    if (currentItem) {
        ui->statisticsView->showSummary(summarizeItem(*currentItem));
        ui->statisticsView->showDetails(detailLines(currentItem->details()));
    } else
        ui->statisticsView->clear();
}

void Widget::on_actionItemLimits_triggered()
{
    const QModelIndex index = ui->tvItems->currentIndex();
    ItemData *item = index.parent().isValid() ? TvItemModel::itemAt(index) : nullptr;
    if (!item || (item->type() != ItemData::Measure && item->type() != ItemData::Import))
        return;
    dlgLimits dialog(this);
    dialog.setLimits(item->limits(), item->statisticsInMicrometres());
    if (dialog.exec() != QDialog::Accepted)
        return;
    itemStore->setLimits(item, dialog.limits());
    if (item == currentItem)
        itemFiguresChanged();
}
