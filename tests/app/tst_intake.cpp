#include "app/widget.h"
#include "charts/chartline.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "views/tvitemmodel.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QTableView>
#include <QTreeView>
#include <QtTest>

// Live readings, stored readings and the download, through the real window
// and the test plug-in.
class TestIntake : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QString label(Widget &w, const char *name) { return w.findChild<QLabel *>(QLatin1String(name))->text(); }
    static QAbstractItemModel *table(Widget &w) { return w.findChild<QTableView *>(QStringLiteral("tv"))->model(); }
    static QString cell(Widget &w, int row, int column) { return table(w)->index(row, column).data().toString(); }
    static Histogram *histogram(Widget &w) { return w.findChild<Histogram *>(QStringLiteral("Histogram1")); }
    static DmmData *reading(const QString &value, const QString &unit, const QString &basis = QStringLiteral("Fe"))
    {
        return Reading::make(value, unit, basis, QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    }
    static ReadingFields fields(const QString &value, const QString &unit)
    {
        return ReadingFields::fromText(value, unit, QStringLiteral("Fe"), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    }
    // The values the chart plots, in the unit shown.
    static QList<double> plotted(Widget &w)
    {
        const ChartSeries &points = w.findChild<DMMChart *>(QStringLiteral("chart"))->lines().at(0)->points;
        QList<double> values;
        for (int i = 0; i < points.size(); ++i)
            values << points.value(i);
        return values;
    }
    static void startMeasuring(Widget &w, TestDmmControl *gauge)
    {
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        action(w, "actionStart")->trigger();
        QVERIFY(WidgetTestAccess::measuring(w));
    }

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
    }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    void liveReadingInMils()
    {
        Widget w;
        startMeasuring(w, gauge);
        gauge->emitDisplay(reading(QStringLiteral("3.48"), QStringLiteral("mil")));
        ItemData *item = WidgetTestAccess::currentItem(w);
        QCOMPARE(item->unit(), Unit::Mil);
        QTRY_COMPARE(table(w)->rowCount(), 1);
        QCOMPARE(cell(w, 0, 2), QStringLiteral("3.48"));
        QCOMPARE(cell(w, 0, 3), QStringLiteral("mil"));
        QCOMPARE(cell(w, 0, 1), QStringLiteral("2024-03-01 08:05:09"));
        QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:1"));
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:3.48"));
        QCOMPARE(label(w, "lcdValue"), QStringLiteral("3.48"));
        QCOMPARE(label(w, "lcdUnit"), QStringLiteral("mil"));
        QCOMPARE(plotted(w), QList<double>({3.48}));
        QCOMPARE(histogram(w)->counts().value(1), 1);

        // Back to micrometres: the table follows the item's unit at once.
        gauge->emitDisplay(reading(QStringLiteral("25.0"), QStringLiteral("um"), QStringLiteral("NFe")));
        QCOMPARE(item->unit(), Unit::Micrometre);
        QCOMPARE(cell(w, 0, 2), QStringLiteral("88"));
        QTRY_COMPARE(table(w)->rowCount(), 2);
        QCOMPARE(cell(w, 1, 2), QStringLiteral("25.0"));
        QCOMPARE(label(w, "lcdUnit"), QString::fromUtf8("μm"));
        QCOMPARE(label(w, "lcdBasis"), QStringLiteral("NFe"));
        QCOMPARE(label(w, "lcdMax"), QStringLiteral("Max:88.4"));
    }

    // "UM" is read as micrometres, so a reading in it shows in them.
    void upperCaseUnitIsMicrometres()
    {
        Widget w;
        startMeasuring(w, gauge);
        gauge->emitDisplay(reading(QStringLiteral("100"), QStringLiteral("UM")));
        QTRY_COMPARE(label(w, "lcdValue"), QStringLiteral("100"));
        QCOMPARE(WidgetTestAccess::currentItem(w)->unit(), Unit::Micrometre);
        QCOMPARE(cell(w, 0, 3), QString::fromUtf8("μm"));
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:100.0"));
    }

    void declinedReadingsChangeNothing()
    {
        Widget w;
        gauge->emitDisplay(reading(QStringLiteral("10"), QStringLiteral("um")));
        gauge->emitDisplay(nullptr);
        QTest::qWait(50);
        QCOMPARE(table(w)->rowCount(), 0);
        QCOMPARE(label(w, "lcdValue"), QStringLiteral("00000"));

        // Measuring into an imported item records nothing either.
        startMeasuring(w, gauge);
        w.newItem(QStringLiteral("Import1"), ItemData::Import);
        action(w, "actionStart")->trigger();
        QVERIFY(WidgetTestAccess::measuring(w));
        gauge->emitDisplay(reading(QStringLiteral("10"), QStringLiteral("um")));
        QTest::qWait(50);
        QCOMPARE(table(w)->rowCount(), 0);
        QCOMPARE(WidgetTestAccess::currentItem(w)->count(), 0);

        // Stored readings go nowhere while the store item is not active.
        gauge->emitDisplayStore(reading(QStringLiteral("10"), QStringLiteral("um")));
        gauge->emitDisplayStoreData({reading(QStringLiteral("10"), QStringLiteral("um")), nullptr});
        QTest::qWait(50);
        QCOMPARE(table(w)->rowCount(), 0);
    }

    void downloadWithTheMeterClosedDoesNothing()
    {
        Widget w;
        auto *tree = w.findChild<QTreeView *>(QStringLiteral("tvItems"));
        ItemData *store = TvItemModel::itemAt(tree->model()->index(0, 0));
        store->append(fields(QStringLiteral("5"), QStringLiteral("um")), true);
        action(w, "actionItemDownload")->trigger();
        QCOMPARE(gauge->readStoreCalls(), 0);
        QCOMPARE(store->count(), 1);
        QVERIFY(!w.findChild<QProgressDialog *>());
    }

    void download()
    {
        Widget w;
        auto *tree = w.findChild<QTreeView *>(QStringLiteral("tvItems"));
        ItemData *store = TvItemModel::itemAt(tree->model()->index(0, 0));
        store->append(fields(QStringLiteral("5"), QStringLiteral("um")), true);
        ItemData *measure = WidgetTestAccess::currentItem(w);
        measure->setUnit(Unit::Mil);
        gauge->setLinkOpen(true);
        gauge->emitOpened();

        action(w, "actionItemDownload")->trigger();
        QCOMPARE(gauge->readStoreCalls(), 1);
        QCOMPARE(WidgetTestAccess::currentItem(w), store);
        // The earlier download stays until this one is complete.
        QCOMPARE(store->count(), 1);
        QCOMPARE(table(w)->rowCount(), 1);
        QCOMPARE(measure->unit(), Unit::Micrometre);
        QVERIFY(!action(w, "actionStart")->isEnabled());

        QPointer<QProgressDialog> dialog = w.findChild<QProgressDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Downdloading..."));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        gauge->emitStoreGroupUpdate(5, 1);
        QCOMPARE(dialog->maximum(), 5);
        QCOMPARE(dialog->value(), 0);

        gauge->emitDisplayStoreData({reading(QStringLiteral("10"), QStringLiteral("um")),
                                     reading(QStringLiteral("20"), QStringLiteral("um")),
                                     reading(QStringLiteral("30"), QStringLiteral("um"))});
        // A stored reading in mils is shown with its micrometre text.
        gauge->emitDisplayStore(reading(QStringLiteral("2"), QStringLiteral("mil")));
        QTest::qWait(50);
        QCOMPARE(table(w)->rowCount(), 1);

        gauge->emitStoreGroupUpdate(5, 6);
        QVERIFY(dialog);
        QVERIFY(dialog->isHidden());
        QCOMPARE(store->count(), 4);
        QCOMPARE(table(w)->rowCount(), 4);
        QCOMPARE(cell(w, 3, 2), QStringLiteral("51"));
        QCOMPARE(cell(w, 3, 3), QString::fromUtf8("μm"));
        QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:4"));
        QCOMPARE(label(w, "lcdMin"), QStringLiteral("Min:10.0"));
        QCOMPARE(label(w, "lcdMax"), QStringLiteral("Max:50.8"));
        QCOMPARE(plotted(w), QList<double>({10, 20, 30, 50.8}));
        QCOMPARE(histogram(w)->counts().value(1), 4);
    }

    // After a mil item is shown in micrometres again, a mil reading
    // rebuilds the views in mils rather than landing among µm values.
    void viewsFollowAUnitChange()
    {
        Widget w;
        startMeasuring(w, gauge);
        gauge->emitDisplay(reading(QStringLiteral("3.94"), QStringLiteral("mil")));
        auto *tree = w.findChild<QTreeView *>(QStringLiteral("tvItems"));
        QTRY_COMPARE(table(w)->rowCount(), 1);
        w.itemSetToActive(tree->model()->index(0, 0));
        w.itemSetToActive(tree->model()->index(0, 0, tree->model()->index(1, 0)));
        QCOMPARE(plotted(w), QList<double>({3.94 * 25.4}));
        action(w, "actionStart")->trigger();
        gauge->emitDisplay(reading(QStringLiteral("3.94"), QStringLiteral("mil")));
        QTRY_COMPARE(plotted(w), QList<double>({3.94, 3.94}));
        QCOMPARE(histogram(w)->counts().value(1), 2);
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:3.94"));
    }

    void progressAfterTheDialogWasClosed()
    {
        Widget w;
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        action(w, "actionItemDownload")->trigger();
        QPointer<QProgressDialog> dialog = w.findChild<QProgressDialog *>();
        QVERIFY(dialog);
        dialog->close();
        QTRY_VERIFY(!dialog);
        gauge->emitStoreGroupUpdate(5, 3);
        // The rest of a cancelled transfer is not taken in.
        gauge->emitDisplayStore(reading(QStringLiteral("12"), QStringLiteral("um")));
        QTest::qWait(50);
        QCOMPARE(table(w)->rowCount(), 0);
    }

    void threeStoredReadingsInOneGroup()
    {
        Widget w;
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        action(w, "actionItemDownload")->trigger();
        gauge->emitDisplayStoreData({reading(QStringLiteral("10"), QStringLiteral("um")),
                                     reading(QStringLiteral("20"), QStringLiteral("um")),
                                     reading(QStringLiteral("30"), QStringLiteral("um"))});
        gauge->emitStoreGroupUpdate(1, 2);
        QCOMPARE(table(w)->rowCount(), 3);
        QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:3"));
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:20.0"));
        QCOMPARE(label(w, "lcdMin"), QStringLiteral("Min:10.0"));
        QCOMPARE(label(w, "lcdMax"), QStringLiteral("Max:30.0"));
    }
};

QTEST_MAIN(TestIntake)
#include "tst_intake.moc"
