#pragma once

#include "data/itemdata.h"
#include "device/pluginscan.h"

#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QString>

class QAction;
class ActiveItemView;
class ExchangeController;
class GaugeControls;
class GaugeLink;
class ItemStore;
class ItemsController;
class KeeperThread;
class MeasurementDatabase;
class TeamCacheReader;
class TeamController;

namespace Ui {
class Widget;
}

// The application's single window. It keeps the form, the menus and the
// settings, and composes the controllers that do the work: the items tree,
// the active item's views, the gauge's link and its commands, and the
// exchange of readings with files. Each of them follows the item store.
class Widget : public QMainWindow
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    // Keeps the items in the database (when it is open) and starts with
    // the items it holds. The database outlives the window.
    explicit Widget(MeasurementDatabase *measurements, QWidget *parent = nullptr);
    ~Widget() override;

    Q_INVOKABLE void newItem(QString name, ItemData::DataType type);
    Q_INVOKABLE void itemSetToActive(QModelIndex index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void slotMessage(QString text);

private:
    void createControllers();
    void buildMenus();
    void connectCommands();

    // Settings file (app/widget_settings.cpp).
    void saveSettings();
    void restoreSettings();

    // "Store Data" shows the gauge's memory once it has arrived.
    void downloadStore();
    void openManual();
    // Syncs with the team database of team.conf, when one is set, from
    // now on; a running sync of the settings before is ended first.
    void startTeam();
    void askTeamPassword();
    // The commands of the node: on the item tool bar and its context menu.
    QList<QAction *> itemActionsFor(const QModelIndex &index) const;
    // A line about the measurement file in the message list, which shows.
    void showStoreMessage(const QString &text);
    // The title's ending while measurements are not being kept.
    QString notKeptTitle() const;
    // Gives the title that ending, once.
    void markNotKept();

    Ui::Widget *ui = nullptr;
    DevicePlugins devicePlugins;
    QString language;
    // Whether the settings were restored at the first show.
    bool settingsRestored = false;
    // The items, which every controller follows, and the database that
    // keeps them, when there is one.
    ItemStore *itemStore = nullptr;
    MeasurementDatabase *database = nullptr;
    KeeperThread *keeper = nullptr;
    GaugeLink *gaugeLink = nullptr;
    GaugeControls *gaugeControls = nullptr;
    ItemsController *items = nullptr;
    ActiveItemView *activeView = nullptr;
    ExchangeController *exchange = nullptr;
    // The team database, when one is set, and its password for this session;
    // the reader of the other installations' items it brings.
    TeamController *team = nullptr;
    TeamCacheReader *teamReader = nullptr;
    QString teamPassword;

    friend class WidgetTestAccess;
};
