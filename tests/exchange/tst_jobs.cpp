#include "data/jobprogress.h"
#include "data/measurementdatabase.h"
#include "data/readingstable.h"
#include "exchange/importjob.h"
#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"
#include "exchange/tablefile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

// The long jobs as plain functions, as the window's worker runs them: each
// tells what it has done, stops when asked, and leaves nothing behind then.
class TestJobs : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // Readings scattered around 120 µm, one in forty an overload.
    static ReadingSeries scattered(int count)
    {
        QRandomGenerator random(508);
        ReadingSeries series;
        series.reserve(count);
        const QDateTime start(QDate(2026, 3, 2), QTime(9, 0));
        for (int i = 0; i < count; ++i) {
            const QString value = random.bounded(40) == 0 ? QStringLiteral("OL")
                                                          : QString::number(100 + random.bounded(400) / 10.0, 'f', 1);
            series.appendText(value, QStringLiteral("um"), QStringLiteral("Fe"), start.addMSecs(qint64(i) * 500));
        }
        return series;
    }

    // Runs a job while a watcher cancels it once a quarter is done (the
    // job runs here: a file's connection serves the thread that made it).
    template <typename Job>
    static auto cancelledAtAQuarter(JobProgress &progress, Job job)
    {
        std::atomic<bool> over{false};
        std::thread watcher([&] {
            while (!over) {
                if (progress.total() > 0 && progress.done() >= progress.total() / 4) {
                    progress.cancel();
                    return;
                }
                std::this_thread::yield();
            }
        });
        auto result = job();
        over = true;
        watcher.join();
        return result;
    }

    // The folder holds exactly these names: no temporary file is left.
    void verifyFolderHolds(const QStringList &names)
    {
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), names);
    }

    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void cleanup()
    {
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }

    void exportsCancelledLeaveNoFile_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rows");
        QTest::newRow("xls") << int(TableFile::Format::Xls) << 50000;
        QTest::newRow("xlsx") << int(TableFile::Format::Xlsx) << 50000;
        QTest::newRow("csv") << int(TableFile::Format::Csv) << 50000;
        QTest::newRow("pdf") << -1 << 5000;
    }
    void exportsCancelledLeaveNoFile()
    {
        QFETCH(int, format);
        QFETCH(int, rows);
        const ReadingsTable table(scattered(rows), Unit::Micrometre);
        PdfColumn number{QStringLiteral("No."), 2}, time{QStringLiteral("Time"), 3}, value{QStringLiteral("Value"), 3};
        const QList<PdfColumn *> columns{&number, &time, &value};
        auto write = [&](const QString &path, JobProgress &progress) {
            QString error;
            // As the export job starts its step; the report starts its own.
            progress.beginStep(QStringLiteral("Writing"), rows);
            if (format < 0)
                return writePdfReport(path, table, columns, QString(), QImage(), QImage(), ReportSummary(),
                                      ReportInspection(), &error, &progress);
            return TableFile::write(path, TableFile::Format(format), table, &error, &progress);
        };

        // An existing file stays as it was; a new name gets no file.
        const QString kept = dir.filePath(QStringLiteral("kept.out"));
        const QString fresh = dir.filePath(QStringLiteral("fresh.out"));
        {
            QFile f(kept);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier export");
        }
        for (const QString &path : {kept, fresh}) {
            JobProgress progress;
            QVERIFY(!cancelledAtAQuarter(progress, [&] { return write(path, progress); }));
            QVERIFY(progress.isCancelled());
        }
        QCOMPARE(contents(kept), QByteArray("earlier export"));
        verifyFolderHolds({QStringLiteral("kept.out")});

        // Left alone, it tells the whole way and writes the file.
        JobProgress progress;
        QVERIFY(write(fresh, progress));
        QVERIFY(progress.done() > 0);
        QVERIFY(QFileInfo(fresh).size() > 0);
    }

    void importCancelledReadsNothing()
    {
        const QString path = dir.filePath(QStringLiteral("readings.csv"));
        QVERIFY(TableFile::write(path, TableFile::Format::Csv, ReadingsTable(scattered(50000), Unit::Micrometre),
                                 nullptr, nullptr));

        JobProgress cancelled;
        const ImportOutcome stopped =
            cancelledAtAQuarter(cancelled, [&] { return importReadingsFile(path, cancelled); });
        QVERIFY(stopped.cancelled);
        QVERIFY(stopped.readings.isEmpty());

        JobProgress progress;
        const ImportOutcome outcome = importReadingsFile(path, progress);
        QVERIFY(!outcome.cancelled);
        QCOMPARE(outcome.readings.size(), 50000);
        QVERIFY(progress.done() > 0);
    }

    // A cancelled keeping of an imported item rolls back: the file holds
    // no item and no reading of it, and the next item is kept whole.
    void keepingCancelledLeavesNothing()
    {
        const QString path = dir.filePath(QStringLiteral("measurements.sqlite"));
        const ReadingSeries readings = scattered(50000);
        MeasurementDatabase::NewItem item;
        item.name = QStringLiteral("Imported");
        {
            MeasurementDatabase database;
            QVERIFY(database.open(path));
            const int before = database.keptItems().size();
            item.id = database.largestItemId() + 1;
            JobProgress progress;
            progress.beginStep(QStringLiteral("Keeping"), readings.size());
            const auto outcome =
                cancelledAtAQuarter(progress, [&] { return database.keepNewItem(item, readings, &progress); });
            QCOMPARE(outcome, MeasurementDatabase::Outcome::Cancelled);
            QCOMPARE(database.keptItems().size(), before);

            JobProgress whole;
            QCOMPARE(database.keepNewItem(item, readings, &whole), MeasurementDatabase::Outcome::Kept);
        }
        MeasurementDatabase reopened;
        QVERIFY(reopened.open(path));
        const QList<ItemKeeper::KeptItem> items = reopened.keptItems();
        QCOMPARE(std::count_if(items.begin(), items.end(),
                               [](const ItemKeeper::KeptItem &k) { return k.name == QLatin1String("Imported"); }),
                 1);
        ReadingSeries kept;
        QVERIFY(reopened.loadReadings(item.id, &kept));
        QCOMPARE(kept.size(), readings.size());
    }
};

QTEST_MAIN(TestJobs)
#include "tst_jobs.moc"
