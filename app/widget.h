#pragma once

#include "data/itemdata.h"
#include "device/pluginscan.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <QString>

#include <functional>

class QPixmap;
class QProgressDialog;
class QStandardItem;
class QTimer;
class DmmData;
class DataModel;
class TvItemModel;
class ItemStore;
class MeasurementDatabase;
class GaugeLink;
class Histogram;
struct BinRange;
struct PdfColumn;

namespace Ui {
class Widget;
}

// The application's single window: form, items tree, readings table,
// histogram and chart, and the handlers of every command. The gauge's link
// is a GaugeLink the window forwards to and follows.
// Its members are defined in the files of the subsystem they belong to.
class Widget : public QMainWindow
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    // Keeps the items in the database (when it is open) and starts with
    // the items it holds. The database outlives the window.
    explicit Widget(MeasurementDatabase *measurements, QWidget *parent = nullptr);
    ~Widget() override;

    // Items tree (data/widget_items.cpp).
    Q_INVOKABLE void newItem(QString name, ItemData::DataType type);
    Q_INVOKABLE void itemSetToActive(QModelIndex index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void slotMessage(QString text);

private slots:
    void on_actionClearMsg_triggered();
    void on_actionManual_triggered();

    // Connection, acquisition and download, forwarded to the gauge's link
    // (app/widget_gauge.cpp).
    void slotAction();
    void slotDmmOpened();
    void slotDmmClosed();
    void slotUSBRefreshed();
    void on_actionStart_triggered();
    void on_actionStop_triggered();
    void on_actionItemDownload_triggered();
    void slotDownloadStarted();
    void slotStoreGroupUpdate(int total, int position);
    void slotDownloadRefused();
    void slotDownloadProgressCanceled();

    // Items tree commands (data/widget_items.cpp).
    void on_actionItemNew_triggered();
    void on_actionItemDelete_triggered();
    void on_actionItemRename_triggered();
    void on_actionItemSetToActive_triggered();
    void on_tvItems_activated(QModelIndex index);
    void slotCurrentRowChanged(QModelIndex current, QModelIndex previous);
    void slotItemModeleditDataChanged(QModelIndex index);

    // What the item store announces (data/widget_items.cpp, data/widget_intake.cpp).
    void slotItemAdded(ItemData *item);
    void slotItemAboutToBeRemoved(ItemData *item);
    void slotItemRenamed(ItemData *item);
    void slotActiveItemChanged(ItemData *item);
    void slotReadingAppended(ItemData *item, DmmData *data);
    void slotReadingsAppended(ItemData *item, const QList<DmmData *> &datas);
    void slotReadingsReplaced(ItemData *item);
    void slotUnitChanged(ItemData *item);
    void slotKeepingStopped(const QString &reason);
    // Limits, verdict and the Statistics tab (data/widget_acceptance.cpp).
    void on_actionItemLimits_triggered();
    void on_actionItemDetails_triggered();

    // Data exchange (exchange/widget_*.cpp).
    void on_actionExport_triggered();
    void on_actionImport_triggered();

private:
    // Construction steps.
    void initObj();
    void initWidget();
    void initSelf();
    void initConnec();

    // Settings file (app/widget_settings.cpp).
    void saveSettings();
    void restoreSettings();

    // The gauge's link, bound to the item store once there is one.
    void createGaugeLink();
    void stopMeasuring();
    void runOptionsDialog();
    ItemData *storeDataItem() const;

    // Items tree and intake helpers.
    void buildItemsTree();
    // The node that carries item, or an invalid index.
    QModelIndex nodeOf(const ItemData *item) const;
    // A line about the measurement file in the message list, which shows.
    void showStoreMessage(const QString &text);
    // The title's ending while measurements are not being kept.
    QString notKeptTitle() const;
    // Gives the title that ending, once.
    void markNotKept();
    void deleteAllItems();
    QList<QAction *> itemActionsFor(const QModelIndex &index) const;
    // Every top-level node and every direct child of one, in tree order.
    QModelIndexList itemNodes() const;
    // How many of those nodes carry an item whose name starts with prefix.
    int countItemsNamedWith(const QString &prefix) const;
    void refreshActiveItem();
    // The table, histogram and chart of the active item, in its unit,
    // whether or not measuring is on.
    void rebuildActiveViews();
    void updateStatisticsLabels();
    // The axis titles and the unit label for the active item's unit.
    void showUnit(bool micrometres);
    // The labels and titles as the window opens, for when no item is active.
    void resetDisplayLabels();
    // The active item's figures or limits changed: the chart's limit lines
    // follow at once, the Statistics tab when it is shown.
    void itemFiguresChanged();
    void initStatisticsTab();
    void refreshStatisticsTab();
    // The value-axis title: "Thickness(μm)" or "Thickness(mil)".
    QString thicknessTitle(bool micrometres) const;

    // Data exchange helpers.
    void waitMsec(int ms);
    void exportExcel();
    void importExcel();
    void exportPdf(const QString &sceneFileName);
    // The summary of every item that has readings (exchange/widget_report.cpp).
    void exportSummary();
    void paintAllViews();
    void exportPicture(const std::function<QPixmap()> &picture, const QString &caption);
    void showExportFailure(const QString &reason);
    QString nextImportName() const;

    Ui::Widget *ui = nullptr;
    DevicePlugins devicePlugins;
    GaugeLink *gaugeLink = nullptr;
    ItemData *currentItem = nullptr;
    DataModel *dataModel = nullptr;
    QIcon measureIcon;
    TvItemModel *itemModel = nullptr;
    Histogram *histogram = nullptr;
    QStandardItem *storeGroup = nullptr;
    QStandardItem *liveGroup = nullptr;
    QList<PdfColumn *> pdfColumns;
    QString sceneFileName;
    QPointer<QProgressDialog> progressDialog;
    bool downloadCanceled = false;
    QString language;

    // Beyond the classic members: the histogram's value ranges in
    // micrometres and in mils (the window owns them), and whether the
    // settings were restored at the first show.
    QList<BinRange *> binRanges;
    QList<BinRange *> milBinRanges;
    bool settingsRestored = false;
    // The items (the window's tree and views follow its signals) and the
    // database that keeps them, when there is one.
    ItemStore *itemStore = nullptr;
    MeasurementDatabase *database = nullptr;
    // Gathers the changes of one turn of the event loop into one refresh of
    // the Statistics tab.
    QTimer *statisticsTimer = nullptr;

    friend class WidgetTestAccess;
};
