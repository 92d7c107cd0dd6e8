#include "app/widget.h"
#include "charts/chartline.h"
#include "charts/chartpoint.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "charts/histogrambin.h"
#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "views/tvitemmodel.h"
#include "views/dlgexport.h"
#include "exchange/itempictures.h"
#include "exchange/savedfile.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

// What the window shows after activations, downloads, deletes and link
// events: always the active item as it is now.
class TestWindowState : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QString label(Widget &w, const char *name) { return w.findChild<QLabel *>(QLatin1String(name))->text(); }
    static QTreeView *treeView(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems")); }
    static QModelIndex child(Widget &w, int row)
    {
        QAbstractItemModel *model = treeView(w)->model();
        return model->index(row, 0, model->index(1, 0));
    }
    static QString labels(Widget &w)
    {
        return QStringList({label(w, "lcdValue"), label(w, "lcdUnit"), label(w, "lcdBasis"), label(w, "lcdNum"),
                            label(w, "lcdAvg"), label(w, "lcdMin"), label(w, "lcdMax")})
            .join(QLatin1Char('|'));
    }
    static QString titles(Widget &w)
    {
        return w.findChild<Histogram *>(QStringLiteral("Histogram1"))->yTitle() + QLatin1Char('|')
            + w.findChild<DMMChart *>(QStringLiteral("chart"))->yTitle();
    }
    static DmmData *reading(const QString &value, const QString &unit)
    {
        return Reading::make(value, unit, QStringLiteral("Fe"), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    }
    void startMeasuring(Widget &w)
    {
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        action(w, "actionStart")->trigger();
    }
    static QString startStop(Widget &w)
    {
        return QStringLiteral("%1%2%3").arg(int(action(w, "actionStart")->isEnabled()))
            .arg(int(action(w, "actionStop")->isEnabled()))
            .arg(int(WidgetTestAccess::measuring(w)));
    }

    const QString um = QString::fromUtf8("μm");
    const QString umTitles = QString::fromUtf8("Thickness(μm)|Thickness(μm)");

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
    }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    void activationShowsTheItemInMicrometres()
    {
        Widget w;
        startMeasuring(w);
        gauge->emitDisplay(reading(QStringLiteral("3.00"), QStringLiteral("mil")));
        gauge->emitDisplay(reading(QStringLiteral("5.00"), QStringLiteral("mil")));
        QTRY_COMPARE(labels(w), QStringLiteral("5.00|mil|Fe|Num:2|Avg:4.00|Min:3.00|Max:5.00"));
        QCOMPARE(titles(w), QStringLiteral("Thickness(mil)|Thickness(mil)"));

        // Away and back: the same readings, now in micrometres everywhere.
        w.newItem(QStringLiteral("Other"), ItemData::Measure);
        w.itemSetToActive(child(w, 0));
        QCOMPARE(labels(w), QStringLiteral("5.00|%1|Fe|Num:2|Avg:101.6|Min:76.2|Max:127.0").arg(um));
        QCOMPARE(titles(w), umTitles);

        // Every rebuilt point has a read-out with its value, as live ones do.
        const ChartLine *line = w.findChild<DMMChart *>(QStringLiteral("chart"))->lines().value(0);
        QVERIFY(line && line->points.size() == 2);
        QCOMPARE(line->points.tag(0), QStringLiteral("76um Fe"));

        // A download switches the item that was active to micrometres too.
        w.itemSetToActive(child(w, 1));
        action(w, "actionStart")->trigger();
        gauge->emitDisplay(reading(QStringLiteral("2.00"), QStringLiteral("mil")));
        ItemData *other = WidgetTestAccess::currentItem(w);
        DialogAnswerer answerer;
        action(w, "actionItemDownload")->trigger();
        QCOMPARE(other->unit(), Unit::Micrometre);
        QCOMPARE(other->statistics()->avg, QStringLiteral("50.8"));
    }

    void downloadsClearTheLabelsAtOnce()
    {
        Widget w;
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        DialogAnswerer answerer;
        action(w, "actionItemDownload")->trigger();
        gauge->emitDisplayStoreData({reading(QStringLiteral("10"), QStringLiteral("um")),
                                     reading(QStringLiteral("30"), QStringLiteral("um"))});
        gauge->emitStoreGroupUpdate(1, 2);
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:20.0"));

        // A second download of an empty memory: the emptied item is shown.
        action(w, "actionItemDownload")->trigger();
        gauge->emitStoreGroupUpdate(0, 1);
        QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:0"));
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:0"));
        QCOMPARE(label(w, "lcdMax"), QStringLiteral("Max:0"));
    }

    void deletingTheLastActiveItemResetsTheWindow()
    {
        Widget w;
        const QString start = labels(w);
        startMeasuring(w);
        gauge->emitDisplay(reading(QStringLiteral("3.00"), QStringLiteral("mil")));
        QVERIFY(labels(w) != start);

        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        treeView(w)->setCurrentIndex(child(w, 0));
        action(w, "actionItemDelete")->trigger();
        QVERIFY(!WidgetTestAccess::currentItem(w));
        QCOMPARE(labels(w), start);
        QCOMPARE(titles(w), umTitles);
        QCOMPARE(startStop(w), QStringLiteral("100"));
    }

    void startAndStopFollowMeasuring()
    {
        Widget w;
        startMeasuring(w);
        QCOMPARE(startStop(w), QStringLiteral("011"));
        // A reconnect's opened() keeps the measurement and says so.
        gauge->emitOpened();
        QCOMPARE(startStop(w), QStringLiteral("011"));
        gauge->setLinkOpen(false);
        gauge->emitClosed();
        QCOMPARE(startStop(w), QStringLiteral("000"));
    }

    void oneProgressDialogAtATime()
    {
        Widget w;
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        for (int download = 0; download < 3; ++download) {
            action(w, "actionItemDownload")->trigger();
            if (download == 1)
                w.findChild<QProgressDialog *>()->close(); // cancelled
            else
                gauge->emitStoreGroupUpdate(2, 3); // finished
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.findChildren<QProgressDialog *>().size() <= 1);
        }
        QVERIFY(w.findChildren<QProgressDialog *>().isEmpty());

        // Progress reported from inside readStore reaches the new dialog.
        gauge->setProgressInReadStore(5, 3);
        action(w, "actionItemDownload")->trigger();
        const QList<QProgressDialog *> dialogs = w.findChildren<QProgressDialog *>();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs.first()->value(), 2);
        QCOMPARE(dialogs.first()->maximum(), 5);
    }

    void importNamesAreUnique()
    {
        Widget w;
        QCOMPARE(WidgetTestAccess::nextImportName(w), QStringLiteral("Import1"));
        w.newItem(QStringLiteral("Import1"), ItemData::Import);
        w.newItem(QStringLiteral("Imported"), ItemData::Import);
        // Two names start with "Import": Import3 is the first one free.
        QCOMPARE(WidgetTestAccess::nextImportName(w), QStringLiteral("Import3"));
        WidgetTestAccess::currentItem(w)->setName(QStringLiteral("Import3"));
        QCOMPARE(WidgetTestAccess::nextImportName(w), QStringLiteral("Import4"));
    }

    // A picture is drawn after its dialog, with what arrived meanwhile, from
    // whichever tab; the dialog knows the suffix the file will get.
    void picturesAndSaveDialogs()
    {
        QTemporaryDir dir;
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        startMeasuring(w);
        QString defaultSuffix;
        DialogAnswerer answerer;
        answerer.then([](QWidget *dialog) {
            qobject_cast<dlgExport *>(dialog)->findChild<QRadioButton *>(QStringLiteral("rbHistogram"))->setChecked(true);
            static_cast<QDialog *>(dialog)->accept();
        });
        answerer.then([&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            defaultSuffix = files->defaultSuffix();
            gauge->emitDisplay(reading(QStringLiteral("100"), QStringLiteral("um")));
            files->selectFile(dir.filePath(QStringLiteral("bars")));
            static_cast<QDialog *>(files)->accept();
        });
        QCOMPARE(w.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->currentIndex(), 0);
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(defaultSuffix, QStringLiteral("jpg"));
        QCOMPARE(answerer.count(), 2); // no failure message
        const QImage picture(dir.filePath(QStringLiteral("bars.jpg")));
        QVERIFY(!picture.isNull());
        // It is not the picture of the readings before the dialog.
        const ItemData *item = WidgetTestAccess::currentItem(w);
        const ItemPictureSettings settings = WidgetTestAccess::exchange(w)->pictureSettings();
        const QString before = dir.filePath(QStringLiteral("before.jpg"));
        const ItemPictures empty = ItemPictureMaker::paint(settings, item->readings(), 0, item->unit());
        QVERIFY(savePicture(empty.histogram, before, nullptr));
        QCOMPARE(QImage(before).size(), picture.size());
        QVERIFY(QImage(before) != picture);
        // The picture holds the bar of the reading that came in meanwhile,
        // where the histogram shows it once its tab is opened.
        Histogram *histogram = w.findChild<Histogram *>(QStringLiteral("Histogram1"));
        QCOMPARE(picture.size(), histogram->size());
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(tabs->indexOf(histogram->parentWidget()));
        const QImage shown = histogram->grab().toImage();
        const HistogramBar *full = nullptr;
        for (const HistogramBar *bar : histogram->bars())
            if (bar->bin->count() > 0 && bar->rect.width() > 2 && bar->rect.height() > 2)
                full = bar;
        QVERIFY(full);
        const QPoint middle = full->rect.center().toPoint();
        const QColor expected = shown.pixelColor(middle);
        const QColor got = picture.pixelColor(middle);
        QVERIFY2(qAbs(got.red() - expected.red()) + qAbs(got.green() - expected.green())
                         + qAbs(got.blue() - expected.blue()) < 60,
                 qPrintable(got.name() + QStringLiteral(" != ") + expected.name()));
    }

    void closingTheWindowClosesTheMeter()
    {
        Widget w;
        QVERIFY(gauge->findPortCalls() > 0);
        w.close();
        QCOMPARE(gauge->closeCalls(), 1);
    }
};

QTEST_MAIN(TestWindowState)
#include "tst_windowstate.moc"
