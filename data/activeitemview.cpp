#include "data/activeitemview.h"

#include "charts/binrange.h"
#include "charts/chartpoint.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/dmmdata.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "data/readingsview.h"
#include "data/statisticsview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

namespace {

const QString Micrometre = QStringLiteral("um");

QString micrometreSymbol()
{
    return QString::fromUtf8("μm");
}

// The read-out tag of a reading: value text, unit, basis.
QVariant readingTag(const QString &text, const QString &unit, const DmmData *data)
{
    return QStringLiteral("%1%2 %3").arg(text, unit, data->basis());
}

} // namespace

ActiveItemView::ActiveItemView(ItemStore *store, const ActiveItemWidgets &widgets, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_widgets(widgets)
    , m_readings(new DataModel(this))
    , m_binRanges(standardThicknessRanges())
    , m_milBinRanges(milThicknessRanges())
    , m_statisticsTimer(new QTimer(this))
{
    setUpWidgets();

    m_statisticsTimer->setSingleShot(true);
    m_statisticsTimer->setInterval(0);
    connect(m_statisticsTimer, &QTimer::timeout, this, &ActiveItemView::refreshStatisticsTab);
    connect(m_widgets.tabs, &QTabWidget::currentChanged, this, &ActiveItemView::figuresChanged);

    connect(store, &ItemStore::activeItemChanged, this, &ActiveItemView::onActiveItemChanged);
    connect(store, &ItemStore::itemAboutToBeRemoved, this, &ActiveItemView::onItemAboutToBeRemoved);
    connect(store, &ItemStore::readingAppended, this, &ActiveItemView::onReadingAppended);
    connect(store, &ItemStore::readingsAppended, this, &ActiveItemView::onReadingsAppended);
    // The views hold values in the unit they were built in: a reading in
    // another unit must not land among them.
    connect(store, &ItemStore::readingsReplaced, this, &ActiveItemView::onItemChanged);
    connect(store, &ItemStore::unitChanged, this, &ActiveItemView::onItemChanged);
    connect(store, &ItemStore::limitsChanged, this, &ActiveItemView::onFiguresChanged);
    connect(store, &ItemStore::detailsChanged, this, &ActiveItemView::onFiguresChanged);
}

ItemData *ActiveItemView::item() const
{
    return m_store->activeItem();
}

ActiveItemView::~ActiveItemView()
{
    // The table refers to readings the items own.
    m_readings->clear();
    m_readings->setItem(nullptr);
    // The histogram only refers to its ranges and never reads them while
    // being destroyed.
    qDeleteAll(m_binRanges);
    qDeleteAll(m_milBinRanges);
}

void ActiveItemView::setUpWidgets()
{
    setupReadingsView(m_widgets.table, m_readings);

    QTabWidget *tabs = m_widgets.tabs;
    tabs->setStyleSheet(QStringLiteral("QTabBar::tab{min-width:100px}"));
    tabs->setTabText(0, tr("Table"));
    tabs->setTabText(1, tr("Histogram"));
    tabs->setTabText(2, tr("Chart"));
    tabs->setTabIcon(0, QIcon(QStringLiteral(":/image/table.png")));
    tabs->setTabIcon(1, QIcon(QStringLiteral(":/image/item.png")));
    tabs->setTabIcon(2, QIcon(QStringLiteral(":/image/chart.png")));
    tabs->setTabIcon(tabs->indexOf(m_widgets.statisticsTab), QIcon(QStringLiteral(":/image/statistics.png")));

    const QString thickness = thicknessTitle(true);
    m_widgets.chart->setLeftMargin(70);
    m_widgets.chart->setBottomMargin(50);
    m_widgets.chart->setYTitle(thickness);
    m_widgets.chart->setXTitle(tr("Time"));
    Histogram *histogram = m_widgets.histogram;
    histogram->setRanges(m_binRanges);
    histogram->setMargins(QMargins(136, 20, 20, 50));
    histogram->setYTitle(thickness);
    histogram->setXTitle(tr("Rate"));
    histogram->setMinimumSize(300, 150);
}

QPixmap ActiveItemView::histogramPicture() const
{
    return m_widgets.histogram->pixmap();
}

QPixmap ActiveItemView::chartPicture() const
{
    return m_widgets.chart->pixmap();
}

void ActiveItemView::onActiveItemChanged(ItemData *item)
{
    m_readings->setItem(item);
    if (item)
        refresh();
    else
        figuresChanged();
}

void ActiveItemView::onItemAboutToBeRemoved(ItemData *item)
{
    if (item != this->item())
        return;
    // The views refer to the readings about to be deleted.
    m_readings->clear();
    m_widgets.histogram->clear();
    m_widgets.chart->clear();
}

void ActiveItemView::onReadingAppended(ItemData *item, DmmData *data)
{
    // Only the intake appends single readings: live ones to a measurement
    // item, stored ones to "Store Data".
    if (item != this->item() || (item->type() != ItemData::Measure && item->type() != ItemData::StoreData))
        return;
    const bool live = item->type() == ItemData::Measure;

    // Stored readings are always shown in micrometres.
    const bool exactUm = !live || data->unit() == Micrometre;
    const double value = exactUm ? data->valueUm() : data->valueMil();
    const QString text = exactUm ? data->textUm() : data->textMil();

    m_readings->append(data);
    m_widgets.table->scrollToBottom();
    m_widgets.histogram->addValue(value);
    m_widgets.chart->addPoint(
        new ChartPoint(value, text, data->dateTime(), -1, -1, readingTag(text, data->unit(), data)), 0);

    if (live) {
        m_widgets.value->setText(text);
        m_widgets.basis->setText(data->basis());
        m_widgets.unit->setText(item->unit() == Micrometre ? micrometreSymbol() : item->unit());
    }
    updateStatisticsLabels();
}

void ActiveItemView::onReadingsAppended(ItemData *item, const QList<DmmData *> &datas)
{
    // A downloaded group; an import shows its item once it is complete.
    if (item != this->item() || item->type() != ItemData::StoreData)
        return;

    QList<double> values;
    QList<ChartPoint *> points;
    values.reserve(datas.size());
    points.reserve(datas.size());
    for (const DmmData *data : datas) {
        values << data->valueUm();
        points << new ChartPoint(data->valueUm(), data->textUm(), data->dateTime(), -1, -1,
                                 readingTag(data->textUm(), data->unit(), data));
    }

    m_readings->setDatas(datas);
    m_widgets.table->scrollToBottom();
    m_widgets.histogram->addValues(values);
    m_widgets.chart->addPoints(points, 0);
    updateStatisticsLabels();
}

void ActiveItemView::onItemChanged(ItemData *item)
{
    if (item == this->item())
        refresh();
}

void ActiveItemView::onFiguresChanged(ItemData *item)
{
    if (item == this->item())
        figuresChanged();
}

void ActiveItemView::refresh()
{
    ItemData *item = this->item();
    if (!item)
        return;

    const bool micrometres = item->unit() == Micrometre;
    const QList<DmmData *> datas = item->datas();
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
                                 readingTag(text, micrometres ? Micrometre : data->unit(), data));
    }
    const int decimals = micrometres ? 1 : 2;
    showUnit(micrometres);

    m_readings->clear();
    m_readings->setDatas(datas);
    m_widgets.table->scrollToBottom();

    Histogram *histogram = m_widgets.histogram;
    histogram->clear();
    histogram->setRanges(micrometres ? m_binRanges : m_milBinRanges);
    histogram->setDecimals(decimals);
    histogram->addValues(values);

    m_widgets.chart->clear();
    m_widgets.chart->setDecimals(decimals);
    m_widgets.chart->addPoints(points, 0);

    updateStatisticsLabels();
}

void ActiveItemView::showUnit(bool micrometres)
{
    const QString title = thicknessTitle(micrometres);
    m_widgets.histogram->setYTitle(title);
    m_widgets.chart->setYTitle(title);
    m_widgets.unit->setText(micrometres ? micrometreSymbol() : item()->unit());
}

void ActiveItemView::showMicrometreTitles()
{
    const QString title = thicknessTitle(true);
    m_widgets.histogram->setYTitle(title);
    m_widgets.histogram->setDecimals(1);
    m_widgets.chart->setYTitle(title);
    m_widgets.chart->setDecimals(1);
}

void ActiveItemView::resetLabels()
{
    m_widgets.value->setText(QStringLiteral("00000"));
    m_widgets.basis->setText(QStringLiteral("Fe"));
    m_widgets.unit->setText(micrometreSymbol());
    m_widgets.num->setText(tr("Num:") + QStringLiteral("0"));
    m_widgets.avg->setText(tr("Avg:") + QStringLiteral("0"));
    m_widgets.min->setText(tr("Min:") + QStringLiteral("0"));
    m_widgets.max->setText(tr("Max:") + QStringLiteral("0"));
    const QString title = thicknessTitle(true);
    m_widgets.histogram->setYTitle(title);
    m_widgets.chart->setYTitle(title);
}

QString ActiveItemView::thicknessTitle(bool micrometres)
{
    return micrometres ? QStringLiteral("%1(%2)").arg(tr("Thickness"), micrometreSymbol()) : tr("Thickness(mil)");
}

void ActiveItemView::updateStatisticsLabels()
{
    ItemData *item = this->item();
    if (!item)
        return;
    const ItemStatistics *statistics = item->statistics();
    m_widgets.num->setText(tr("Num:") + QString::number(statistics->num));
    m_widgets.avg->setText(tr("Avg:") + statistics->avg);
    m_widgets.min->setText(tr("Min:") + statistics->min);
    m_widgets.max->setText(tr("Max:") + statistics->max);
    figuresChanged();
}

void ActiveItemView::figuresChanged()
{
    ItemData *item = this->item();
    const ItemLimits limits = item ? item->limits() : ItemLimits();
    // The chart plots in the item's unit.
    const bool micrometres = item && item->unit() == Micrometre;
    m_widgets.chart->setLimitLines(limitInUnit(limits.nominal, micrometres), limitInUnit(limits.minimum, micrometres),
                                   limitInUnit(limits.maximum, micrometres));
    if (m_widgets.tabs->currentWidget() == m_widgets.statisticsTab && !m_statisticsTimer->isActive())
        m_statisticsTimer->start();
}

void ActiveItemView::refreshStatisticsTab()
{
    ItemData *item = this->item();
    if (item) {
        m_widgets.statistics->showSummary(summarizeItem(*item));
        m_widgets.statistics->showDetails(detailLines(item->details()));
    } else
        m_widgets.statistics->clear();
}

void ActiveItemView::paintAllViews()
{
    QTabWidget *tabs = m_widgets.tabs;
    const int current = tabs->currentIndex();
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        // A monotonic clock: a wait across midnight must not last a day.
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    tabs->setCurrentIndex(current);
}
