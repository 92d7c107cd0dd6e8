#include "views/activeitemview.h"

#include "charts/binrange.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "views/readingsview.h"
#include "views/statisticsview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// A frame of the views: readings arriving faster are shown together.
constexpr int FrameMs = 16;
// Values handed to the histogram and chart at a time.
constexpr int ValueBatch = 8192;
// Values the views take in one turn of the event loop: a million-reading
// item is taken in over a few turns, so the window keeps answering.
constexpr int ValuesPerTurn = 131072;

QString unitLabel(Unit unit)
{
    return unit == Unit::Micrometre ? micrometreSymbol() : unitName(unit);
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
    , m_frameTimer(new QTimer(this))
{
    setUpWidgets();

    m_frameTimer->setSingleShot(true);
    connect(m_frameTimer, &QTimer::timeout, this, &ActiveItemView::showArrived);

    m_statisticsTimer->setSingleShot(true);
    m_statisticsTimer->setInterval(0);
    connect(m_statisticsTimer, &QTimer::timeout, this, &ActiveItemView::refreshStatisticsTab);
    connect(m_widgets.tabs, &QTabWidget::currentChanged, this, &ActiveItemView::figuresChanged);

    connect(store, &ItemStore::activeItemChanged, this, &ActiveItemView::onActiveItemChanged);
    connect(store, &ItemStore::itemAboutToBeRemoved, this, &ActiveItemView::onItemAboutToBeRemoved);
    connect(store, &ItemStore::readingsAppended, this, &ActiveItemView::onReadingsAppended);
    // The views hold values in the unit they were built in: a reading in
    // another unit must not land among them.
    connect(store, &ItemStore::readingsReplaced, this, &ActiveItemView::onItemChanged);
    connect(store, &ItemStore::readingsCleared, this, &ActiveItemView::onItemChanged);
    connect(store, &ItemStore::unitChanged, this, &ActiveItemView::onItemChanged);
    connect(store, &ItemStore::statisticsChanged, this, &ActiveItemView::onStatisticsChanged);
    connect(store, &ItemStore::limitsChanged, this, &ActiveItemView::onFiguresChanged);
    connect(store, &ItemStore::detailsChanged, this, &ActiveItemView::onFiguresChanged);
}

ItemData *ActiveItemView::item() const
{
    return m_store->activeItem();
}

ActiveItemView::~ActiveItemView()
{
    // The table and the chart's texts refer to the item's readings.
    m_readings->clear();
    m_readings->setItem(nullptr);
    m_widgets.chart->setTexts(nullptr, nullptr, 0);
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
    // Each tab found by the view it shows, wherever the form puts it.
    auto tabOf = [tabs](QWidget *view) {
        for (QWidget *w = view; w; w = w->parentWidget()) {
            const int index = tabs->indexOf(w);
            if (index >= 0)
                return index;
        }
        return -1;
    };
    const int tableTab = tabOf(m_widgets.table);
    const int histogramTab = tabOf(m_widgets.histogram);
    const int chartTab = tabOf(m_widgets.chart);
    tabs->setTabText(tableTab, tr("Table"));
    tabs->setTabText(histogramTab, tr("Histogram"));
    tabs->setTabText(chartTab, tr("Chart"));
    tabs->setTabIcon(tableTab, QIcon(QStringLiteral(":/image/table.png")));
    tabs->setTabIcon(histogramTab, QIcon(QStringLiteral(":/image/item.png")));
    tabs->setTabIcon(chartTab, QIcon(QStringLiteral(":/image/chart.png")));
    tabs->setTabIcon(tabOf(m_widgets.statisticsTab), QIcon(QStringLiteral(":/image/statistics.png")));

    // The chart keeps the values; their times and read-out tags are read
    // from the item when shown: "value text, unit, basis".
    m_widgets.chart->setTexts(
        [this](int i) {
            const ItemData *shown = item();
            return shown && i < shown->count() ? shown->readings().at(i).timeOfDayText() : QString();
        },
        [this](int i) {
            const ItemData *shown = item();
            if (!shown || i >= shown->count())
                return QString();
            // The unit is the one the value is shown in, as the gauge
            // wrote it when the reading was taken in it.
            const ReadingSeries &r = shown->readings();
            const Unit unit = shown->unit();
            const QString unitText = r.unit(i) == unit ? r.unitText(i) : unitName(unit);
            return QStringLiteral("%1%2 %3").arg(r.textIn(i, unit), unitText, r.basis(i));
        },
        0);
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

HistogramSettings ActiveItemView::histogramSettings() const
{
    return m_widgets.histogram->canvas().settings();
}

QSize ActiveItemView::histogramSize() const
{
    return m_widgets.histogram->size();
}

ChartSettings ActiveItemView::chartSettings() const
{
    return m_widgets.chart->canvas().settings();
}

QSize ActiveItemView::chartSize() const
{
    return m_widgets.chart->size();
}

void ActiveItemView::onActiveItemChanged(ItemData *item)
{
    m_readings->clear();
    m_readings->setItem(item);
    m_shown = 0;
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
    m_shown = 0;
}

void ActiveItemView::onReadingsAppended(ItemData *item)
{
    if (item == this->item())
        scheduleFrame();
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

void ActiveItemView::onStatisticsChanged(ItemData *item)
{
    if (item == this->item())
        updateStatisticsLabels();
}

void ActiveItemView::scheduleFrame()
{
    if (m_frameTimer->isActive())
        return;
    const qint64 since = m_lastFrame.isValid() ? m_lastFrame.elapsed() : FrameMs;
    m_frameTimer->start(int(std::max<qint64>(0, FrameMs - since)));
}

void ActiveItemView::showArrived()
{
    catchUp(true);
}

void ActiveItemView::catchUp(bool arrived)
{
    m_frameTimer->stop();
    m_lastFrame.start();
    ItemData *item = this->item();
    if (!item)
        return;
    const ReadingSeries &readings = item->readings();
    const int total = m_store->shownCount(item);
    if (total <= m_shown) {
        updateStatisticsLabels();
        return;
    }
    const Unit unit = item->unit();
    const int end = std::min(total, m_shown + ValuesPerTurn);
    m_readings->showRows(end);
    m_widgets.table->scrollToBottom();
    std::vector<double> values;
    values.reserve(std::size_t(std::min(end - m_shown, ValueBatch)));
    for (int first = m_shown; first < end; first += ValueBatch) {
        const int n = std::min(ValueBatch, end - first);
        values.clear();
        readings.appendValuesIn(first, n, unit, values);
        m_widgets.histogram->addValues(values.data(), n);
        m_widgets.chart->addValues(values.data(), n, 0);
    }
    m_shown = end;
    if (end < total) {
        // The rest in the next turns; the labels wait for the last one.
        m_frameTimer->start(0);
        return;
    }

    // A live reading shows on the labels too; a rebuild leaves them.
    if (arrived && item->type() == ItemData::Measure) {
        m_widgets.value->setText(readings.textIn(total - 1, unit));
        m_widgets.basis->setText(readings.basis(total - 1));
        m_widgets.unit->setText(unitLabel(unit));
    }
    updateStatisticsLabels();
}

void ActiveItemView::refresh()
{
    ItemData *item = this->item();
    if (!item)
        return;

    const bool micrometres = item->isMicrometre();
    const int decimals = micrometres ? 1 : 2;
    showUnit(micrometres);

    m_readings->clear();
    m_readings->setItem(item);
    Histogram *histogram = m_widgets.histogram;
    histogram->setRanges(micrometres ? m_binRanges : m_milBinRanges);
    histogram->setDecimals(decimals);
    m_widgets.chart->clear();
    m_widgets.chart->setDecimals(decimals);
    m_shown = 0;
    catchUp(false);
}

void ActiveItemView::showUnit(bool micrometres)
{
    const QString title = thicknessTitle(micrometres);
    m_widgets.histogram->setYTitle(title);
    m_widgets.chart->setYTitle(title);
    m_widgets.unit->setText(unitLabel(micrometres ? Unit::Micrometre : item()->unit()));
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
    const bool micrometres = item && item->isMicrometre();
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

