#include "device/deviceinterfaces.h"
#include "device/pluginscan.h"

#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Finding and binding device plug-ins, and what the program does when the
// set is incomplete.
class TestPluginScan : public QObject
{
    Q_OBJECT

private:
    static QString fullPlugin() { return QStringLiteral(TEST_FULL_PLUGIN); }
    static QString serialPlugin() { return QStringLiteral(TEST_SERIAL_PLUGIN); }
    static QString meterPlugin() { return QStringLiteral(TEST_METER_PLUGIN); }

    // Builds an application folder; files go to Lib/ unless inLib is false.
    static QString makeHome(QTemporaryDir &home, const QList<QPair<QString, QString>> &files, bool inLib = true)
    {
        QDir dir(home.path());
        if (inLib) {
            dir.mkdir(QStringLiteral("Lib"));
            dir.cd(QStringLiteral("Lib"));
        }
        for (const auto &file : files) {
            if (!QFile::copy(file.first, dir.filePath(file.second)))
                qFatal("cannot copy %s", qPrintable(file.first));
        }
        return home.path();
    }

    static QObject *instanceOf(const QString &path) { return QPluginLoader(path).instance(); }

private slots:
    void onePluginWithAllInterfaces()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        QVERIFY(scanDevicePlugins(makeHome(home, {{fullPlugin(), "libgauge.so"}}), plugins));
        QVERIFY(plugins.serialDevice && plugins.serialVirtual && plugins.dmm && plugins.myDmm);
        QVERIFY(plugins.simulatedPort);
        QCOMPARE(plugins.dmm->signalObject(), plugins.serialDevice->signalObject());
    }

    void twoPluginsWithTwoEach()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        const QString dir = makeHome(home, {{serialPlugin(), "libserial.so"}, {meterPlugin(), "libmeter.so"}});
        QVERIFY(scanDevicePlugins(dir, plugins));
        QVERIFY(plugins.serialDevice && plugins.serialVirtual && plugins.dmm && plugins.myDmm);
        QCOMPARE(plugins.serialDevice->signalObject(), instanceOf(dir + "/Lib/libserial.so"));
        QCOMPARE(plugins.dmm->signalObject(), instanceOf(dir + "/Lib/libmeter.so"));
    }

    void missingInterfaceIsIncomplete()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        QVERIFY(!scanDevicePlugins(makeHome(home, {{meterPlugin(), "libmeter.so"}}), plugins));
        QVERIFY(plugins.dmm && plugins.myDmm);
        QVERIFY(!plugins.serialDevice && !plugins.serialVirtual);
    }

    void suffixComparedWithoutCase()
    {
        QTemporaryDir upper;
        DevicePlugins found;
        QVERIFY(scanDevicePlugins(makeHome(upper, {{fullPlugin(), "METER.SO"}}), found));

        QTemporaryDir backup;
        DevicePlugins none;
        QVERIFY(!scanDevicePlugins(makeHome(backup, {{fullPlugin(), "x.so.bak"}}), none));
        QVERIFY(!none.dmm && !none.serialDevice);
    }

    void withoutLibTheApplicationFolderIsScanned()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        // An ordinary library beside it yields no instance and is skipped.
        const QString dir = makeHome(home, {{QStringLiteral(TEST_ORDINARY_LIBRARY), "libordinary.so"},
                                            {fullPlugin(), "libgauge.so"}},
                                     false);
        QVERIFY(scanDevicePlugins(dir, plugins));
    }

    void laterPluginOverridesEarlier()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        const QString dir = makeHome(home, {{fullPlugin(), "a.so"}, {fullPlugin(), "b.so"}});
        QVERIFY(scanDevicePlugins(dir, plugins));
        QObject *later = instanceOf(dir + "/Lib/b.so");
        QVERIFY(later != instanceOf(dir + "/Lib/a.so"));
        QCOMPARE(plugins.dmm->signalObject(), later);
        QCOMPARE(plugins.serialDevice->signalObject(), later);
    }

    // The simulated port answers only for its own instance's port.
    void simulatedPortOnlyBesideItsOwnPortInterface()
    {
        QTemporaryDir home;
        DevicePlugins plugins;
        const QString real = QStringLiteral(TEST_REAL_PORT_PLUGIN);
        QVERIFY(scanDevicePlugins(makeHome(home, {{fullPlugin(), "a.so"}, {real, "b.so"}}), plugins));
        QVERIFY(!plugins.simulatedPort);

        QTemporaryDir other;
        DevicePlugins reversed;
        const QString dir = makeHome(other, {{real, "a.so"}, {fullPlugin(), "b.so"}});
        QVERIFY(scanDevicePlugins(dir, reversed));
        QVERIFY(reversed.simulatedPort);
        QCOMPARE(static_cast<void *>(reversed.simulatedPort),
                 instanceOf(dir + "/Lib/b.so")->qt_metacast(SimulatedPortInf_iid));
    }

    // The program with an incomplete set ends at its first turn of the event
    // loop, without a message and without a crash.
    void incompleteSetQuitsTheProgram()
    {
        QTemporaryDir home;
        makeHome(home, {{meterPlugin(), "libmeter.so"}});
        const QString program = home.filePath(QStringLiteral("vk508m"));
        QVERIFY(QFile::copy(QStringLiteral(TEST_PROGRAM), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);

        QProcess process;
        process.setWorkingDirectory(home.path());
        process.start(program, {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPluginScan)
#include "tst_pluginscan.moc"
