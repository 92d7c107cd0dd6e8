#include "app/widget.h"
#include "data/dmmdata.h"
#include "data/itemdata.h"
#include "data/tvitemmodel.h"
#include "data/readingstable.h"
#include "exchange/dlgexport.h"
#include "exchange/tablefile.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

// Export and import as the user runs them: the export dialog, the file
// dialogs, the messages, the files left behind.
class TestExchangeCommands : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;
    QTemporaryDir dir;

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QAbstractItemModel *tree(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems"))->model(); }
    static QAbstractItemModel *table(Widget &w) { return w.findChild<QTableView *>(QStringLiteral("tv"))->model(); }

    // Picks a choice in the export dialog (and a scene name), then OK.
    static DialogAnswerer::Handler choose(const char *radio, const QString &scene = QString())
    {
        return [radio, scene](QWidget *dialog) {
            auto *exportDialog = qobject_cast<dlgExport *>(dialog);
            if (!exportDialog)
                return DialogAnswerer::closeDialog(dialog);
            exportDialog->findChild<QRadioButton *>(QLatin1String(radio))->setChecked(true);
            if (!scene.isNull())
                exportDialog->findChild<QLineEdit *>(QStringLiteral("edtSceneName"))->setText(scene);
            exportDialog->accept();
        };
    }
    static void fill(Widget &w, const QStringList &values, const QString &unit)
    {
        ItemData *item = WidgetTestAccess::currentItem(w);
        for (int i = 0; i < values.size(); ++i)
            item->append(ReadingFields::fromText(values[i], unit, QString::fromUtf8("铁基"),
                                       QDateTime(QDate(2024, 3, 1), QTime(8, 5, i))),
                         true);
        // Re-activate to show them.
        w.itemSetToActive(tree(w)->index(0, 0));
        w.itemSetToActive(tree(w)->index(0, 0, tree(w)->index(1, 0)));
    }

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
    }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    void cancelledExportRestoresTheCursor()
    {
        Widget w;
        DialogAnswerer answerer;
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QVERIFY(!QApplication::overrideCursor());
        answerer.then(choose("rbHistogram"));
        action(w, "actionExport")->trigger(); // the file dialog is cancelled
        WidgetTestAccess::finishWork(w);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(answerer.count(), 3);
    }

    void workbookRoundTrip()
    {
        Widget w;
        fill(w, {"88.4", "OL", "-OL", "1250"}, QStringLiteral("um"));
        DialogAnswerer answerer;
        answerer.then(choose("rbTable"));
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("readings")))); // the suffix is added
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.value(2), QStringLiteral("The datas is exported successfully."));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("readings.xls"))));

        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("readings.xls"))));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionImport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.value(4), QStringLiteral("The datas is imported successfully."));
        ItemData *imported = WidgetTestAccess::currentItem(w);
        QCOMPARE(imported->name(), QStringLiteral("Import1"));
        QCOMPARE(imported->type(), ItemData::Import);
        QCOMPARE(imported->unit(), Unit::Micrometre);
        QCOMPARE(table(w)->rowCount(), 4);
        QCOMPARE(table(w)->index(0, 1).data().toString(), QStringLiteral("2024-03-01 08:05:00"));
        QCOMPARE(table(w)->index(0, 2).data().toString(), QStringLiteral("88.4"));
        QCOMPARE(table(w)->index(1, 2).data().toString(), QStringLiteral("    OL"));
        QCOMPARE(table(w)->index(2, 2).data().toString(), QStringLiteral("   -OL"));
        QCOMPARE(table(w)->index(3, 4).data().toString(), QString::fromUtf8("铁基"));
        QCOMPARE(imported->statistics()->max, QStringLiteral("1250.0"));
        QVERIFY(!QApplication::overrideCursor());
    }

    // The table as .xlsx (by the chosen filter) and as CSV (by the name's
    // suffix), each imported again with the readings it was made from.
    void openFormatsRoundTrip()
    {
        Widget w;
        fill(w, {"88.4", "-OL", "1250"}, QStringLiteral("um"));
        DialogAnswerer answerer;
        QStringList exportFilters, importFilters;
        auto save = [&](const QString &name, const QString &filter) {
            return [=, &exportFilters](QWidget *dialog) {
                auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
                exportFilters = fileDialog->nameFilters();
                fileDialog->selectNameFilter(filter);
                DialogAnswerer::pick(fileDialog, dir.filePath(name));
                static_cast<QDialog *>(fileDialog)->accept();
            };
        };
        answerer.then(choose("rbTable"));
        answerer.then(save(QStringLiteral("open"), QStringLiteral("Excel Workbook(*.xlsx)")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        answerer.then(choose("rbTable"));
        answerer.then(save(QStringLiteral("open.csv"), QStringLiteral("Excel File(*.xls)")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(exportFilters, (QStringList{"Excel File(*.xls)", "Excel Workbook(*.xlsx)", "CSV File(*.csv)"}));
        QFile xlsx(dir.filePath(QStringLiteral("open.xlsx"))), csv(dir.filePath(QStringLiteral("open.csv")));
        QVERIFY(xlsx.open(QIODevice::ReadOnly) && csv.open(QIODevice::ReadOnly));
        QVERIFY(xlsx.read(4) == "PK\x03\x04");
        QVERIFY(csv.readLine().endsWith("No.,Time,Value,Unit,Basis\r\n"));

        for (const char *name : {"open.xlsx", "open.csv"}) {
            answerer.then([&, name](QWidget *dialog) {
                auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
                importFilters = fileDialog->nameFilters();
                DialogAnswerer::pick(fileDialog, dir.filePath(QLatin1String(name)));
                static_cast<QDialog *>(fileDialog)->accept();
            });
            answerer.then(DialogAnswerer::press(QMessageBox::Ok));
            action(w, "actionImport")->trigger();
            WidgetTestAccess::finishWork(w);
            QCOMPARE(answerer.texts.last(), QStringLiteral("The datas is imported successfully."));
            QCOMPARE(table(w)->rowCount(), 3);
            QCOMPARE(table(w)->index(0, 1).data().toString(), QStringLiteral("2024-03-01 08:05:00"));
            QCOMPARE(table(w)->index(1, 2).data().toString(), QStringLiteral("   -OL"));
            QCOMPARE(table(w)->index(2, 4).data().toString(), QString::fromUtf8("铁基"));
            QCOMPARE(WidgetTestAccess::currentItem(w)->statistics()->max, QStringLiteral("1250.0"));
        }
        QCOMPARE(importFilters.value(0), QStringLiteral("All workbooks (*.xls *.xlsx *.csv)"));
        QCOMPARE(importFilters.mid(1), exportFilters);
    }

    void importNaming()
    {
        Widget w;
        for (const char *name : {"Import1", "Import2", "Imported", "import1"})
            w.newItem(QLatin1String(name), ItemData::Import);
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(QStringLiteral(VK_TESTDATA) + QStringLiteral("/workbooks/lo-layout.xls")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionImport")->trigger();
        WidgetTestAccess::finishWork(w);
        ItemData *imported = WidgetTestAccess::currentItem(w);
        QCOMPARE(imported->name(), QStringLiteral("Import4"));
        // The readings of a workbook written by another program.
        QCOMPARE(imported->count(), 6);
        QCOMPARE(imported->statistics()->num, 6);
        QCOMPARE(imported->statistics()->avg, QStringLiteral("237.8"));
        QCOMPARE(imported->statistics()->max, QStringLiteral("1250.0"));
    }

    // A long import leaves the window turning: its timers tick, the
    // progress dialog comes with Cancel, and Cancel leaves no item.
    void longImportKeepsTheWindowTurning()
    {
        const QString path = dir.filePath(QStringLiteral("long.csv"));
        {
            ReadingSeries readings;
            for (int i = 0; i < 300000; ++i)
                readings.appendText(QString::number(100 + i % 400 / 10.0, 'f', 1), QStringLiteral("um"),
                                    QStringLiteral("Fe"), QDateTime(QDate(2026, 3, 2), QTime(9, 0)).addSecs(i));
            QVERIFY(TableFile::write(path, TableFile::Format::Csv, ReadingsTable(readings, Unit::Micrometre), nullptr,
                                     nullptr));
        }
        Widget w;
        w.show();
        const int before = tree(w)->rowCount(tree(w)->index(1, 0));
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(10);
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(path));
        action(w, "actionImport")->trigger();
        const int ticksBefore = ticks;
        QProgressDialog *progress = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((progress = w.findChild<QProgressDialog *>()) && progress->isVisible(), 60000);
        QVERIFY(ticks > ticksBefore);
        QTRY_VERIFY(progress->labelText().contains(QStringLiteral(" of ")));
        progress->findChild<QPushButton *>()->click();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(tree(w)->rowCount(tree(w)->index(1, 0)), before);
        QCOMPARE(answerer.count(), 1);  // the file dialog, and no message
    }

    void unreadableWorkbookMakesNoItem()
    {
        Widget w;
        const int before = tree(w)->rowCount(tree(w)->index(1, 0));
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(QStringLiteral(VK_TESTDATA) + QStringLiteral("/workbooks/corrupted_error.xls")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionImport")->trigger();
        WidgetTestAccess::finishWork(w);
        QVERIFY(answerer.texts.value(1).startsWith(QStringLiteral("The datas is imported failed.")));
        QCOMPARE(tree(w)->rowCount(tree(w)->index(1, 0)), before);
        QVERIFY(w.findChild<QTreeView *>(QStringLiteral("tvItems"))->isEnabled());
    }

    // Refused rows are counted in the message; a file without readings
    // makes no item.
    void refusedRowsAreReported()
    {
        Widget w;
        const int before = tree(w)->rowCount(tree(w)->index(1, 0));
        QFile headerOnly(dir.filePath(QStringLiteral("header.csv")));
        QVERIFY(headerOnly.open(QIODevice::WriteOnly) && headerOnly.write("No.,Time,Value,Unit,Basis\r\n,,,,\r\n") > 0);
        headerOnly.close();
        DialogAnswerer answerer;
        answerer.then(DialogAnswerer::file(headerOnly.fileName()));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionImport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.value(1), QStringLiteral("The datas is imported failed.\n"
                                                         "Rows imported: 0; skipped as blank: 0; rejected: 0."));
        QCOMPARE(tree(w)->rowCount(tree(w)->index(1, 0)), before);

        answerer.then(DialogAnswerer::file(QStringLiteral(VK_TESTDATA) + QStringLiteral("/import/de-DE-resaved.csv")));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionImport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.value(3), QStringLiteral("The datas is imported failed.\n"
                                                         "Rows imported: 3; skipped as blank: 0; rejected: 2.\n"
                                                         "row 5: value is not a number\nrow 6: time cannot be read"));
        QCOMPARE(WidgetTestAccess::currentItem(w)->count(), 3);
        QCOMPARE(table(w)->index(0, 2).data().toString(), QStringLiteral("12.5"));
    }

    void tooManyRowsAreRefused()
    {
        Widget w;
        ReadingSeries readings;
        for (int i = 0; i < 65536; ++i)
            readings.appendText(QStringLiteral("1"), QStringLiteral("um"), QStringLiteral("Fe"), QDateTime());
        WidgetTestAccess::currentItem(w)->append(readings, true);
        w.itemSetToActive(tree(w)->index(0, 0));
        w.itemSetToActive(tree(w)->index(0, 0, tree(w)->index(1, 0)));
        QCOMPARE(table(w)->rowCount(), 65536);

        DialogAnswerer answerer;
        answerer.then(choose("rbTable"));
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("big.xls"))));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        const QString message = answerer.texts.value(2);
        QVERIFY2(message.startsWith(QStringLiteral("The datas is exported failed.\n")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("65535")), qPrintable(message));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("big.xls"))));
    }

    void reportKeepsTheTabAndRemembersAnExistingScene()
    {
        Widget w;
        w.show();
        fill(w, {"10", "20"}, QStringLiteral("um"));
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(2);
        WidgetTestAccess::setSceneFileName(w, QStringLiteral("/remembered.png"));

        DialogAnswerer answerer;
        answerer.then(choose("rbPdf", dir.filePath(QStringLiteral("missing.png"))));
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("report"))));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.value(2), QStringLiteral("The datas is exported successfully."));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("report.pdf"))));
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(WidgetTestAccess::sceneFileName(w), QStringLiteral("/remembered.png"));

        const QString scene = dir.filePath(QStringLiteral("scene.png"));
        QImage(40, 30, QImage::Format_RGB32).save(scene);
        answerer.then(choose("rbPdf", scene));
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("report2.pdf"))));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(WidgetTestAccess::sceneFileName(w), scene);
        QVERIFY(!QApplication::overrideCursor());
    }

    void reportToAnUnwritablePlaceFails()
    {
        Widget w;
        DialogAnswerer answerer;
        const QString target = dir.filePath(QStringLiteral("no/such/folder/report.pdf"));
        answerer.then(choose("rbPdf"));
        answerer.then(DialogAnswerer::file(target));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QVERIFY(answerer.texts.value(answerer.count() - 1).startsWith(QStringLiteral("The datas is exported failed.")));
        QVERIFY(!QFile::exists(target));
    }

    void summaryOfAllItems()
    {
        Widget w;
        DialogAnswerer answerer;
        const QString target = dir.filePath(QStringLiteral("summary.pdf"));
        answerer.then(choose("rbSummary"));
        answerer.then(DialogAnswerer::file(target));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.last(), QStringLiteral("The datas is exported failed.\nNo item has readings."));
        QVERIFY(!QFile::exists(target));

        fill(w, {"10", "20"}, QStringLiteral("um"));
        w.newItem(QStringLiteral("Deck"), ItemData::Measure);
        fill(w, {"30"}, QStringLiteral("um"));
        answerer.then(choose("rbSummary"));
        answerer.then(DialogAnswerer::file(target));
        answerer.then(DialogAnswerer::press(QMessageBox::Ok));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QCOMPARE(answerer.texts.last(), QStringLiteral("The datas is exported successfully."));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", target, "-"});
        QVERIFY(text.waitForFinished());
        const QString summary = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(summary.contains(QString::fromUtf8("Measure1 2 15.0 μm")), qPrintable(summary));
        QVERIFY(summary.contains(QString::fromUtf8("Deck 1 30.0 μm")));
    }

    void histogramPicture()
    {
        Widget w;
        w.show();
        fill(w, {"10", "300"}, QStringLiteral("um"));
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(1);
        QWidget *view = w.findChild<QWidget *>(QStringLiteral("Histogram1"));
        QTRY_VERIFY(view->isVisible());
        QCoreApplication::processEvents();

        DialogAnswerer answerer;
        answerer.then(choose("rbHistogram"));
        answerer.then(DialogAnswerer::file(dir.filePath(QStringLiteral("histogram"))));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QImage picture(dir.filePath(QStringLiteral("histogram.jpg")));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), view->size());
    }
};

QTEST_MAIN(TestExchangeCommands)
#include "tst_exchangecommands.moc"
