#include "app/widget.h"
#include "data/dmmdata.h"
#include "data/itemstore.h"
#include "data/measurementdatabase.h"
#include "data/tvitemmodel.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QDateEdit>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QProcess>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

// The window with its items kept in measurements.sqlite: a restart, a
// killed program, a file that cannot be used.
class TestKeptItems : public QObject
{
    Q_OBJECT

private:
    TestDmmControl *gauge = nullptr;
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("vk508m/measurements.sqlite")); }

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QTreeView *tree(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems")); }
    static QAbstractItemModel *table(Widget &w) { return w.findChild<QTableView *>(QStringLiteral("tv"))->model(); }
    static QString label(Widget &w, const char *name) { return w.findChild<QLabel *>(QLatin1String(name))->text(); }
    // Node names in tree order, the active one marked with a star.
    static QStringList nodes(Widget &w)
    {
        QStringList names;
        const QAbstractItemModel *m = tree(w)->model();
        for (int row = 0; row < m->rowCount(); ++row) {
            const QModelIndex top = m->index(row, 0);
            for (int child = -1; child < m->rowCount(top); ++child) {
                const QModelIndex node = child < 0 ? top : m->index(child, 0, top);
                names << node.data().toString() + (node.data(TvItemModel::ActiveRole).toBool() ? "*" : "");
            }
        }
        return names;
    }
    static DmmData *reading(const QString &value)
    {
        return Reading::make(value, QStringLiteral("um"), QStringLiteral("Fe"), QDateTime::currentDateTime());
    }

private slots:
    void init()
    {
        gauge = testGauge();
        gauge->reset();
        gauge->setLinkOpen(true);
    }
    void cleanup()
    {
        QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml"));
        QDir(dir.filePath(QStringLiteral("vk508m"))).removeRecursively();
    }

    // A download that does not arrive in full leaves the one before it,
    // on screen and in the file.
    void interruptedDownloadsKeepThePreviousOne()
    {
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            Widget w(&database);
            gauge->emitOpened();
            DialogAnswerer answerer;
            action(w, "actionItemDownload")->trigger();
            gauge->emitDisplayStoreData({reading("5"), reading("7")});
            gauge->emitStoreGroupUpdate(1, 2);
            QCOMPARE(table(w)->rowCount(), 2);

            // The link drops halfway.
            action(w, "actionItemDownload")->trigger();
            gauge->emitStoreGroupUpdate(2, 1);
            gauge->emitDisplayStoreData({reading("50"), reading("70"), reading("90")});
            QCOMPARE(table(w)->rowCount(), 2);
            gauge->setLinkOpen(false);
            gauge->emitClosed();
            gauge->emitStoreGroupUpdate(2, 3);
            QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:6.0"));

            // The user gives up waiting; the rest that still arrives is dropped.
            gauge->setLinkOpen(true);
            gauge->emitOpened();
            action(w, "actionItemDownload")->trigger();
            gauge->emitStoreGroupUpdate(2, 1);
            gauge->emitDisplayStore(reading("60"));
            w.findChild<QProgressDialog *>()->close();
            gauge->emitDisplayStore(reading("80"));
            gauge->emitStoreGroupUpdate(2, 3);
            QCOMPARE(table(w)->rowCount(), 2);
            QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:2"));
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        Widget w(&database);
        w.itemSetToActive(tree(w)->model()->index(0, 0));
        QTRY_COMPARE(table(w)->rowCount(), 2);
        QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:6.0"));
    }

    void restartRestoresItemsAndTheActiveOne()
    {
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            Widget w(&database);
            QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1*"}));
            gauge->emitOpened();
            action(w, "actionStart")->trigger();
            for (const char *value : {"10", "20", "30"})
                gauge->emitDisplay(reading(QLatin1String(value)));

            action(w, "actionItemDownload")->trigger();
            gauge->emitDisplayStoreData({reading("5"), reading("7")});
            gauge->emitStoreGroupUpdate(1, 2);
            w.newItem(QStringLiteral("Import1"), ItemData::Import);
            w.newItem(QStringLiteral("Gone"), ItemData::Measure);
            DialogAnswerer answerer;
            answerer.then(DialogAnswerer::press(QMessageBox::Yes));
            action(w, "actionItemDelete")->trigger();
            w.newItem(QStringLiteral("Second"), ItemData::Measure);
            answerer.then([](QWidget *dialog) {
                auto *input = qobject_cast<QInputDialog *>(dialog);
                input->setTextValue(QStringLiteral("Run 2"));
                input->accept();
            });
            action(w, "actionItemRename")->trigger();
            QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1", "Import1", "Run 2*"}));
            w.itemSetToActive(tree(w)->model()->index(0, 0, tree(w)->model()->index(1, 0)));
        }
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            Widget w(&database);
            QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1*", "Import1", "Run 2"}));
            QCOMPARE(TvItemModel::itemAt(tree(w)->model()->index(1, 0, tree(w)->model()->index(1, 0)))->type(),
                     ItemData::Import);
            QTRY_COMPARE(table(w)->rowCount(), 3);
            QCOMPARE(label(w, "lcdAvg"), QStringLiteral("Avg:20.0"));
            QVERIFY(!w.windowTitle().contains(QStringLiteral("not being kept")));

            w.itemSetToActive(tree(w)->model()->index(0, 0));
            QTRY_COMPARE(table(w)->index(1, 2).data().toString(), QStringLiteral("7"));
            QCOMPARE(label(w, "lcdNum"), QStringLiteral("Num:2"));

            // Every item deleted: the next start is a first start again.
            DialogAnswerer answerer;
            for (int i = 0; i < 3; ++i) {
                answerer.then(DialogAnswerer::press(QMessageBox::Yes));
                tree(w)->setCurrentIndex(tree(w)->model()->index(0, 0, tree(w)->model()->index(1, 0)));
                action(w, "actionItemDelete")->trigger();
            }
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        Widget w(&database);
        QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1*"}));
        QCOMPARE(TvItemModel::itemAt(tree(w)->model()->index(0, 0))->statistics()->num, 2);
    }

    // An item imported in mils is shown in mils, and so it comes back.
    void milItemComesBackInMils()
    {
        const QString csv = dir.filePath(QStringLiteral("mils.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("No.,Time,Value,Unit,Basis\r\n1,2024-03-01 08:00:00,3.50,mil,Fe\r\n"
                   "2,2024-03-01 08:00:01,3.94,mil,Fe\r\n");
        file.close();
        const QString shown = QStringLiteral("Num:2|Avg:3.72|mil|3.94|mil");
        auto readOut = [](Widget &w) {
            return QStringList{label(w, "lcdNum"), label(w, "lcdAvg"), label(w, "lcdUnit"),
                               table(w)->index(1, 2).data().toString(), table(w)->index(1, 3).data().toString()}
                .join('|');
        };
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            Widget w(&database);
            DialogAnswerer answerer;
            answerer.then(DialogAnswerer::file(csv));
            answerer.then(DialogAnswerer::press(QMessageBox::Ok));
            action(w, "actionImport")->trigger();
            WidgetTestAccess::finishWork(w);
            QTRY_COMPARE(readOut(w), shown);
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        Widget w(&database);
        QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1", "Import1*"}));
        QTRY_COMPARE(readOut(w), shown);
    }

    // Details typed into the dialog come back after a restart, on the
    // Statistics tab too; the next item took the inspector and the gauge.
    void detailsSurviveARestart()
    {
        const auto liveChild = [](Widget &w, int row) {
            return TvItemModel::itemAt(tree(w)->model()->index(row, 0, tree(w)->model()->index(1, 0)));
        };
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path()));
            Widget w(&database);
            DialogAnswerer answerer;
            answerer.then([](QWidget *dialog) {
                for (const char *name : {"edtProject", "edtInspector", "edtGaugeModel"})
                    dialog->findChild<QLineEdit *>(QLatin1String(name))->setText(QLatin1String(name).mid(3));
                dialog->findChild<QDateEdit *>(QStringLiteral("dteCalibration"))->setDate(QDate(2026, 1, 5));
                dialog->findChild<QPlainTextEdit *>(QStringLiteral("txtNotes"))->setPlainText(QStringLiteral("Dry"));
                qobject_cast<QDialog *>(dialog)->accept();
            });
            action(w, "actionItemDetails")->trigger();
            QCOMPARE(answerer.titles, QStringList{QStringLiteral("Details")});
            w.newItem(QStringLiteral("Next"), ItemData::Measure);
        }
        MeasurementDatabase database;
        QVERIFY(database.open(path()));
        Widget w(&database);
        const ItemDetails first = liveChild(w, 0)->details();
        QCOMPARE(first.project, QStringLiteral("Project"));
        QCOMPARE(first.calibration, QDate(2026, 1, 5));
        QCOMPARE(first.notes, QStringLiteral("Dry"));
        const ItemDetails next = liveChild(w, 1)->details();
        QCOMPARE(next, first.carriedOver());
        QVERIFY(next.project.isEmpty() && next.inspector == QLatin1String("Inspector"));

        w.itemSetToActive(tree(w)->model()->index(0, 0, tree(w)->model()->index(1, 0)));
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentWidget(w.findChild<QWidget *>(QStringLiteral("tabStatistics")));
        QTRY_COMPARE(label(w, "statisticsDetails"), QStringLiteral("Project: Project\nGauge: GaugeModel\n"
                                                                   "Calibrated or verified: 2026-01-05\n"
                                                                   "Inspector: Inspector\nNotes: Dry"));
    }

    void killedProgramLosesNoReadingItShowed()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/window_flood"), QStringList());
        QByteArray out;
        while (out.count('\n') < 300 && program.waitForReadyRead(30000))
            out += program.readAllStandardOutput();
        program.kill();
        QVERIFY(program.waitForFinished());
        out += program.readAllStandardOutput();

        const QList<QByteArray> rows = out.left(out.lastIndexOf('\n')).split('\n');
        QVERIFY(rows.size() >= 300);
        MeasurementDatabase database;
        QVERIFY2(database.open(path()), qPrintable(database.problem()));
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        store.restore(&database);
        ItemData *measure = store.items().value(0);
        store.setActive(measure);
        QVERIFY(measure->count() >= rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows.at(i).toInt(), i);
            QCOMPARE(measure->readings().textUm(i), QString::number(i / 10.0, 'f', 1));
        }
    }

    void unusableFileLeavesTheItemsInMemory()
    {
        MeasurementDatabase holder;
        QVERIFY(holder.open(path()));
        MeasurementDatabase database;
        QVERIFY(!database.open(path()));
        Widget w(&database);
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("- measurements are not being kept")));
        auto *messages = w.findChild<QListWidget *>(QStringLiteral("listWidget"));
        QVERIFY(!messages->isHidden());
        QCOMPARE(messages->item(0)->text(), database.problem());
        QCOMPARE(nodes(w), QStringList({"Store Data", "Live Data", "Measure1*"}));
        gauge->emitOpened();
        action(w, "actionStart")->trigger();
        gauge->emitDisplay(reading("10"));
        QTRY_COMPARE(table(w)->rowCount(), 1);
    }
};

QTEST_MAIN(TestKeptItems)
#include "tst_keptitems.moc"
