#include "data/itemdata.h"
#include "views/tvitemmodel.h"

#include <QtTest>

#include <memory>

// The items tree model: names shown from the items, the active mark, edits.
class TestTvItemModel : public QObject
{
    Q_OBJECT

private slots:
    void rolesHaveFixedNumbers();
    void displayShowsTheItemName();
    void activeNodeIsBoldAndOrange();
    void editDataChangedOnlyForChangedEdits();
};

void TestTvItemModel::rolesHaveFixedNumbers()
{
    QCOMPARE(int(TvItemModel::ActiveRole), 257);
    QCOMPARE(int(TvItemModel::ItemDataRole), 258);
}

void TestTvItemModel::displayShowsTheItemName()
{
    TvItemModel model;
    ItemData live(QStringLiteral("Live Data"), ItemData::LiveData);
    auto *node = new QStandardItem(QStringLiteral("node text"));
    node->setData(QVariant::fromValue(&live), TvItemModel::ItemDataRole);
    model.appendRow(node);
    auto *bare = new QStandardItem(QStringLiteral("bare"));
    model.appendRow(bare);

    const QModelIndex index = model.indexFromItem(node);
    QCOMPARE(model.data(index).toString(), QStringLiteral("Live Data"));
    QCOMPARE(TvItemModel::itemAt(index), &live);
    QCOMPARE(qvariant_cast<ItemData *>(index.data(TvItemModel::ItemDataRole)), &live);

    live.setName(QStringLiteral("Renamed"));
    QCOMPARE(model.data(index).toString(), QStringLiteral("Renamed"));

    // A node without an item (the team, an inspector) shows its own text.
    QCOMPARE(model.data(model.indexFromItem(bare)).toString(), QStringLiteral("bare"));
    QVERIFY(!TvItemModel::itemAt(model.indexFromItem(bare)));
    QVERIFY(!model.data(QModelIndex()).isValid());
}

void TestTvItemModel::activeNodeIsBoldAndOrange()
{
    TvItemModel model;
    auto *plain = new QStandardItem(QStringLiteral("plain"));
    auto *styled = new QStandardItem(QStringLiteral("styled"));
    QFont stored(QStringLiteral("Serif"), 17);
    stored.setItalic(true);
    styled->setFont(stored);
    styled->setForeground(QColor(Qt::blue));
    model.appendRow(plain);
    model.appendRow(styled);
    const QModelIndex p = model.indexFromItem(plain);
    const QModelIndex s = model.indexFromItem(styled);

    QCOMPARE(model.data(p, Qt::FontRole).value<QFont>().weight(), 50);
    QCOMPARE(model.data(p, Qt::FontRole).value<QFont>().family(), QFont().family());
    QVERIFY(!model.data(p, Qt::ForegroundRole).isValid());
    QCOMPARE(model.data(s, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));

    model.setData(p, true, TvItemModel::ActiveRole);
    model.setData(s, true, TvItemModel::ActiveRole);
    QCOMPARE(model.data(p, Qt::FontRole).value<QFont>().weight(), 75);
    QCOMPARE(model.data(p, Qt::ForegroundRole).value<QColor>(), QColor(0xd5, 0x7d, 0x00));
    const QFont active = model.data(s, Qt::FontRole).value<QFont>();
    QCOMPARE(active.weight(), 75);
    QCOMPARE(active.pointSize(), 17);
    QVERIFY(active.italic());
    QCOMPARE(model.data(s, Qt::ForegroundRole).value<QColor>(), QColor(QStringLiteral("#d57d00")));

    model.setData(s, false, TvItemModel::ActiveRole);
    QCOMPARE(model.data(s, Qt::FontRole).value<QFont>().weight(), 50);
    QCOMPARE(model.data(s, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
}

void TestTvItemModel::editDataChangedOnlyForChangedEdits()
{
    TvItemModel model;
    ItemData item(QStringLiteral("Measure1"), ItemData::Measure);
    auto *node = new QStandardItem(QStringLiteral("Measure1"));
    node->setData(QVariant::fromValue(&item), TvItemModel::ItemDataRole);
    model.appendRow(node);
    const QModelIndex index = model.indexFromItem(node);
    QSignalSpy spy(&model, &TvItemModel::editDataChanged);

    QVERIFY(model.setData(index, QStringLiteral("Measure1"), Qt::EditRole));
    QCOMPARE(spy.count(), 0);
    QVERIFY(model.setData(index, true, TvItemModel::ActiveRole));
    QVERIFY(model.setData(index, QStringLiteral("Other"), Qt::DisplayRole));
    QCOMPARE(spy.count(), 0);

    QVERIFY(model.setData(index, QStringLiteral("Run"), Qt::EditRole));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QModelIndex>(), index);
    // The node's own text changed, but the display still follows the item.
    QCOMPARE(node->text(), QStringLiteral("Run"));
    QCOMPARE(model.data(index).toString(), QStringLiteral("Measure1"));
    // Compared with the display text, not with the stored one.
    QVERIFY(model.setData(index, QStringLiteral("Run"), Qt::EditRole));
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(TestTvItemModel)
#include "tst_tvitemmodel.moc"
