#include "device/dmmdata.h"
#include "device/deviceinterfaces.h"
#include "plugins/serialline/linegrammar.h"
#include "plugins/serialline/linesplitter.h"
#include "tests/support/ptygauge.h"

#include <QPluginLoader>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The serial-line gauge: its grammar, and the plug-in over a pseudo-terminal.
class TestSerialGauge : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir config;
    QObject *instance = nullptr;
    IDmm *dmm = nullptr;

    void writeSettings(const QByteArray &lines)
    {
        QDir().mkpath(config.filePath(QStringLiteral("tst_serialgauge")));
        QFile file(config.filePath(QStringLiteral("tst_serialgauge/serialgauge.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[serial]\nenabled=true\n" + lines);
        file.close();
        file.setPermissions(file.permissions() | QFile::ReadOther);
    }

    static QList<DmmData *> taken(QSignalSpy &spy)
    {
        QList<DmmData *> readings;
        for (const QList<QVariant> &args : qAsConst(spy))
            readings << args.at(0).value<DmmData *>();
        return readings;
    }

    static QStringList texts(const QSignalSpy &spy)
    {
        QStringList list;
        for (const QList<QVariant> &args : spy)
            list << args.at(0).toString();
        return list;
    }

private slots:
    void initTestCase()
    {
        Reading::registerMetaTypes();
        QVERIFY(config.isValid());
        ::chmod(QFile::encodeName(config.path()).constData(), 0755);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        instance = QPluginLoader(QStringLiteral(SERIAL_PLUGIN)).instance();
        QVERIFY(instance);
        dmm = qobject_cast<IDmm *>(instance);
        QVERIFY(dmm && qobject_cast<IMyDmm *>(instance) && qobject_cast<SerialDeviceInf *>(instance)
                && qobject_cast<SerialRS232VirInf *>(instance));
        // Not chosen until the settings say so.
        QVERIFY(!qobject_cast<GaugeChoiceInf *>(instance)->chosen());
        writeSettings("");
        QVERIFY(qobject_cast<GaugeChoiceInf *>(instance)->chosen());
    }

    void defaultGrammar_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("textUm");
        QTest::addColumn<QString>("textMil");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("basis");
        QTest::addColumn<int>("overload");
        QTest::newRow("um Fe") << QByteArray("  125.4 um Fe") << "125.4" << "4.94" << "um" << "Fe" << 0;
        QTest::newRow("mil") << QByteArray("4.94 mil") << "125" << "4.94" << "mil" << "" << 0;
        QTest::newRow("comma") << QByteArray("4,94 mil") << "125" << "4.94" << "mil" << "" << 0;
        QTest::newRow("mils NFe") << QByteArray("12.7 MILS nfe") << "323" << "12.7" << "mil" << "NFe" << 0;
        QTest::newRow("micro sign, Latin-1") << QByteArray("50.8 \xb5m") << "50.8" << "2.00" << "um" << "" << 0;
        QTest::newRow("mu, UTF-8") << QByteArray("50.8\xce\xbcm NFe") << "50.8" << "2.00" << "um" << "NFe" << 0;
        QTest::newRow("no unit") << QByteArray("+100") << "100" << "3.94" << "um" << "" << 0;
        QTest::newRow("OL") << QByteArray("OL") << "    OL" << "    OL" << "um" << "" << 1;
        QTest::newRow("-OL") << QByteArray(" -OL um Fe") << "   -OL" << "   -OL" << "um" << "Fe" << -1;
    }

    void defaultGrammar()
    {
        QFETCH(QByteArray, line);
        LineGrammar grammar;
        const QDateTime time(QDate(2026, 1, 2), QTime(3, 4, 5));
        QScopedPointer<DmmData> reading(grammar.read(LineGrammar::decode(line), time));
        QVERIFY(reading);
        QTEST(reading->textUm(), "textUm");
        QTEST(reading->textMil(), "textMil");
        QTEST(reading->unit(), "unit");
        QTEST(reading->basis(), "basis");
        QTEST(reading->overload(), "overload");
        QCOMPARE(reading->dateTime(), time);
    }

    void linesThatAreNoReadings()
    {
        LineGrammar grammar;
        grammar.setDefaultUnit(QStringLiteral("mil"));
        LineGrammar::Fault fault = LineGrammar::Fault::None;
        for (const char *line : {"hello", "1.2.3 um", "12 um Fe extra", "", "nan", "1e400"}) {
            QVERIFY2(!grammar.read(QString::fromLatin1(line), QDateTime(), &fault), line);
            QCOMPARE(fault, LineGrammar::Fault::Unreadable);
        }
        QVERIFY(!grammar.read(QStringLiteral("12 mm"), QDateTime(), &fault));
        QScopedPointer<DmmData> mil(grammar.read(QStringLiteral("2"), QDateTime()));
        QCOMPARE(mil->textUm(), QStringLiteral("51"));
    }

    void customExpression()
    {
        LineGrammar grammar;
        QString error;
        QVERIFY(!grammar.setPattern(QStringLiteral("(?<value>[0-9"), &error));
        QVERIFY(!grammar.setPattern(QStringLiteral("(?<thickness>\\d+)"), &error));
        QVERIFY(grammar.setPattern(QStringLiteral("^T=(?<value>[\\d.]+|-?OL);U=(?<unit>\\w+);B=(?<basis>\\w*)$")));
        QScopedPointer<DmmData> reading(grammar.read(QStringLiteral("T=88.5;U=um;B=NFe"), QDateTime()));
        QVERIFY(reading);
        QCOMPARE(reading->valueUm(), 88.5);
        QCOMPARE(reading->basis(), QStringLiteral("NFe"));
        QScopedPointer<DmmData> overload(grammar.read(QStringLiteral("T=-OL;U=mil;B="), QDateTime()));
        QCOMPARE(overload->overload(), -1);
        QVERIFY(!grammar.read(QStringLiteral("125.4 um"), QDateTime()));
    }

    // Whatever arrives without a line end, what is held back stays bounded.
    void noiseWithoutLineEndsStaysBounded()
    {
        LineSplitter splitter;
        QByteArray noise(100000, '\x01');
        QVERIFY(splitter.feed(noise).isEmpty());
        QVERIFY(splitter.pending().size() <= LineSplitter::MaxLineBytes);
        const auto lines = splitter.feed("\r\n7 um\r\n");
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0).kind, LineSplitter::Kind::TooLong);
        QCOMPARE(lines.at(1).text, QByteArray("7 um"));
    }

    void liveReadingsOverThePort()
    {
        PtyGauge gauge;
        QVERIFY(gauge.isValid());
        writeSettings("port=" + gauge.slavePath().toLocal8Bit() + "\nbaudRate=19200\nparity=even\n");
        QVERIFY(qobject_cast<SimulatedPortInf *>(instance)->hasPort(GaugeVendorId, GaugeProductId));
        QSignalSpy opened(instance, SIGNAL(opened()));
        QSignalSpy display(instance, SIGNAL(display(DmmData *)));
        QSignalSpy messages(instance, SIGNAL(message(QString)));
        QVERIFY(dmm->open(nullptr));
        QCOMPARE(opened.count(), 1);
        // CR, LF and CR LF end lines; a line may come in pieces.
        gauge.send("125.4 um Fe\r4.94 mil\n-O");
        gauge.send("L\r\n,5\r\n");
        QTRY_COMPARE(display.count(), 4);
        const QList<DmmData *> readings = taken(display);
        QCOMPARE(readings.at(0)->textUm(), QStringLiteral("125.4"));
        QCOMPARE(readings.at(1)->textMil(), QStringLiteral("4.94"));
        QCOMPARE(readings.at(2)->overload(), -1);
        QCOMPARE(readings.at(3)->textUm(), QStringLiteral("0.5"));
        qDeleteAll(readings);

        // Over-long lines and noise are dropped, told once per kind.
        display.clear();
        messages.clear();
        gauge.send(QByteArray(300, 'x') + "\r\n" + QByteArray(1000, 'y') + "\n");
        gauge.send(QByteArray("\x00\x01\xfe\xff\x02\r\n", 6) + "hello\r\nworld\r\n3 um\r\n");
        QTRY_COMPARE(display.count(), 1);
        delete display.at(0).at(0).value<DmmData *>();
        QCOMPARE(messages.count(), 3);
        QVERIFY(texts(messages).join(QLatin1Char('\n')).contains(QStringLiteral("longer than 256 bytes")));

        QSignalSpy closed(instance, SIGNAL(closed()));
        dmm->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(texts(messages).last() == QStringLiteral("Serial gauge disconnected."));
        QVERIFY(texts(messages).contains(QStringLiteral("Lines from the gauge that were dropped while connected: 5.")));
    }

    void downloadWithProgress()
    {
        PtyGauge gauge;
        writeSettings("port=" + gauge.slavePath().toLocal8Bit() + "\nstoreRequest=READ\\r\\n\nstoreEnd=\\x04\n");
        QVERIFY(dmm->open(nullptr));
        QSignalSpy progress(instance, SIGNAL(storeGroupUpdate(int, int)));
        QSignalSpy group(instance, SIGNAL(displayStoreData(QList<DmmData *>)));
        QSignalSpy display(instance, SIGNAL(display(DmmData *)));
        QVERIFY(qobject_cast<IMyDmm *>(instance)->readStore());
        QCOMPARE(progress.count(), 0); // nothing inside the call
        QCOMPARE(gauge.received(2000), QByteArray("READ\r\n"));
        QTRY_COMPARE(progress.count(), 1);
        QCOMPARE(progress.at(0), QList<QVariant>({1, 1}));
        gauge.send("101 um\r\n102,5 um\r\n\x04" "103 um\r\n");
        QTRY_COMPARE(progress.count(), 2);
        QCOMPARE(progress.at(1), QList<QVariant>({1, 2}));
        QCOMPARE(group.count(), 1);
        const auto stored = group.at(0).at(0).value<QList<DmmData *>>();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored.at(1)->valueUm(), 102.5);
        qDeleteAll(stored);
        // What follows the marker is live again.
        QTRY_COMPARE(display.count(), 1);
        delete display.at(0).at(0).value<DmmData *>();
        dmm->close();

        // Without a request the gauge is live only: false, and the window's
        // progress is closed again.
        writeSettings("port=" + gauge.slavePath().toLocal8Bit() + "\n");
        QVERIFY(dmm->open(nullptr));
        progress.clear();
        QSignalSpy messages(instance, SIGNAL(message(QString)));
        QVERIFY(!qobject_cast<IMyDmm *>(instance)->readStore());
        QVERIFY(texts(messages).join(QString()).contains(QStringLiteral("live readings only")));
        QTRY_COMPARE(progress.count(), 1);
        QCOMPARE(progress.at(0), QList<QVariant>({1, 2}));
        dmm->close();
    }

    void pulledCable()
    {
        PtyGauge gauge;
        writeSettings("port=" + gauge.slavePath().toLocal8Bit() + "\n");
        QVERIFY(dmm->open(nullptr));
        QSignalSpy closed(instance, SIGNAL(closed()));
        QSignalSpy messages(instance, SIGNAL(message(QString)));
        gauge.closeMaster();
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dmm->isOpen());
        QVERIFY(texts(messages).last().contains(QStringLiteral("was lost")));
    }

    void portHeldOrForbidden()
    {
        PtyGauge gauge;
        writeSettings("port=" + gauge.slavePath().toLocal8Bit() + "\n");
        QSignalSpy messages(instance, SIGNAL(message(QString)));
        {
            QSerialPort other(gauge.slavePath());
            QVERIFY(other.open(QIODevice::ReadWrite));
            QVERIFY(!dmm->open(nullptr));
            QVERIFY(texts(messages).last().contains(QStringLiteral("held by another program")));
        }

        // The device file belongs to another user; as root, act as nobody.
        QVERIFY(::chmod(QFile::encodeName(gauge.slavePath()).constData(), 0600) == 0);
        const bool root = ::geteuid() == 0;
        if (root)
            QVERIFY(::seteuid(65534) == 0);
        const bool opened = dmm->open(nullptr);
        if (root)
            QVERIFY(::seteuid(0) == 0);
        if (!root && ::access(QFile::encodeName(gauge.slavePath()).constData(), R_OK | W_OK) == 0)
            QSKIP("this user may open the port whatever its mode");
        QVERIFY(!opened);
        QVERIFY(texts(messages).last().contains(QStringLiteral("dialout")));
        QVERIFY(!dmm->open(nullptr) || dmm->close());
    }
};

QTEST_GUILESS_MAIN(TestSerialGauge)
#include "tst_serialgauge.moc"
