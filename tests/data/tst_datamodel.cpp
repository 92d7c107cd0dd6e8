#include "data/datamodel.h"
#include "data/itemdata.h"
#include "views/readingsview.h"

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
    void showRowsOnEmptyTable();
    void showRowsAppendsAfterExistingRows();
    void readingsViewSetUp();

private:
    // Appends a reading to the item; the table shows what it is told to.
    void reading(const QString &value, const QString &unit, const QString &basis = "Fe",
                 const QDateTime &time = someTime);
    ItemData *m_item = nullptr;
    static const QDateTime someTime;
};

const QDateTime TestDataModel::someTime(QDate(2024, 3, 1), QTime(8, 5, 9));

void TestDataModel::reading(const QString &value, const QString &unit, const QString &basis, const QDateTime &time)
{
    m_item->append(ReadingFields::fromText(value, unit, basis, time), false);
}

void TestDataModel::init()
{
    m_item = new ItemData("Measure1", ItemData::Measure);
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
    reading("25.0", "um", "NFe");
    model.showRows(1);
    QCOMPARE(cell(model, 0, 2), QStringLiteral("25.0"));
    QCOMPARE(cell(model, 0, 3), QString::fromUtf8("\xce\xbcm"));
    QCOMPARE(cell(model, 0, 4), QStringLiteral("NFe"));

    m_item->setUnit(Unit::Mil);
    QCOMPARE(cell(model, 0, 2), QStringLiteral("0.98"));
    QCOMPARE(cell(model, 0, 3), QStringLiteral("mil"));

    // A reading taken in mils shows its computed micrometre text.
    m_item->setUnit(Unit::Micrometre);
    reading("12.7", "mil");
    model.showRows(2);
    QCOMPARE(cell(model, 1, 2), QStringLiteral("323"));
    QCOMPARE(cell(model, 1, 3), QString::fromUtf8("\xce\xbcm"));

    // Every cell is the item's reading as it was taken, the rare one whose
    // text the value does not give included.
    for (const char *text : {"   -OL", " 88.4", "OL", "1250"})
        reading(text, "um", QString::fromUtf8("铁基"), QDateTime());
    model.showRows(m_item->count());
    for (Unit unit : {Unit::Micrometre, Unit::Mil}) {
        m_item->setUnit(unit);
        for (int row = 0; row < model.rowCount(); ++row) {
            const ReadingSeries &r = m_item->readings();
            QCOMPARE(cell(model, row, 1), r.dateTime(row).toString("yyyy-MM-dd hh:mm:ss"));
            QCOMPARE(cell(model, row, 2), unit == Unit::Micrometre ? r.textUm(row) : r.textMil(row));
            QCOMPARE(cell(model, row, 4), r.basis(row));
        }
    }
    m_item->setUnit(Unit::Micrometre);
    QCOMPARE(cell(model, 3, 2), QStringLiteral(" 88.4"));
}

void TestDataModel::timeFormatAndRowNumbers()
{
    DataModel model;
    model.setItem(m_item);
    for (int i = 0; i < 3; ++i)
        reading(QString::number(10 * i), "um");
    model.showRows(3);
    QCOMPARE(cell(model, 0, 1), QStringLiteral("2024-03-01 08:05:09"));
    reading("1", "um", "Fe", QDateTime(QDate(2023, 12, 31), QTime(23, 59, 1)));
    model.showRows(4);
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
    reading("5", "um");
    model.showRows(1);
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
    for (const char *v : {"1", "2", "3"})
        reading(v, "um");
    model.showRows(3);

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

    // A count past the end announces and removes only the rows there are.
    reading("4", "um");
    model.showRows(4);
    QCOMPARE(cell(model, 1, 2), QStringLiteral("4"));
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
    reading("1", "um");
    reading("2", "um");
    model.showRows(2);
    model.clear();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(m_item->count(), 2);
}

void TestDataModel::showRowsOnEmptyTable()
{
    DataModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    reading("1", "um");
    QCOMPARE(model.showRows(1), 0);     // no item, no rows
    model.setItem(m_item);
    QCOMPARE(model.showRows(0), 0);
    QCOMPARE(inserted.count(), 0);

    reading("2", "um");
    QCOMPARE(model.showRows(2), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1);
    // Never more rows than the item has readings.
    QCOMPARE(model.showRows(5), 2);
    QCOMPARE(inserted.count(), 1);
}

void TestDataModel::showRowsAppendsAfterExistingRows()
{
    DataModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setItem(m_item);
    for (int i = 1; i <= 5; ++i)
        reading(QString::number(i), "um");
    model.showRows(2);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCOMPARE(model.showRows(5), 5);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(inserted.at(0).at(2).toInt(), 4);
    for (int row = 0; row < 5; ++row)
        QCOMPARE(cell(model, row, 2), QString::number(row + 1));
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
