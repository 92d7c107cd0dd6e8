#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include "charts/chartcanvas.h"
#include "charts/histogramcanvas.h"

class QLabel;
class QTableView;
class QTabWidget;
class QTimer;
class QWidget;
class DataModel;
class DMMChart;
class Histogram;
class ItemData;
class ItemStore;
class StatisticsView;
struct BinRange;

// The widgets that show the active item; they belong to the form.
struct ActiveItemWidgets
{
    QTabWidget *tabs = nullptr;
    QTableView *table = nullptr;
    Histogram *histogram = nullptr;
    DMMChart *chart = nullptr;
    QWidget *statisticsTab = nullptr;
    StatisticsView *statistics = nullptr;
    // The last reading, and the item's running figures.
    QLabel *value = nullptr;
    QLabel *basis = nullptr;
    QLabel *unit = nullptr;
    QLabel *num = nullptr;
    QLabel *avg = nullptr;
    QLabel *min = nullptr;
    QLabel *max = nullptr;
};

// Shows the store's active item: its readings in the table, histogram and
// chart, the read-out labels and the Statistics tab. It follows the store's
// signals, so every change of the item, whoever makes it, reaches the views.
// Readings that join the item are shown at most once a frame (about 60
// times a second), however fast they arrive: the views catch up with the
// item in one step.
class ActiveItemView : public QObject
{
    Q_OBJECT

public:
    // The store and the widgets outlive the view.
    ActiveItemView(ItemStore *store, const ActiveItemWidgets &widgets, QObject *parent = nullptr);
    ~ActiveItemView() override;

    // The store's active item.
    ItemData *item() const;
    // The table's model: the active item's readings as shown.
    DataModel *readings() const { return m_readings; }
    // What the histogram and the chart show and their sizes: another
    // canvas given these and the readings paints the same picture.
    HistogramSettings histogramSettings() const;
    QSize histogramSize() const;
    ChartSettings chartSettings() const;
    QSize chartSize() const;

    // The table, histogram and chart built again from the item, in its unit.
    void refresh();
    // The labels and titles as the window opens, for when no item is active.
    void resetLabels();
    // Titles and decimals in micrometres, as a download shows them.
    void showMicrometreTitles();

    // The value-axis title: "Thickness(μm)" or "Thickness(mil)".
    static QString thicknessTitle(bool micrometres);

private:
    void onActiveItemChanged(ItemData *item);
    void onItemAboutToBeRemoved(ItemData *item);
    void onReadingsAppended(ItemData *item);
    void onItemChanged(ItemData *item);
    void onStatisticsChanged(ItemData *item);
    void scheduleFrame();
    // Hands the readings that joined the item since the last frame to the
    // table, histogram and chart, and writes the labels.
    void showArrived();
    // The same; readings that arrived (not a rebuild) show on the read-out.
    void catchUp(bool arrived);
    void onFiguresChanged(ItemData *item);
    void setUpWidgets();
    void showUnit(bool micrometres);
    void updateStatisticsLabels();
    // The chart's limit lines follow at once, the Statistics tab when it is shown.
    void figuresChanged();
    void refreshStatisticsTab();

    ItemStore *m_store;
    ActiveItemWidgets m_widgets;
    DataModel *m_readings;
    // The histogram's value ranges in micrometres and in mils.
    QList<BinRange *> m_binRanges;
    QList<BinRange *> m_milBinRanges;
    // Gathers the changes of one turn of the event loop into one refresh of
    // the Statistics tab.
    QTimer *m_statisticsTimer;
    // The item's readings the views hold, and when they last caught up.
    int m_shown = 0;
    QTimer *m_frameTimer;
    QElapsedTimer m_lastFrame;
};
