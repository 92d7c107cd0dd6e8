#include "app/widget.h"
#include "ui_widget.h"

#include "app/gaugeoptionswidget.h"
#include "app/optiondialog.h"
#include "app/resourcelookup.h"

#include "charts/binrange.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/datamodel.h"
#include "data/dmmdata.h"
#include "data/itemstore.h"
#include "data/measurementdatabase.h"
#include "data/readingsview.h"
#include "data/tvitemmodel.h"
#include "device/gaugelink.h"
#include "exchange/pdfcolumn.h"
#include "plugins/serialline/serialgaugesettings.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
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

    if (!scanDevicePlugins(QCoreApplication::applicationDirPath(), devicePlugins))
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);

    initObj();
    initWidget();
    initSelf();
    initConnec();

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
    // The link refers to the store, which goes first.
    delete gaugeLink;
    gaugeLink = nullptr;
    deleteAllItems();
    delete dataModel;
    qDeleteAll(pdfColumns);
    delete ui;
    // The histogram (a child, destroyed after this body) only refers to its
    // ranges and never reads them while being destroyed.
    qDeleteAll(binRanges);
    qDeleteAll(milBinRanges);
}

void Widget::initObj()
{
    dataModel = new DataModel;

    histogram = ui->Histogram1;
    histogram->setMargins(QMargins(30, 20, 20, 30));
    binRanges = standardThicknessRanges();
    milBinRanges = milThicknessRanges();
    histogram->setRanges(binRanges);

    pdfColumns << new PdfColumn{QStringLiteral("No."), 2} << new PdfColumn{QStringLiteral("Time"), 3}
               << new PdfColumn{QStringLiteral("Value"), 3} << new PdfColumn{QStringLiteral("Unit"), 2}
               << new PdfColumn{QStringLiteral("Basis"), 2};
}

void Widget::initWidget()
{
    setStyleSheet(QStringLiteral(
        "QProgressBar {border-radius: 0px;text-align: center;border: 1px solid #636363;color: #ffffff;}"
        "QProgressBar::chunk {width: 10px; margin: 0.5px;background-color: #4D4D4D;}"));

    setupReadingsView(ui->tv, dataModel);

    ui->tvItems->installEventFilter(this);
    ui->tv->installEventFilter(this);
    ui->listWidget->installEventFilter(this);

    ui->actionConnect->setEnabled(gaugePortPresent(devicePlugins));

    QMenu *fileMenu = new QMenu(tr("&File"), ui->menuBar);
    fileMenu->addAction(ui->actionConnect);
    fileMenu->addAction(ui->actionDisconnect);
    fileMenu->addAction(ui->actionStart);
    fileMenu->addAction(ui->actionStop);
    fileMenu->addSeparator();
    fileMenu->addAction(ui->actionImport);
    fileMenu->addAction(ui->actionExport);
    fileMenu->addSeparator();
    fileMenu->addAction(ui->actionOption);
    fileMenu->addAction(ui->actionClose);
    QMenu *helpMenu = new QMenu(tr("&Help"), ui->menuBar);
    helpMenu->addAction(ui->actionManual);
    ui->menuBar->addMenu(fileMenu);
    ui->menuBar->addMenu(helpMenu);

    buildItemsTree();

    ui->tabWidget->setStyleSheet(QStringLiteral("QTabBar::tab{min-width:100px}"));
    ui->tabWidget->setTabText(0, tr("Table"));
    ui->tabWidget->setTabText(1, tr("Histogram"));
    ui->tabWidget->setTabText(2, tr("Chart"));
    ui->tabWidget->setTabIcon(0, QIcon(QStringLiteral(":/image/table.png")));
    ui->tabWidget->setTabIcon(1, QIcon(QStringLiteral(":/image/item.png")));
    ui->tabWidget->setTabIcon(2, QIcon(QStringLiteral(":/image/chart.png")));

    const QString thickness = thicknessTitle(true);
    ui->chart->setLeftMargin(70);
    ui->chart->setBottomMargin(50);
    ui->chart->setYTitle(thickness);
    ui->chart->setXTitle(tr("Time"));
    histogram->setMargins(QMargins(136, 20, 20, 50));
    histogram->setYTitle(thickness);
    histogram->setXTitle(tr("Rate"));
    histogram->setMinimumSize(300, 150);

    ui->listWidget->hide();
    initStatisticsTab();

    // Pushes Close to the right end of the main tool bar.
    auto *spacer = new QWidget(ui->mainToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ui->mainToolBar->insertWidget(ui->actionClose, spacer);
}

void Widget::initSelf()
{
    setWindowTitle(QStringLiteral("%1 v%2 ").arg(QStringLiteral("VK508M"), QStringLiteral("1.10")));
    resize(1000, 600);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
    }
}

void Widget::initConnec()
{
    connect(gaugeLink, &GaugeLink::opened, this, &Widget::slotDmmOpened);
    connect(gaugeLink, &GaugeLink::closed, this, &Widget::slotDmmClosed);
    connect(gaugeLink, &GaugeLink::message, this, &Widget::slotMessage);
    connect(gaugeLink, &GaugeLink::portsRefreshed, this, &Widget::slotUSBRefreshed);
    connect(gaugeLink, &GaugeLink::downloadStarted, this, &Widget::slotDownloadStarted);
    connect(gaugeLink, &GaugeLink::downloadProgress, this, &Widget::slotStoreGroupUpdate);
    connect(gaugeLink, &GaugeLink::downloadRefused, this, &Widget::slotDownloadRefused);

    connect(itemModel, &TvItemModel::editDataChanged, this, &Widget::slotItemModeleditDataChanged);
    connect(ui->tvItems->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Widget::slotCurrentRowChanged);

    connect(ui->actionConnect, &QAction::triggered, this, &Widget::slotAction);
    connect(ui->actionDisconnect, &QAction::triggered, this, &Widget::slotAction);
    connect(ui->actionOption, &QAction::triggered, this, &Widget::slotAction);
    connect(ui->actionClose, &QAction::triggered, this, &Widget::slotAction);
}

void Widget::slotMessage(QString text)
{
    ui->listWidget->addItem(text);
    ui->listWidget->scrollToBottom();
}

void Widget::on_actionClearMsg_triggered()
{
    ui->listWidget->clear();
}

void Widget::on_actionManual_triggered()
{
    // Looked up in the working directory, then beside the executable; a
    // missing document or viewer is not reported.
    const QString manual = locateProgramFile(QStringLiteral("Software User Manual.pdf"), programFileFolders());
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
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
    gaugeLink->close();
    saveSettings();
    QMainWindow::closeEvent(event);
}


void Widget::runOptionsDialog()
{
    OptionDialog dialog(this);
    dialog.combo->setCurrentIndex(language == QLatin1String("zh_CN") ? 0 : 1);
    // The gauge is kept in the serial gauge's own file, beside options.xml's
    // four elements.
    const QString gaugePath = SerialGaugeSettings::defaultPath();
    SerialGaugeSettings gaugeBefore;
    if (devicePlugins.gaugeChoice) {
        gaugeBefore = SerialGaugeSettings::load(gaugePath);
        dialog.addGaugeChoice()->setSettings(gaugeBefore);
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString old = language;
    language = dialog.combo->currentIndex() == 0 ? QStringLiteral("zh_CN") : QStringLiteral("en_US");
    bool restart = language != old;
    if (dialog.gauge) {
        const SerialGaugeSettings gauge = dialog.gauge->settings();
        QString error;
        if (gauge != gaugeBefore && !gauge.save(gaugePath, &error)) {
            QMessageBox::critical(this, QString(),
                                  tr("The gauge settings could not be written to %1: %2")
                                      .arg(QDir::toNativeSeparators(gaugePath), error),
                                  QMessageBox::Ok);
        } else if (gauge.enabled != gaugeBefore.enabled) {
            // The plug-ins are bound at start-up; the line settings are
            // read again at each Connect.
            restart = true;
        }
    }
    if (restart) {
        QMessageBox::information(this, QStringLiteral("VK508M"),
                                 tr("Changes will take effect when you restart application."),
                                 QMessageBox::Ok);
    }
}
