#include "app/widget.h"
#include "ui_widget.h"

#include "charts/chartpoint.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/dmmdata.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "device/gaugelink.h"

namespace {

const QString Micrometre = QStringLiteral("um");

QString micrometreSymbol()
{
    return QString::fromUtf8("μm");
}

// The read-out tag of an arriving reading: value text, raw unit, basis.
QVariant readingTag(const QString &text, const DmmData *data)
{
    return QStringLiteral("%1%2 %3").arg(text, data->unit(), data->basis());
}

} // namespace

void Widget::slotReadingAppended(ItemData *item, DmmData *data)
{
    // Only the intake appends single readings: live ones to a measurement
    // item, stored ones to "Store Data".
    if (item != currentItem || (item->type() != ItemData::Measure && item->type() != ItemData::StoreData))
        return;
    const bool live = item->type() == ItemData::Measure;

    // Stored readings are always shown in micrometres.
    const bool exactUm = !live || data->unit() == Micrometre;
    const double value = exactUm ? data->valueUm() : data->valueMil();
    const QString text = exactUm ? data->textUm() : data->textMil();

    dataModel->append(data);
    ui->tv->scrollToBottom();
    histogram->addValue(value);
    ui->chart->addPoint(new ChartPoint(value, text, data->dateTime(), -1, -1, readingTag(text, data)), 0);

    if (live) {
        ui->lcdValue->setText(text);
        ui->lcdBasis->setText(data->basis());
        ui->lcdUnit->setText(currentItem->unit() == Micrometre ? micrometreSymbol() : currentItem->unit());
    }
    updateStatisticsLabels();
}

void Widget::slotReadingsAppended(ItemData *item, const QList<DmmData *> &datas)
{
    // A downloaded group; an import shows its item once it is complete.
    if (item != currentItem || item->type() != ItemData::StoreData)
        return;

    QList<double> values;
    QList<ChartPoint *> points;
    values.reserve(datas.size());
    points.reserve(datas.size());
    for (const DmmData *data : datas) {
        values << data->valueUm();
        points << new ChartPoint(data->valueUm(), data->textUm(), data->dateTime(), -1, -1,
                                 readingTag(data->textUm(), data));
    }

    dataModel->setDatas(datas);
    ui->tv->scrollToBottom();
    histogram->addValues(values);
    ui->chart->addPoints(points, 0);
    updateStatisticsLabels();
}

void Widget::refreshActiveItem()
{
    if (gaugeLink->isMeasuring() || !currentItem)
        return;
    rebuildActiveViews();
}

void Widget::slotReadingsReplaced(ItemData *item)
{
    if (item == currentItem)
        rebuildActiveViews();
}

void Widget::slotUnitChanged(ItemData *item)
{
    // The views hold values in the unit they were built in: a reading in
    // another unit must not land among them.
    if (item == currentItem)
        rebuildActiveViews();
}

void Widget::rebuildActiveViews()
{
    if (!currentItem)
        return;

    const bool micrometres = currentItem->unit() == Micrometre;
    const QList<DmmData *> datas = currentItem->datas();
    QList<double> values;
    QList<ChartPoint *> points;
    values.reserve(datas.size());
    points.reserve(datas.size());
    for (const DmmData *data : datas) {
        const double value = micrometres ? data->valueUm() : data->valueMil();
        const QString text = micrometres ? data->textUm() : data->textMil();
        values << value;
        // The read-out names the unit the value is shown in.
        points << new ChartPoint(value, text, data->dateTime(), -1, -1,
                                 QStringLiteral("%1%2 %3").arg(text, micrometres ? Micrometre : data->unit(),
                                                               data->basis()));
    }
    const int decimals = micrometres ? 1 : 2;
    showUnit(micrometres);

    dataModel->clear();
    dataModel->setDatas(datas);
    ui->tv->scrollToBottom();

    histogram->clear();
    histogram->setRanges(micrometres ? binRanges : milBinRanges);
    histogram->setDecimals(decimals);
    histogram->addValues(values);

    ui->chart->clear();
    ui->chart->setDecimals(decimals);
    ui->chart->addPoints(points, 0);

    updateStatisticsLabels();
}

void Widget::showUnit(bool micrometres)
{
    const QString title = thicknessTitle(micrometres);
    histogram->setYTitle(title);
    ui->chart->setYTitle(title);
    ui->lcdUnit->setText(micrometres ? micrometreSymbol() : currentItem->unit());
}

void Widget::resetDisplayLabels()
{
    ui->lcdValue->setText(QStringLiteral("00000"));
    ui->lcdBasis->setText(QStringLiteral("Fe"));
    ui->lcdUnit->setText(micrometreSymbol());
    ui->lcdNum->setText(tr("Num:") + QStringLiteral("0"));
    ui->lcdAvg->setText(tr("Avg:") + QStringLiteral("0"));
    ui->lcdMin->setText(tr("Min:") + QStringLiteral("0"));
    ui->lcdMax->setText(tr("Max:") + QStringLiteral("0"));
    const QString title = thicknessTitle(true);
    histogram->setYTitle(title);
    ui->chart->setYTitle(title);
}

QString Widget::thicknessTitle(bool micrometres) const
{
    return micrometres ? QStringLiteral("%1(%2)").arg(tr("Thickness"), micrometreSymbol()) : tr("Thickness(mil)");
}

void Widget::updateStatisticsLabels()
{
    if (!currentItem)
        return;
    const ItemStatistics *statistics = currentItem->statistics();
    ui->lcdNum->setText(tr("Num:") + QString::number(statistics->num));
    ui->lcdAvg->setText(tr("Avg:") + statistics->avg);
    ui->lcdMin->setText(tr("Min:") + statistics->min);
    ui->lcdMax->setText(tr("Max:") + statistics->max);
    itemFiguresChanged();
}
