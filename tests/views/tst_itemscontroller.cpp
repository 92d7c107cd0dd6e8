#include "views/itemscontroller.h"
#include "data/itemstore.h"
#include "views/tvitemmodel.h"
#include "tests/support/dialoganswerer.h"

#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

// The items tree and its commands on a store and a bare tree view.
class TestItemsController : public QObject
{
    Q_OBJECT

private:
    static QStringList activeNames(const ItemsController &items)
    {
        QStringList names;
        for (const QModelIndex &node : items.itemNodes()) {
            if (node.data(TvItemModel::ActiveRole).toBool())
                names << node.data().toString();
        }
        return names;
    }

private slots:
    void firstStartMakesOneActiveMeasureItem()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        QTreeView tree;
        ItemsController items(&store, &tree);
        QSignalSpy current(&items, &ItemsController::currentNodeChanged);
        items.activateFirst(nullptr);

        QCOMPARE(store.items().size(), 1);
        QCOMPARE(store.activeItem()->name(), QStringLiteral("Measure1"));
        QCOMPARE(activeNames(items), QStringList{QStringLiteral("Measure1")});
        QCOMPARE(TvItemModel::itemAt(tree.currentIndex()), store.activeItem());
        QVERIFY(!current.isEmpty());

        // "Live Data" is never active; "Store Data" is, and takes the mark.
        items.setToActive(items.model()->index(1, 0));
        QCOMPARE(store.activeItem()->name(), QStringLiteral("Measure1"));
        items.activateStoreData();
        QCOMPARE(store.activeItem(), store.storeItem());
        QCOMPARE(activeNames(items), QStringList{QStringLiteral("Store Data")});
    }

    void newItemStopsMeasuringBeforeItIsMade()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        QTreeView tree;
        ItemsController items(&store, &tree);
        items.activateFirst(nullptr);
        int itemsWhenStopped = -1;
        connect(&items, &ItemsController::measuringMustStop, this,
                [&] { itemsWhenStopped = store.items().size(); });

        items.newItem(QString(), ItemData::Measure);
        QCOMPARE(itemsWhenStopped, -1);
        items.newItem(QStringLiteral("Import1"), ItemData::Import);
        QCOMPARE(itemsWhenStopped, 1);
        QCOMPARE(store.activeItem()->name(), QStringLiteral("Import1"));
        QCOMPARE(TvItemModel::itemAt(tree.currentIndex()), store.activeItem());

        // A renamed item keeps its name from being used again.
        store.renameItem(store.items().at(0), QStringLiteral("Import3"));
        QCOMPARE(store.nextImportName(), QStringLiteral("Import4"));
    }

    void deletingTheActiveItemActivatesTheNextOrNone()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        QTreeView tree;
        ItemsController items(&store, &tree);
        items.activateFirst(nullptr);
        items.newItem(QStringLiteral("Measure2"), ItemData::Measure);
        QSignalSpy nothing(&items, &ItemsController::nothingActive);

        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        items.deleteCurrent();
        QCOMPARE(answerer.texts, QStringList{QStringLiteral("Are you sure delete this item?")});
        QCOMPARE(store.items().size(), 1);
        QCOMPARE(store.activeItem(), store.items().at(0));
        QCOMPARE(activeNames(items), QStringList{QStringLiteral("Measure1")});
        QCOMPARE(nothing.count(), 0);

        // Declined, nothing goes; the groups are never deleted.
        answerer.then(DialogAnswerer::press(QMessageBox::No));
        items.deleteCurrent();
        QCOMPARE(store.items().size(), 1);
        tree.setCurrentIndex(items.model()->index(1, 0));
        items.deleteCurrent();
        QCOMPARE(answerer.count(), 2);

        tree.setCurrentIndex(items.nodeOf(store.items().at(0)));
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        items.deleteCurrent();
        QVERIFY(store.items().isEmpty());
        QCOMPARE(store.activeItem(), nullptr);
        QCOMPARE(nothing.count(), 1);
    }
};

QTEST_MAIN(TestItemsController)
#include "tst_itemscontroller.moc"
