#include "app/widget.h"
#include "ui_widget.h"

#include "app/optiondialog.h"
#include "app/resourcelookup.h"
#include "views/activeitemview.h"
#include "device/dmmdata.h"
#include "views/itemscontroller.h"
#include "data/itemstore.h"
#include "data/keeperthread.h"
#include "data/measurementdatabase.h"
#include "views/gaugecontrols.h"
#include "views/tvitemmodel.h"
#include "device/gaugelink.h"
#include "views/exchangecontroller.h"
#include "team/teamcache.h"
#include "team/teamcachereader.h"
#include "team/teamcontroller.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QUrl>

Widget::Widget(QWidget *parent)
    : Widget(nullptr, parent)
{
}

Widget::Widget(MeasurementDatabase *measurements, QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Widget)
    , database(measurements)
{
    Q_INIT_RESOURCE(resources);
    Reading::registerMetaTypes();

    ui->setupUi(this);
    setWindowTitle(QStringLiteral("%1 v%2 ").arg(QStringLiteral("VK508M"), QStringLiteral(VK_VERSION)));
    resize(1000, 600);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
    }
    setStyleSheet(QStringLiteral(
        "QProgressBar {border-radius: 0px;text-align: center;border: 1px solid #636363;color: #ffffff;}"
        "QProgressBar::chunk {width: 10px; margin: 0.5px;background-color: #4D4D4D;}"));
    ui->listWidget->hide();

    if (!scanDevicePlugins(QCoreApplication::applicationDirPath(), devicePlugins))
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);

    createControllers();
    buildMenus();
    connectCommands();
    startTeam();

    if (database) {
        if (!itemStore->isKept())
            markNotKept();
        if (!database->problem().isEmpty())
            showStoreMessage(database->problem());
        if (!database->notice().isEmpty())
            showStoreMessage(database->notice());
    }
}

Widget::~Widget()
{
    gaugeLink->close();
    // A running sync ends before the measurements file closes.
    delete team;
    // The controllers refer to the store and its items, which go last.
    delete exchange;
    delete gaugeControls;
    delete gaugeLink;
    delete activeView;
    delete items;
    // What arrived last goes to the keeper, which keeps it before it ends.
    delete itemStore;
    delete teamReader;
    delete keeper;
    delete ui;
}

void Widget::createControllers()
{
    itemStore = new ItemStore(tr("Store Data"), tr("Live Data"), this);
    // Connected first: restoring may already find the file failing.
    connect(itemStore, &ItemStore::keepingStopped, this, [this](const QString &reason) {
        markNotKept();
        showStoreMessage(reason);
    });
    ItemData *wasActive = nullptr;
    if (database && database->isOpen()) {
        // The file is kept on a thread of its own: the window never waits for it.
        keeper = new KeeperThread(database, this);
        connect(keeper, &KeeperThread::failed, itemStore, &ItemStore::stopKeeping);
        wasActive = itemStore->restore(keeper);
    }

    gaugeLink = new GaugeLink(devicePlugins, itemStore, this);
    gaugeControls = new GaugeControls(gaugeLink, itemStore,
                                      GaugeActions{ui->actionConnect, ui->actionDisconnect, ui->actionStart,
                                                   ui->actionStop},
                                      this, this);
    activeView = new ActiveItemView(itemStore,
                                    {ui->tabWidget, ui->tv, ui->Histogram1, ui->chart, ui->tabStatistics,
                                     ui->statisticsView, ui->lcdValue, ui->lcdBasis, ui->lcdUnit, ui->lcdNum,
                                     ui->lcdAvg, ui->lcdMin, ui->lcdMax},
                                    this);
    items = new ItemsController(itemStore, ui->tvItems, this);
    exchange = new ExchangeController(itemStore, items, activeView, this, this);

    connect(items, &ItemsController::measuringMustStop, gaugeControls, &GaugeControls::stopMeasuring);
    // While long work runs, a second import or export waits for it, and
    // the item it reads is not deleted.
    items->setBusyItems([this](const ItemData *item) { return exchange->isBusyWith(item); });
    connect(exchange, &ExchangeController::busyChanged, this, [this](bool busy) {
        ui->actionImport->setEnabled(!busy);
        ui->actionExport->setEnabled(!busy);
    });
    connect(items, &ItemsController::nothingActive, activeView, &ActiveItemView::resetLabels);
    connect(items, &ItemsController::currentNodeChanged, this, [this](const QModelIndex &current) {
        // A team item is read-only here: what would change it is off.
        const bool readOnly = ItemStore::isTeamItem(TvItemModel::itemAt(current));
        for (QAction *change :
             {ui->actionItemRename, ui->actionItemDelete, ui->actionItemLimits, ui->actionItemDetails})
            change->setEnabled(!readOnly);
        ui->itemToolBar->clear();
        ui->itemToolBar->addActions(itemActionsFor(current));
    });
    connect(itemStore, &ItemStore::teamProblem, this, &Widget::showStoreMessage);
    connect(gaugeLink, &GaugeLink::message, this, &Widget::slotMessage);
    items->activateFirst(wasActive);
}

void Widget::buildMenus()
{
    ui->tvItems->installEventFilter(this);
    ui->tv->installEventFilter(this);
    ui->listWidget->installEventFilter(this);

    QMenu *fileMenu = new QMenu(tr("&File"), ui->menuBar);
    fileMenu->addActions({ui->actionConnect, ui->actionDisconnect, ui->actionStart, ui->actionStop});
    fileMenu->addSeparator();
    fileMenu->addActions({ui->actionImport, ui->actionExport});
    fileMenu->addSeparator();
    fileMenu->addAction(ui->actionTeamSync);
    fileMenu->addSeparator();
    fileMenu->addActions({ui->actionOption, ui->actionClose});
    QMenu *helpMenu = new QMenu(tr("&Help"), ui->menuBar);
    helpMenu->addAction(ui->actionManual);
    ui->menuBar->addMenu(fileMenu);
    ui->menuBar->addMenu(helpMenu);
    // Shown while a team database is set (startTeam).
    ui->statusBar->addPermanentWidget(ui->lblTeamState);

    // Pushes Close to the right end of the main tool bar.
    auto *spacer = new QWidget(ui->mainToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui->mainToolBar->insertWidget(ui->actionClose, spacer);
}

void Widget::connectCommands()
{
    connect(ui->actionOption, &QAction::triggered, this, [this] {
        const OptionDialog::TeamChange change =
            OptionDialog::edit(this, &language, devicePlugins.gaugeChoice != nullptr);
        if (!change.password.isEmpty())
            teamPassword = change.password;
        if (change.settings)
            startTeam();
        else if (team && !change.password.isEmpty())
            team->setPassword(teamPassword);
    });
    connect(ui->actionTeamSync, &QAction::triggered, this, [this] {
        if (team)
            team->syncNow();
    });
    // Any change of this installation's items: a sync follows once changes
    // pause. The team's items change only by a sync.
    auto noteChange = [this](ItemData *item) {
        if (team && !ItemStore::isTeamItem(item))
            team->noteLocalChange();
    };
    for (auto changed : {&ItemStore::itemAdded, &ItemStore::itemAboutToBeRemoved, &ItemStore::itemRenamed,
                         &ItemStore::unitChanged, &ItemStore::limitsChanged, &ItemStore::detailsChanged,
                         &ItemStore::readingsCleared, &ItemStore::readingsReplaced, &ItemStore::statisticsChanged})
        connect(itemStore, changed, this, noteChange);
    connect(itemStore, &ItemStore::readingsAppended, this, noteChange);
    connect(ui->actionClose, &QAction::triggered, this, &Widget::close);
    connect(ui->actionManual, &QAction::triggered, this, &Widget::openManual);
    connect(ui->actionClearMsg, &QAction::triggered, ui->listWidget, &QListWidget::clear);

    connect(ui->actionItemDownload, &QAction::triggered, this, &Widget::downloadStore);
    connect(ui->actionItemNew, &QAction::triggered, items, &ItemsController::askNewItem);
    connect(ui->actionItemDelete, &QAction::triggered, items, &ItemsController::deleteCurrent);
    connect(ui->actionItemRename, &QAction::triggered, items, &ItemsController::renameCurrent);
    connect(ui->actionItemLimits, &QAction::triggered, items, &ItemsController::editLimitsOfCurrent);
    connect(ui->actionItemDetails, &QAction::triggered, items, &ItemsController::editDetailsOfCurrent);
    connect(ui->actionItemSetToActive, &QAction::triggered, this,
            [this] { items->setToActive(ui->tvItems->currentIndex()); });

    connect(ui->actionExport, &QAction::triggered, exchange, &ExchangeController::exportChosen);
    connect(ui->actionImport, &QAction::triggered, exchange, &ExchangeController::importReadings);
}

void Widget::newItem(QString name, ItemData::DataType type)
{
    items->newItem(name, type);
}

void Widget::itemSetToActive(QModelIndex index)
{
    items->setToActive(index);
}

void Widget::downloadStore()
{
    if (!gaugeLink->canDownload())
        return;
    if (ItemData *active = itemStore->activeItem())
        itemStore->switchUnit(active, Unit::Micrometre);
    // "Store Data" keeps what the last download left, on screen and in the
    // measurement file, until this one has arrived in full. The views
    // follow the store.
    items->activateStoreData();
    gaugeLink->startDownload();
}

void Widget::slotMessage(QString text)
{
    ui->listWidget->addItem(text);
    ui->listWidget->scrollToBottom();
}

void Widget::showStoreMessage(const QString &text)
{
    slotMessage(text);
    ui->listWidget->show();
}

QString Widget::notKeptTitle() const
{
    return tr("- measurements are not being kept");
}

void Widget::markNotKept()
{
    if (!windowTitle().endsWith(notKeptTitle()))
        setWindowTitle(windowTitle() + notKeptTitle());
}

void Widget::startTeam()
{
    delete team;
    team = nullptr;
    ui->lblTeamState->clear();
    const TeamSettings settings = TeamSettings::load(TeamSettings::defaultPath());
    ui->actionTeamSync->setEnabled(settings.isUsable());
    ui->lblTeamState->setVisible(settings.isUsable());
    if (!settings.isUsable()) {
        // Without a team the tree is as it always was.
        itemStore->setTeamSource(nullptr);
        delete teamReader;
        teamReader = nullptr;
        return;
    }
    // Sent from the measurements file (read also while another copy of the
    // program keeps it); the team's items are kept beside it.
    const QString measurements = database ? database->path() : QString();
    const QString cache = database ? QFileInfo(database->path()).dir().filePath(QStringLiteral("team.sqlite"))
                                   : TeamCache::defaultPath();
    team = new TeamController(settings, measurements, cache, this);
    team->setPassword(teamPassword);
    connect(team, &TeamController::stateChanged, ui->lblTeamState, &QLabel::setText);
    connect(team, &TeamController::passwordNeeded, this, &Widget::askTeamPassword);
    // A pull that failed halfway left the cache, and so the Team group, as it was.
    connect(team, &TeamController::synced, this, [this](const TeamSyncReport &report) {
        if (report.pulled && (!report.changed.isEmpty() || !report.dropped.isEmpty()))
            itemStore->refreshTeam(report.changed);
    });
    if (!teamReader) {
        teamReader = new TeamCacheReader(cache, this);
        itemStore->setTeamSource(teamReader);
    }
}

void Widget::askTeamPassword()
{
    const TeamSettings &settings = team->settings();
    bool ok = false;
    const QString password = QInputDialog::getText(
        this, tr("Team database"),
        tr("Password of %1 for the team database %2 on %3 (kept until the program ends):")
            .arg(settings.user, settings.database, settings.host),
        QLineEdit::Password, QString(), &ok);
    if (!ok || password.isEmpty() || !team)
        return;
    teamPassword = password;
    team->setPassword(password);
    team->syncNow();
}

void Widget::openManual()
{
    // Looked up in the working directory, then beside the executable; a
    // missing document or viewer is not reported.
    const QString manual = locateProgramFile(QStringLiteral("Software User Manual.pdf"), programFileFolders());
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

QList<QAction *> Widget::itemActionsFor(const QModelIndex &index) const
{
    switch (items->nodeAt(index)) {
    // Shown, and off but for activation (see currentNodeChanged).
    case ItemsController::Node::TeamItem:
        return {ui->actionItemSetToActive, ui->actionItemRename, ui->actionItemDelete, ui->actionItemLimits,
                ui->actionItemDetails};
    case ItemsController::Node::TeamGroup:
        return {ui->actionTeamSync};
    case ItemsController::Node::Inspector:
        return {};
    case ItemsController::Node::Item:
        return {ui->actionItemSetToActive, ui->actionItemRename, ui->actionItemNew, ui->actionItemDelete,
                ui->actionItemLimits, ui->actionItemDetails};
    case ItemsController::Node::StoreGroup:
        return {ui->actionItemSetToActive, ui->actionItemDownload};
    case ItemsController::Node::LiveGroup:
        return {ui->actionItemNew};
    case ItemsController::Node::None:
        break;
    }
    return {};
}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && watched != ui->tv) {
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

void Widget::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Only the first show restores: a later one (un-minimising) would throw
    // away a language or scene picture chosen since start-up.
    if (!settingsRestored) {
        settingsRestored = true;
        restoreSettings();
    }
}

void Widget::closeEvent(QCloseEvent *event)
{
    // Long work is stopped only when the user says so.
    if (exchange->isBusy()) {
        if (QMessageBox::question(this, QString(), tr("Long work is running. Cancel it and close?"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        exchange->cancelAndWait();
    }
    gaugeLink->close();
    saveSettings();
    QMainWindow::closeEvent(event);
}
