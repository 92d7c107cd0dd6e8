#include "app/gaugeoptionswidget.h"
#include "app/optiondialog.h"
#include "app/widget.h"
#include "device/deviceinterfaces.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/ptygauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// The window with the serial gauge installed beside the test gauge: chosen
// or not, and live readings from a pseudo-terminal into the table.
class TestSerialWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir config;

    QString gaugeFile() const { return config.filePath(QStringLiteral("tst_serialwindow/serialgauge.conf")); }

    void writeSettings(const QByteArray &lines)
    {
        QDir().mkpath(QFileInfo(gaugeFile()).absolutePath());
        QFile file(gaugeFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[serial]\n" + lines);
    }

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static bool servedBySerialGauge(Widget &w)
    {
        return qstrcmp(WidgetTestAccess::dmm(w)->signalObject()->metaObject()->className(), "SerialLineGauge") == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
    void cleanup()
    {
        QFile::remove(gaugeFile());
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml"));
    }

    void notChosenTheProgramIsAsBefore()
    {
        Widget w;
        QVERIFY(WidgetTestAccess::dmm(w) && !servedBySerialGauge(w));
        writeSettings("enabled=false\n");
        Widget again;
        QVERIFY(!servedBySerialGauge(again));
    }

    void liveReadingsReachTheTable()
    {
        PtyGauge gauge;
        QVERIFY(gauge.isValid());
        writeSettings("enabled=true\nport=" + gauge.slavePath().toLocal8Bit() + "\n");
        Widget w;
        w.show();
        QVERIFY(servedBySerialGauge(w));
        QVERIFY(action(w, "actionConnect")->isEnabled());
        action(w, "actionConnect")->trigger();
        QVERIFY(action(w, "actionDisconnect")->isEnabled());
        action(w, "actionStart")->trigger();

        gauge.send("101.5 um Fe\r\n0,5 mil NFe\r\nOL\r\n");
        QAbstractItemModel *table = w.findChild<QTableView *>(QStringLiteral("tv"))->model();
        QTRY_COMPARE(table->rowCount(), 3);
        QCOMPARE(table->index(0, 2).data().toString(), QStringLiteral("101.5"));
        QCOMPARE(table->index(1, 4).data().toString(), QStringLiteral("NFe"));
        QCOMPARE(table->index(2, 2).data().toString(), QStringLiteral("    OL"));

        // The cable pulled: disconnected, the readings stay.
        gauge.closeMaster();
        QTRY_VERIFY(!action(w, "actionDisconnect")->isEnabled());
        QVERIFY(!action(w, "actionStart")->isEnabled());
        QCOMPARE(table->rowCount(), 3);
        auto *messages = w.findChild<QListWidget *>(QStringLiteral("listWidget"));
        QVERIFY(messages->item(messages->count() - 1)->text().contains(QStringLiteral("was lost")));
    }

    // A gauge without memory: Download says so and its progress dialog
    // closes again instead of holding the window.
    void downloadFromALiveOnlyGauge()
    {
        PtyGauge gauge;
        writeSettings("enabled=true\nport=" + gauge.slavePath().toLocal8Bit() + "\n");
        Widget w;
        w.show();
        action(w, "actionConnect")->trigger();
        QVERIFY(action(w, "actionDisconnect")->isEnabled());
        action(w, "actionItemDownload")->trigger();
        QPointer<QProgressDialog> progress = w.findChild<QProgressDialog *>();
        QVERIFY(progress);
        auto *messages = w.findChild<QListWidget *>(QStringLiteral("listWidget"));
        QTRY_VERIFY(!progress || !progress->isVisible());
        QVERIFY(messages->item(messages->count() - 1)->text().contains(QStringLiteral("live readings only")));
    }

    // The gauge choice is written to its own file; switching gauges needs a
    // restart.
    void optionsKeepTheChoice()
    {
        writeSettings("enabled=true\nport=/dev/nonexistent\nbaudRate=4800\n");
        Widget w;
        DialogAnswerer answerer;
        answerer.then([](QWidget *dialog) {
            auto *options = qobject_cast<OptionDialog *>(dialog);
            QVERIFY(options && options->gauge);
            options->gauge->findChild<QComboBox *>(QStringLiteral("cbGauge"))->setCurrentIndex(0);
            options->btnOk->click();
        });
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionOption")->trigger();
        QCOMPARE(answerer.texts.value(1), QStringLiteral("Changes will take effect when you restart application."));
        QFile file(gaugeFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QVERIFY(written.startsWith("[serial]\nenabled=false\nport=/dev/nonexistent\n"));
        QVERIFY(written.contains("\nbaudRate=4800\n"));
    }
};

QTEST_MAIN(TestSerialWindow)
#include "tst_serialwindow.moc"
