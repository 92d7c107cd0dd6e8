#include "app/widget.h"
#include "data/datamodel.h"
#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "views/tvitemmodel.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

// The items tree, the item commands and the active-item rule.
class TestItemsTree : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;

    static QTreeView *tree(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems")); }
    static QAbstractItemModel *model(Widget &w) { return tree(w)->model(); }
    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QModelIndex liveChild(Widget &w, int row) { return model(w)->index(row, 0, model(w)->index(1, 0)); }
    static QStringList childNames(Widget &w)
    {
        QStringList names;
        for (int row = 0; row < model(w)->rowCount(model(w)->index(1, 0)); ++row)
            names << liveChild(w, row).data().toString();
        return names;
    }
    static QStringList toolBar(Widget &w)
    {
        QStringList names;
        for (QAction *a : w.findChild<QToolBar *>(QStringLiteral("itemToolBar"))->actions())
            names << a->objectName();
        return names;
    }
    static bool isActive(const QModelIndex &index) { return index.data(TvItemModel::ActiveRole).toBool(); }

    // Answers the next name dialog with text (empty text: cancel).
    static DialogAnswerer::Handler typeName(const QString &text, QString *proposed = nullptr)
    {
        return [text, proposed](QWidget *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            if (proposed && input)
                *proposed = input->textValue();
            if (!input || text.isNull()) {
                DialogAnswerer::closeDialog(dialog);
                return;
            }
            input->setTextValue(text);
            input->accept();
        };
    }

    static void addReadings(ItemData *item, const QStringList &values, const QString &unit)
    {
        for (const QString &value : values)
            item->append(ReadingFields::fromText(value, unit, QStringLiteral("Fe"), QDateTime::currentDateTime()), true);
    }

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
    }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    void treeAtStartUp()
    {
        Widget w;
        QCOMPARE(model(w)->rowCount(), 2);
        QCOMPARE(model(w)->index(0, 0).data().toString(), QStringLiteral("Store Data"));
        QCOMPARE(model(w)->index(1, 0).data().toString(), QStringLiteral("Live Data"));
        QCOMPARE(childNames(w), QStringList({"Measure1"}));
        const QModelIndex measure1 = liveChild(w, 0);
        QVERIFY(isActive(measure1));
        QCOMPARE(measure1.data(Qt::FontRole).value<QFont>().weight(), 75);
        QCOMPARE(measure1.data(Qt::ForegroundRole).value<QColor>(), QColor(QStringLiteral("#d57d00")));
        QCOMPARE(model(w)->index(0, 0).data(Qt::FontRole).value<QFont>().weight(), 50);
        QCOMPARE(tree(w)->currentIndex(), measure1);
        QCOMPARE(toolBar(w), QStringList({"actionItemSetToActive", "actionItemRename", "actionItemNew",
                                          "actionItemDelete", "actionItemLimits", "actionItemDetails"}));
        QVERIFY(tree(w)->isHeaderHidden());
        QCOMPARE(tree(w)->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void newItemNumbering()
    {
        Widget w;
        DialogAnswerer answerer;
        QString proposed;
        answerer.then(typeName(QStringLiteral("Measure2"), &proposed));
        action(w, "actionItemNew")->trigger();
        QCOMPARE(proposed, QStringLiteral("Measure2"));
        QVERIFY(isActive(liveChild(w, 1)));
        QVERIFY(!isActive(liveChild(w, 0)));
        QCOMPARE(tree(w)->currentIndex(), liveChild(w, 1));

        answerer.then(typeName(QString(), &proposed));
        action(w, "actionItemNew")->trigger();
        QCOMPARE(proposed, QStringLiteral("Measure3"));
        QCOMPARE(childNames(w).size(), 2);

        // Measure1 renamed Run: the proposal is Measure2 again, and taken.
        tree(w)->setCurrentIndex(liveChild(w, 0));
        answerer.then(typeName(QStringLiteral("  Run  ")));
        action(w, "actionItemRename")->trigger();
        QCOMPARE(childNames(w), QStringList({"Run", "Measure2"}));
        answerer.then(typeName(QStringLiteral("Measure2"), &proposed));
        action(w, "actionItemNew")->trigger();
        QCOMPARE(proposed, QStringLiteral("Measure2"));
        QCOMPARE(childNames(w), QStringList({"Run", "Measure2", "Measure2"}));

        // Only blanks: nothing is made or renamed.
        answerer.then(typeName(QStringLiteral("   ")));
        action(w, "actionItemNew")->trigger();
        answerer.then(typeName(QStringLiteral("   ")));
        action(w, "actionItemRename")->trigger();
        QCOMPARE(childNames(w), QStringList({"Run", "Measure2", "Measure2"}));
        QCOMPARE(answerer.count(), 6);
    }

    void activation()
    {
        Widget w;
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        QVERIFY(action(w, "actionStart")->isEnabled());

        // "Live Data" can never be active.
        tree(w)->setCurrentIndex(model(w)->index(1, 0));
        action(w, "actionItemSetToActive")->trigger();
        QVERIFY(isActive(liveChild(w, 0)));
        QCOMPARE(toolBar(w), QStringList({"actionItemNew"}));

        // "Store Data" can; Start is then off, and stays off after opened().
        tree(w)->setCurrentIndex(model(w)->index(0, 0));
        QCOMPARE(toolBar(w), QStringList({"actionItemSetToActive", "actionItemDownload"}));
        action(w, "actionItemSetToActive")->trigger();
        QVERIFY(isActive(model(w)->index(0, 0)));
        QVERIFY(!isActive(liveChild(w, 0)));
        QVERIFY(!action(w, "actionStart")->isEnabled());
        gauge->emitOpened();
        QVERIFY(!action(w, "actionStart")->isEnabled());
        action(w, "actionStart")->trigger();
        QVERIFY(!WidgetTestAccess::measuring(w));

        // Activating an item shows it in micrometres, whatever it was in.
        auto *item = TvItemModel::itemAt(liveChild(w, 0));
        addReadings(item, {"2", "3"}, QStringLiteral("mil"));
        item->setUnit(Unit::Mil);
        QMetaObject::invokeMethod(tree(w), "activated", Q_ARG(QModelIndex, liveChild(w, 0)));
        QCOMPARE(item->unit(), Unit::Micrometre);
        auto *table = w.findChild<QTableView *>(QStringLiteral("tv"))->model();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->index(0, 2).data().toString(), QStringLiteral("51"));
        QCOMPARE(table->index(0, 3).data().toString(), QString::fromUtf8("μm"));
        QVERIFY(action(w, "actionStart")->isEnabled());
    }

    void deletion()
    {
        Widget w;
        DialogAnswerer answerer;
        answerer.then(typeName(QStringLiteral("Second")));
        action(w, "actionItemNew")->trigger();
        addReadings(TvItemModel::itemAt(liveChild(w, 1)), {"10", "20"}, QStringLiteral("um"));
        QMetaObject::invokeMethod(tree(w), "activated", Q_ARG(QModelIndex, liveChild(w, 0)));
        QMetaObject::invokeMethod(tree(w), "activated", Q_ARG(QModelIndex, liveChild(w, 1)));
        auto *table = w.findChild<QTableView *>(QStringLiteral("tv"))->model();
        QCOMPARE(table->rowCount(), 2);

        // No: nothing changes. Refused on the groups.
        answerer.then(DialogAnswerer::press(QMessageBox::No));
        action(w, "actionItemDelete")->trigger();
        QCOMPARE(childNames(w), QStringList({"Measure1", "Second"}));
        for (int row : {0, 1}) {
            tree(w)->setCurrentIndex(model(w)->index(row, 0));
            action(w, "actionItemDelete")->trigger();
        }
        QCOMPARE(model(w)->rowCount(), 2);

        // Deleting another item keeps the active one and its views.
        tree(w)->setCurrentIndex(liveChild(w, 0));
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        action(w, "actionItemDelete")->trigger();
        QCOMPARE(childNames(w), QStringList({"Second"}));
        QVERIFY(isActive(liveChild(w, 0)));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lcdNum"))->text(), QStringLiteral("Num:2"));

        // Deleting the only item leaves no active item and empty views.
        tree(w)->setCurrentIndex(liveChild(w, 0));
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        action(w, "actionItemDelete")->trigger();
        QVERIFY(childNames(w).isEmpty());
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(!WidgetTestAccess::currentItem(w));
        QCOMPARE(answerer.texts.value(1), QStringLiteral("Are you sure delete this item?"));
    }

    void deletingTheActiveCurrentItemActivatesTheNewCurrent()
    {
        Widget w;
        DialogAnswerer answerer;
        answerer.then(typeName(QStringLiteral("Second")));
        action(w, "actionItemNew")->trigger();
        tree(w)->setCurrentIndex(liveChild(w, 0));
        QMetaObject::invokeMethod(tree(w), "activated", Q_ARG(QModelIndex, liveChild(w, 0)));
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        action(w, "actionItemDelete")->trigger();
        QCOMPARE(childNames(w), QStringList({"Second"}));
        QCOMPARE(WidgetTestAccess::currentItem(w), TvItemModel::itemAt(tree(w)->currentIndex()));
        QVERIFY(isActive(tree(w)->currentIndex()));
    }

    void contextMenusFollowTheCurrentNode()
    {
        Widget w;
        w.show();
        DialogAnswerer answerer;
        tree(w)->setCurrentIndex(model(w)->index(0, 0));
        QContextMenuEvent onOtherNode(QContextMenuEvent::Mouse, QPoint(5, 40), tree(w)->mapToGlobal(QPoint(5, 40)));
        QApplication::sendEvent(tree(w), &onOtherNode);
        QCOMPARE(answerer.menus, QList<QStringList>({{"actionItemSetToActive", "actionItemDownload"}}));

        QContextMenuEvent onTable(QContextMenuEvent::Mouse, QPoint(5, 5));
        auto *table = w.findChild<QTableView *>(QStringLiteral("tv"));
        QApplication::sendEvent(table, &onTable);
        QCOMPARE(answerer.menus.size(), 1);
    }
};

QTEST_MAIN(TestItemsTree)
#include "tst_itemstree.moc"
