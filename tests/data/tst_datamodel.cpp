#include "data/datamodel.h"
#include "data/itemdata.h"
#include "data/readingsview.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

// The readings table: columns, units, roles, row changes and the view set-up.
class TestDataModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyTableHasOnlyHeaders();
    void columnsFollowTheItemUnit();
    void timeFormatAndRowNumbers();
    void rolesAndOutOfRange();
    void removeRows();
    void clearOnEmptyEmitsNothing();
    void setDatasOnEmptyTable();
    void setDatasAppendsAfterExistingRows();
    void readingsViewSetUp();

private:
    DmmData *reading(const QString &value, const QString &unit, const QString &basis = "Fe");
    ItemData *m_item = nullptr;
};

static const QDateTime someTime(QDate(2024, 3, 1), QTime(8, 5, 9));

DmmData *TestDataModel::reading(const QString &value, const QString &unit, const QString &basis)
{
    DmmData *r = Reading::make(value, unit, basis, someTime);
    m_item->append(r, false); // the item owns it; the table only refers to it
    return r;
}

void TestDataModel::init()
{
    m_item = new ItemData("Measure1", ItemData::Measure);
    m_item->setUnit("um");
}

void TestDataModel::cleanup()
{
    delete m_item;
    m_item = nullptr;
}

static QString cell(const DataModel &model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

void TestDataModel::emptyTableHasOnlyHeaders()
{
    DataModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), 5);
    const QStringList headers = {"NO.", "Time", "Value", "Unit", "Basis"};
    for (int section = 0; section < 5; ++section) {
        QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), headers.at(section));
        QVERIFY(!model.headerData(section, Qt::Horizontal, Qt::ToolTipRole).isValid());
        QVERIFY(!model.headerData(section, Qt::Vertical).isValid());
    }
    QVERIFY(!model.headerData(5, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(-1, Qt::Horizontal).isValid());
}

void TestDataModel::columnsFollowTheItemUnit()
{
    DataModel model;
    model.setItem(m_item);
    model.append(reading("25.0", "um", "NFe"));
    QCOMPARE(cell(model, 0, 2), QStringLiteral("25.0"));
    QCOMPARE(cell(model, 0, 3), QString::fromUtf8("\xce\xbcm"));
    QCOMPARE(cell(model, 0, 4), QStringLiteral("NFe"));

    m_item->setUnit("mil");
    QCOMPARE(cell(model, 0, 2), QStringLiteral("0.98"));
    QCOMPARE(cell(model, 0, 3), QStringLiteral("mil"));

    // Case matters: "UM" is not micrometres and is shown as it is.
    m_item->setUnit("UM");
    QCOMPARE(cell(model, 0, 2), QStringLiteral("0.98"));
    QCOMPARE(cell(model, 0, 3), QStringLiteral("UM"));

    // A reading taken in mils shows its computed micrometre text.
    m_item->setUnit("um");
    model.append(reading("12.7", "mil"));
    QCOMPARE(cell(model, 1, 2), QStringLiteral("323"));
    QCOMPARE(cell(model, 1, 3), QString::fromUtf8("\xce\xbcm"));
}

void TestDataModel::timeFormatAndRowNumbers()
{
    DataModel model;
    model.setItem(m_item);
    for (int i = 0; i < 3; ++i)
        model.append(reading(QString::number(10 * i), "um"));
    QCOMPARE(cell(model, 0, 1), QStringLiteral("2024-03-01 08:05:09"));
    DmmData *evening = reading("1", "um");
    evening->setDateTime(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1)));
    model.append(evening);
    QCOMPARE(cell(model, 3, 1), QStringLiteral("2023-12-31 23:59:01"));

    for (int row = 0; row < 4; ++row) {
        const QVariant number = model.data(model.index(row, 0));
        QCOMPARE(number.userType(), int(QMetaType::Int));
        QCOMPARE(number.toInt(), row + 1);
    }
    model.removeRows(0, 1);
    QCOMPARE(model.data(model.index(0, 0)).toInt(), 1);
    QCOMPARE(cell(model, 0, 2), QStringLiteral("10"));
}

void TestDataModel::rolesAndOutOfRange()
{
    DataModel model;
    model.setItem(m_item);
    model.append(reading("5", "um"));
    for (int column = 0; column < 5; ++column) {
        const QModelIndex index = model.index(0, column);
        QCOMPARE(model.data(index, Qt::TextAlignmentRole).toInt(), 132);
        QVERIFY(!model.data(index, Qt::EditRole).isValid());
        QVERIFY(!model.data(index, Qt::ToolTipRole).isValid());
        QVERIFY(!model.data(index, Qt::UserRole).isValid());
        QVERIFY(!(model.flags(index) & Qt::ItemIsEditable));
        QVERIFY(model.flags(index) & Qt::ItemIsSelectable);
        if (column > 0)
            QCOMPARE(model.data(index).userType(), int(QMetaType::QString));
    }
    QVERIFY(!model.data(QModelIndex()).isValid());
    QVERIFY(!model.data(model.index(1, 0)).isValid());
    QVERIFY(!model.data(model.index(0, 5)).isValid());
    QVERIFY(!model.setData(model.index(0, 2), "7"));
}

void TestDataModel::removeRows()
{
    // No model tester here: it expects the row after a removal to keep its
    // data, but row numbers are positions and move up with it.
    DataModel model;
    model.setItem(m_item);
    DmmData *third = nullptr;
    for (const char *v : {"1", "2", "3"})
        model.append(third = reading(v, "um"));

    QVERIFY(!model.removeRows(3, 1));
    QCOMPARE(model.rowCount(), 3);

    QSignalSpy renumbered(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.removeRows(0, 2));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(renumbered.count(), 1);
    QCOMPARE(renumbered.at(0).at(0).value<QModelIndex>(), model.index(0, 0));
    QCOMPARE(renumbered.at(0).at(1).value<QModelIndex>(), model.index(0, 0));
    QCOMPARE(cell(model, 0, 2), QStringLiteral("3"));
    QCOMPARE(model.data(model.index(0, 0)).toInt(), 1);
    QCOMPARE(m_item->count(), 3); // readings are not deleted
    Q_UNUSED(third)

    // A count past the end announces and removes only the rows there are.
    model.append(reading("4", "um"));
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QVERIFY(model.removeRows(1, 10));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(renumbered.count(), 1); // nothing after the removed rows
    QVERIFY(!model.removeRows(0, 0));
    QVERIFY(!model.removeRows(-1, 1));
}

void TestDataModel::clearOnEmptyEmitsNothing()
{
    DataModel model;
    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.clear();
    QCOMPARE(aboutToRemove.count() + removed.count() + reset.count() + changed.count(), 0);

    model.setItem(m_item);
    model.append(reading("1", "um"));
    model.append(reading("2", "um"));
    model.clear();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(m_item->count(), 2);
}

void TestDataModel::setDatasOnEmptyTable()
{
    DataModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setItem(m_item);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCOMPARE(model.setDatas({}), 0);
    QCOMPARE(inserted.count(), 0);

    reading("1", "um");
    reading("2", "um");
    QCOMPARE(model.setDatas(m_item->datas()), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1);

    // Live readings keep arriving in both the item and the table.
    DmmData *next = reading("3", "um");
    model.append(next);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(cell(model, 2, 2), QStringLiteral("3"));
    QCOMPARE(m_item->count(), 3);
}

void TestDataModel::setDatasAppendsAfterExistingRows()
{
    DataModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setItem(m_item);
    model.append(reading("1", "um"));
    model.append(reading("2", "um"));

    const QList<DmmData *> group = {reading("3", "um"), reading("4", "um"), reading("5", "um")};
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCOMPARE(model.setDatas(group), 5);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(inserted.at(0).at(2).toInt(), 4);
    for (int row = 0; row < 5; ++row)
        QCOMPARE(cell(model, row, 2), QString::number(row + 1));
    QCOMPARE(model.setDatas({}), 5);
}

void TestDataModel::readingsViewSetUp()
{
    DataModel model;
    QTableView view;
    setupReadingsView(&view, &model);
    QCOMPARE(view.model(), &model);
    QCOMPARE(view.horizontalHeader()->defaultAlignment(), Qt::Alignment(Qt::AlignCenter));
    QVERIFY(!view.horizontalHeader()->sectionsClickable());
    QCOMPARE(view.selectionBehavior(), QAbstractItemView::SelectRows);
    // Without rows each column is as wide as its header text needs.
    for (int column = 0; column < 5; ++column)
        QCOMPARE(view.columnWidth(column), view.horizontalHeader()->sectionSizeHint(column));
}

QTEST_MAIN(TestDataModel)
#include "tst_datamodel.moc"
