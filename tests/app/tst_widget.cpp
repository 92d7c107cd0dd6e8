#include "app/widget.h"
#include "device/dmmdata.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The main window's shell: form, menus, tool bars, plug-in binding,
// connection control, message list and the settings file.
class TestWidget : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;

    static QString settingsPath()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml");
    }
    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QStringList names(const QList<QAction *> &actions)
    {
        QStringList result;
        for (QAction *a : actions)
            result << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
        return result;
    }
    static QString states(Widget &w)
    {
        QString s;
        for (const char *name : {"actionConnect", "actionDisconnect", "actionStart", "actionStop"})
            s += action(w, name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
        QFile::remove(settingsPath());
    }
    void cleanup() { QFile::remove(settingsPath()); }

    void formAndTitle()
    {
        Widget w;
        QCOMPARE(w.windowTitle(), QStringLiteral("VK508M v" VK_VERSION " "));
        QCOMPARE(w.size(), QSize(1000, 600));
        const QRect desktop = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(w.pos(), QPoint((desktop.width() - 1000) / 2, (desktop.height() - 600) / 2));

        for (const char *name : {"centralWidget", "splitter_2", "widget_2", "lcd", "lcdNum", "lcdAvg", "lcdMin",
                                 "lcdMax", "lcdBasis", "lcdValue", "lcdUnit", "itemToolBar", "tvItems", "widget",
                                 "splitter", "tabWidget", "tab", "tab_2", "tv", "Histogram1", "chart", "listWidget",
                                 "menuBar", "mainToolBar", "statusBar"})
            QVERIFY2(w.findChild<QObject *>(QLatin1String(name)), name);

        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Table"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Histogram"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Chart"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Statistics"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->widget(2)->objectName(), QStringLiteral("chart"));
        QVERIFY(!tabs->tabIcon(2).isNull());

        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdValue"))->text(), QStringLiteral("00000"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdUnit"))->text(), QString::fromUtf8("μm"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdBasis"))->text(), QStringLiteral("Fe"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdNum"))->text(), QStringLiteral("Num:0"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdMax"))->text(), QStringLiteral("Max:0"));
    }

    void menusAndToolBar()
    {
        Widget w;
        const QList<QAction *> menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Help"));
        QCOMPARE(names(menus[0]->menu()->actions()),
                 QStringList({"actionConnect", "actionDisconnect", "actionStart", "actionStop", "|", "actionImport",
                              "actionExport", "|", "actionTeamSync", "|", "actionOption", "actionClose"}));
        QCOMPARE(names(menus[1]->menu()->actions()), QStringList({"actionManual"}));
        // Without a team database set, there is nothing to sync and no state.
        QVERIFY(!w.findChild<QAction *>(QStringLiteral("actionTeamSync"))->isEnabled());
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("lblTeamState"))->isHidden());

        auto *bar = w.findChild<QToolBar *>(QStringLiteral("mainToolBar"));
        const QList<QAction *> tools = bar->actions();
        QCOMPARE(tools.size(), 12);
        QCOMPARE(names(tools.mid(0, 10)),
                 QStringList({"actionConnect", "actionDisconnect", "|", "actionStart", "actionStop", "|",
                              "actionImport", "actionExport", "|", "actionOption"}));
        QWidget *spacer = bar->widgetForAction(tools[10]);
        QVERIFY(spacer);
        QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(tools[11], action(w, "actionClose"));
        QCOMPARE(bar->iconSize(), QSize(16, 16));
        QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

        for (const char *name : {"actionConnect", "actionDisconnect", "actionOption", "actionClose", "actionStart",
                                 "actionStop", "actionImport", "actionExport", "actionManual", "actionClearMsg",
                                 "actionItemNew", "actionItemDelete", "actionItemRename", "actionItemSetToActive",
                                 "actionItemDownload", "actionItemLimits", "actionItemDetails"}) {
            QAction *a = action(w, name);
            QVERIFY2(a, name);
            QVERIFY2(!a->icon().isNull(), name);
        }
        QCOMPARE(action(w, "actionOption")->toolTip(), QStringLiteral("Options"));
        QCOMPARE(action(w, "actionDisconnect")->text(), QStringLiteral("&Disconnect"));
    }

    void actionStatesFollowThePort()
    {
        {
            Widget w;
            QCOMPARE(states(w), QStringLiteral("1000"));
        }
        gauge->setPortPresent(false);
        Widget w;
        QCOMPARE(states(w), QStringLiteral("0000"));
        gauge->emitUsbRefreshed();
        QCOMPARE(states(w), QStringLiteral("0000"));
        gauge->setPortPresent(true);
        gauge->emitUsbRefreshed();
        QCOMPARE(states(w), QStringLiteral("1000"));
    }

    void connectionStateTable()
    {
        Widget w;
        action(w, "actionConnect")->trigger();
        QCOMPARE(gauge->openCalls(), 1);
        QCOMPARE(states(w), QStringLiteral("1000")); // states follow opened()
        gauge->emitOpened();
        QCOMPARE(states(w), QStringLiteral("0110"));
        QVERIFY(!WidgetTestAccess::measuring(w));

        action(w, "actionStart")->trigger();
        QVERIFY(WidgetTestAccess::measuring(w));
        QCOMPARE(states(w), QStringLiteral("0101"));
        action(w, "actionStop")->trigger();
        QVERIFY(!WidgetTestAccess::measuring(w));
        QCOMPARE(states(w), QStringLiteral("0110"));

        // A port change while connected offers Connect again; it opens anew.
        action(w, "actionStart")->trigger();
        gauge->emitUsbRefreshed();
        QCOMPARE(states(w), QStringLiteral("1101"));
        action(w, "actionConnect")->trigger();
        QCOMPARE(gauge->openCalls(), 2);

        // closed(), whatever the cause, ends measuring.
        gauge->setLinkOpen(false);
        gauge->emitClosed();
        QCOMPARE(states(w), QStringLiteral("1000"));
        QVERIFY(!WidgetTestAccess::measuring(w));

        gauge->emitOpened();
        action(w, "actionDisconnect")->trigger();
        QCOMPARE(gauge->closeCalls(), 1);
        QCOMPARE(states(w), QStringLiteral("0110")); // states follow closed()
    }

    void failedConnect()
    {
        Widget w;
        gauge->setOpenResult(false);
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionConnect")->trigger();
        QCOMPARE(answerer.texts, QStringList({"Failed to open device."}));
        QCOMPARE(answerer.titles, QStringList({""}));
        QCOMPARE(states(w), QStringLiteral("1000"));
    }

    void messagesCollectWhileHidden()
    {
        Widget w;
        w.show();
        auto *list = w.findChild<QListWidget *>(QStringLiteral("listWidget"));
        QVERIFY(list->isHidden());
        gauge->emitMessage(QStringLiteral("first"));
        gauge->emitMessage(QStringLiteral("second"));
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("second"));
        action(w, "actionClearMsg")->trigger();
        QCOMPARE(list->count(), 0);
    }

    void readingsDeliveredAreReleased()
    {
        Widget w;
        gauge->emitDisplay(Reading::make("12.5", "um", "Fe", QDateTime::currentDateTime()));
        gauge->emitDisplay(nullptr);
        gauge->emitDisplayStore(Reading::make("12.5", "um", "Fe", QDateTime::currentDateTime()));
        gauge->emitDisplayStoreData({Reading::make("1", "um", "Fe", QDateTime()), Reading::make("2", "um", "Fe", QDateTime())});
        // LeakSanitizer reports any reading left behind.
    }

    void settingsWrittenAtClose()
    {
        {
            Widget w;
            w.show();
            w.close();
        }
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<options>\n    <Geometry>")));
        QVERIFY(text.contains(QStringLiteral("\n    <State>")));
        QVERIFY(text.endsWith(QStringLiteral("    <SceneFileName></SceneFileName>\n    <Language></Language>\n</options>\n")));
    }

    void settingsRestoredAtFirstShowOnly()
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<options><Language>zh_CN</Language><SceneFileName>/tmp/scene.png</SceneFileName></options>");
        file.close();

        Widget w;
        w.show();
        QCOMPARE(WidgetTestAccess::language(w), QStringLiteral("zh_CN"));
        QCOMPARE(WidgetTestAccess::sceneFileName(w), QStringLiteral("/tmp/scene.png"));
        WidgetTestAccess::language(w) = QStringLiteral("en_US");
        w.showMinimized();
        w.showNormal();
        QCOMPARE(WidgetTestAccess::language(w), QStringLiteral("en_US"));
    }

    // A settings file that cannot be replaced: the settings go to the
    // user's folder, and only when that cannot be made either does the
    // warning show. The old file stays whole and the window still closes.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("userFolder");
        QTest::newRow("user's folder") << true;
        QTest::newRow("nowhere") << false;
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(bool, userFolder);
        const QByteArray old = "<options><Language>zh_CN</Language></options>";
        {
            QFile file(settingsPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        if (!setImmutable(settingsPath(), true))
            QSKIP("cannot make the settings file unreplaceable on this file system");
        // No folder can be made below a plain file.
        QTemporaryDir config;
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(userFolder ? config.path() : settingsPath()));
        const auto restoreConfig = qScopeGuard([&oldConfig] {
            oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
        });
        const QString userFile = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                                 + QStringLiteral("/options.xml");

        bool closed = false;
        {
            Widget w;
            w.show();
            DialogAnswerer answerer;
            answerer.then(DialogAnswerer::press(QMessageBox::Ok));
            closed = w.close();
            setImmutable(settingsPath(), false);
            QCOMPARE(answerer.texts, userFolder ? QStringList() : QStringList({"Can not open file."}));
        }
        setImmutable(settingsPath(), false);
        QVERIFY(closed);
        QFile user(userFile);
        QCOMPARE(user.open(QIODevice::ReadOnly), userFolder);
        if (userFolder)
            QVERIFY(user.readAll().contains("<Language>zh_CN</Language>"));
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
    }

private:
    // Even root cannot replace an immutable file (ext4 and most others).
    static bool setImmutable(const QString &path, bool on)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
};

QTEST_MAIN(TestWidget)
#include "tst_widget.moc"
