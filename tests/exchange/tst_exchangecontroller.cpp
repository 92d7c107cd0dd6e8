#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "data/activeitemview.h"
#include "data/datamodel.h"
#include "data/itemscontroller.h"
#include "data/itemstore.h"
#include "data/statisticsview.h"
#include "exchange/exchangecontroller.h"
#include "tests/support/dialoganswerer.h"

#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

// Import and export on a store, its tree and its views, without a window.
class TestExchangeController : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    struct Setup
    {
        ItemStore store{QStringLiteral("Store Data"), QStringLiteral("Live Data")};
        QWidget window;
        QTreeView *tree = new QTreeView(&window);
        QTabWidget *tabs = new QTabWidget(&window);
        QTableView *table = new QTableView;
        Histogram *histogram = new Histogram;
        DMMChart *chart = new DMMChart;
        StatisticsView *statistics = new StatisticsView;
        QLabel labels[7];
        ActiveItemView *view = nullptr;
        ItemsController items{&store, tree};
        ExchangeController *exchange = nullptr;

        Setup()
        {
            for (QWidget *page : std::initializer_list<QWidget *>{table, histogram, chart, statistics})
                tabs->addTab(page, QString());
            view = new ActiveItemView(&store, {tabs, table, histogram, chart, statistics, statistics, &labels[0],
                                               &labels[1], &labels[2], &labels[3], &labels[4], &labels[5],
                                               &labels[6]});
            exchange = new ExchangeController(&store, &items, view, &window);
            items.activateFirst(nullptr);
        }
        ~Setup()
        {
            delete exchange;
            delete view;
        }
    };

private slots:
    void importMakesTheActiveItemAndExportWritesItsTable()
    {
        Setup setup;
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(QStringLiteral(VK_TESTDATA) + QStringLiteral("/import/de-DE-resaved.csv")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        setup.exchange->importReadings();
        QTRY_COMPARE(answerer.count(), 2);
        QTRY_VERIFY(!setup.exchange->isBusy());
        QVERIFY(answerer.texts.at(1).contains(QStringLiteral("rejected: 2")));

        ItemData *imported = setup.store.activeItem();
        QCOMPARE(imported->name(), QStringLiteral("Import1"));
        QCOMPARE(imported->type(), ItemData::Import);
        QCOMPARE(setup.view->readings()->rowCount(), 3);
        QCOMPARE(setup.histogram->valueCount(), 3);
        QVERIFY(setup.tree->isEnabled());

        // The table as shown goes out as CSV, header first.
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        answerer.then([&csv](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            fileDialog->selectNameFilter(fileDialog->nameFilters().filter(QStringLiteral("csv")).value(0));
            DialogAnswerer::pick(fileDialog, csv);
            static_cast<QDialog *>(fileDialog)->accept();
        });
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        setup.exchange->exportReadings();
        QTRY_COMPARE(answerer.texts.value(3), QStringLiteral("The datas is exported successfully."));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.value(0), QByteArray("\xEF\xBB\xBFNo.,Time,Value,Unit,Basis\r"));
        QVERIFY(lines.value(1).contains(",12.5,"));
        QCOMPARE(lines.size(), 5); // header, three rows, the last line's end
    }

    void summaryWithoutReadingsIsRefused()
    {
        Setup setup;
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("summary.pdf"))));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        setup.exchange->exportSummary();
        QTRY_COMPARE(answerer.texts.value(1), QStringLiteral("The datas is exported failed.\nNo item has readings."));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("summary.pdf"))));
    }
};

QTEST_MAIN(TestExchangeController)
#include "tst_exchangecontroller.moc"
