#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "device/deviceinterfaces.h"
#include "device/gaugelink.h"
#include "tests/plugins/testdmmcontrol.h"

#include <QPluginLoader>
#include <QSignalSpy>
#include <QtTest>

// The gauge's link on the test plug-in and an item store, without a window.
class TestGaugeLink : public QObject
{
    Q_OBJECT

private:
    DevicePlugins plugins;
    TestDmmControl *gauge = nullptr;

    static DmmData *reading(const QString &value, const QString &unit = QStringLiteral("um"))
    {
        return Reading::make(value, unit, QStringLiteral("Fe"), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    }
    static QStringList texts(const ItemData *item)
    {
        QStringList result;
        for (int i = 0; i < item->count(); ++i)
            result << item->readings().textUm(i);
        return result;
    }
    // "Store Data", active as in a download, holds what an earlier one left.
    static void earlierDownload(ItemStore &store)
    {
        ReadingSeries earlier;
        earlier.appendText(QStringLiteral("50"), QStringLiteral("um"), QStringLiteral("Fe"), QDateTime());
        store.replaceReadings(store.storeItem(), earlier);
        store.setActive(store.storeItem());
    }

private slots:
    void initTestCase()
    {
        QObject *instance = QPluginLoader(QStringLiteral(TEST_PLUGIN)).instance();
        QVERIFY(instance);
        plugins.dmm = qobject_cast<IDmm *>(instance);
        plugins.myDmm = qobject_cast<IMyDmm *>(instance);
        plugins.serialDevice = qobject_cast<SerialDeviceInf *>(instance);
        plugins.serialVirtual = qobject_cast<SerialRS232VirInf *>(instance);
        gauge = qobject_cast<TestDmmControl *>(instance);
        QVERIFY(plugins.complete() && gauge);
    }
    void init() { gauge->reset(); }

    void connectStartStop()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        store.setActive(store.addItem(QStringLiteral("Measure1"), ItemData::Measure));
        GaugeLink link(plugins, &store);
        QSignalSpy opened(&link, &GaugeLink::opened);
        QSignalSpy closed(&link, &GaugeLink::closed);

        gauge->setOpenResult(false);
        QVERIFY(!link.open());
        gauge->setOpenResult(true);
        QVERIFY(link.open() && link.isOpen() && link.canDownload());
        gauge->emitOpened();
        QCOMPARE(opened.count(), 1);

        QVERIFY(link.start() && link.isMeasuring());
        link.stop();
        QVERIFY(!link.isMeasuring());
        QVERIFY(link.start());
        // The link dropping ends measuring.
        gauge->emitClosed();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!link.isMeasuring());

        // Nothing is measured into "Store Data".
        store.setActive(store.storeItem());
        QVERIFY(!link.start() && !link.isMeasuring());
    }

    void liveReadingsOnlyWhileMeasuring()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        ItemData *item = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
        store.setActive(item);
        GaugeLink link(plugins, &store);

        gauge->emitDisplay(reading(QStringLiteral("12")));
        QCOMPARE(item->count(), 0);
        link.start();
        gauge->emitDisplay(reading(QStringLiteral("12")));
        // Another unit switches the item with the reading.
        gauge->emitDisplay(reading(QStringLiteral("0.50"), QStringLiteral("mil")));
        QCOMPARE(item->count(), 2);
        QCOMPARE(item->unit(), Unit::Mil);
        link.stop();
        gauge->emitDisplay(reading(QStringLiteral("13")));
        QCOMPARE(item->count(), 2);
        // Stored readings outside a download go only to an active "Store Data".
        gauge->emitDisplayStore(reading(QStringLiteral("14")));
        QCOMPARE(store.storeItem()->count(), 0);
    }

    void downloadReplacesStoreDataWhenComplete()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        earlierDownload(store);
        GaugeLink link(plugins, &store);
        QSignalSpy started(&link, &GaugeLink::downloadStarted);
        QSignalSpy progress(&link, &GaugeLink::downloadProgress);
        QSignalSpy finished(&link, &GaugeLink::downloadFinished);

        link.startDownload();
        QCOMPARE(started.count(), 0); // not connected
        gauge->setLinkOpen(true);
        link.startDownload();
        QCOMPARE(started.count(), 1);
        QCOMPARE(gauge->readStoreCalls(), 1);

        gauge->emitDisplayStoreData({reading(QStringLiteral("10")), reading(QStringLiteral("11"))});
        gauge->emitStoreGroupUpdate(2, 1);
        gauge->emitDisplayStore(reading(QStringLiteral("12")));
        gauge->emitStoreGroupUpdate(2, 2);
        QCOMPARE(texts(store.storeItem()), QStringList{QStringLiteral("50")});
        gauge->emitStoreGroupUpdate(2, 3);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(progress.last(), QVariantList({2, 3}));
        QCOMPARE(texts(store.storeItem()), QStringList({"10", "11", "12"}));
    }

    void cancelOrLinkDropKeepsThePreviousDownload()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        earlierDownload(store);
        GaugeLink link(plugins, &store);
        QSignalSpy finished(&link, &GaugeLink::downloadFinished);
        gauge->setLinkOpen(true);

        link.startDownload();
        gauge->emitDisplayStore(reading(QStringLiteral("10")));
        link.cancelDownload();
        // The rest of the abandoned transfer still arrives, and is dropped.
        gauge->emitDisplayStore(reading(QStringLiteral("11")));
        gauge->emitStoreGroupUpdate(1, 2);

        link.startDownload();
        gauge->emitDisplayStore(reading(QStringLiteral("20")));
        gauge->emitClosed();
        gauge->emitStoreGroupUpdate(1, 2);

        QCOMPARE(finished.count(), 0);
        QCOMPARE(texts(store.storeItem()), QStringList{QStringLiteral("50")});
    }
};

QTEST_GUILESS_MAIN(TestGaugeLink)
#include "tst_gaugelink.moc"
