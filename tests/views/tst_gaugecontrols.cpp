#include "data/itemstore.h"
#include "views/gaugecontrols.h"
#include "device/gaugelink.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"

#include <QAction>
#include <QProgressDialog>
#include <QtTest>

// The gauge's commands on bare actions, over the test plug-in found in
// Lib/ as the program finds it.
class TestGaugeControls : public QObject
{
    Q_OBJECT

private:
    DevicePlugins plugins;
    TestDmmControl *gauge = nullptr;

    // Which of Connect, Disconnect, Start, Stop are enabled, as "CDSs".
    static QString states(const GaugeActions &actions)
    {
        QString text;
        const QList<QAction *> all{actions.connect, actions.disconnect, actions.start, actions.stop};
        for (int i = 0; i < all.size(); ++i)
            text += all.at(i)->isEnabled() ? QChar(QLatin1Char("CDSs"[i])) : QLatin1Char('-');
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scanDevicePlugins(QCoreApplication::applicationDirPath(), plugins));
        gauge = testGauge();
    }
    void init() { gauge->reset(); }

    void actionsFollowTheLinkAndTheActiveItem()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        ItemData *item = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
        store.setActive(item);
        GaugeLink link(plugins, &store);
        QAction connect, disconnect, start, stop;
        const GaugeActions actions{&connect, &disconnect, &start, &stop};
        for (QAction *action : {&connect, &disconnect, &start, &stop})
            action->setEnabled(false);
        QWidget window;
        GaugeControls controls(&link, &store, actions, &window);
        QCOMPARE(states(actions), QStringLiteral("C---"));

        DialogAnswerer answerer;
        gauge->setOpenResult(false);
        connect.trigger();
        QTRY_COMPARE(answerer.texts, QStringList{QStringLiteral("Failed to open device.")});

        gauge->setLinkOpen(true);
        gauge->emitOpened();
        QCOMPARE(states(actions), QStringLiteral("-DS-"));
        start.trigger();
        QVERIFY(link.isMeasuring());
        QCOMPARE(states(actions), QStringLiteral("-D-s"));
        // Another item made active ends the measurement; "Store Data" takes none.
        store.setActive(store.storeItem());
        QVERIFY(!link.isMeasuring());
        QCOMPARE(states(actions), QStringLiteral("-D--"));
        store.setActive(item);
        start.trigger();
        gauge->setLinkOpen(false);
        gauge->emitClosed();
        QVERIFY(!link.isMeasuring());
        QCOMPARE(states(actions), QStringLiteral("C---"));
    }

    void downloadProgressInADialog()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        store.setActive(store.storeItem());
        GaugeLink link(plugins, &store);
        QAction connect, disconnect, start, stop;
        QWidget window;
        GaugeControls controls(&link, &store, GaugeActions{&connect, &disconnect, &start, &stop}, &window);
        gauge->setLinkOpen(true);

        link.startDownload();
        auto *dialog = window.findChild<QProgressDialog *>();
        QVERIFY(dialog && dialog->isVisible());
        gauge->emitStoreGroupUpdate(4, 2);
        QCOMPARE(dialog->maximum(), 4);
        QCOMPARE(dialog->value(), 1);
        // The last group closes it.
        gauge->emitStoreGroupUpdate(4, 5);
        QTRY_VERIFY(!window.findChild<QProgressDialog *>());
    }
};

QTEST_MAIN(TestGaugeControls)
#include "tst_gaugecontrols.moc"
