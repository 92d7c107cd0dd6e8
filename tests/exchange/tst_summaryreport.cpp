#include "data/itemdata.h"
#include "exchange/jobsummary.h"
#include "exchange/summaryreport.h"
#include "tests/exchange/pdftesttools.h"

#include <QTemporaryDir>
#include <QtTest>

using PdfTools::pageCount;
using PdfTools::pageText;

// The summary of all items: its lines, and the PDF read back.
class TstSummaryReport : public QObject
{
    Q_OBJECT

private slots:
    void thirtyItemsOverTwoPages()
    {
        // Items 1-10 pass ISO 19840 (NDFT 100), 11-15 fail, 16-30 have no
        // rule; one more item has no readings.
        QList<ItemData *> owned;
        QList<const ItemData *> items;
        for (int i = 1; i <= 31; ++i) {
            auto *item = new ItemData(QStringLiteral("Area %1").arg(i), ItemData::Measure);
            item->setUnit(Unit::Micrometre);
            owned << item;
            items << item;
            if (i == 31)
                break;
            const char *second = i <= 10 ? "120.0" : "60.0";
            for (const char *value : {"100.0", second, "OL"})
                item->append(ReadingFields::fromText(QLatin1String(value), QStringLiteral("um"), QStringLiteral("Fe"),
                                           QDateTime::currentDateTime()),
                             true);
            ItemLimits limits;
            limits.nominal = 100;
            limits.rule = i <= 15 ? AcceptanceRule::Iso19840 : AcceptanceRule::None;
            item->setLimits(limits);
            ItemDetails details;
            details.structure = QStringLiteral("Girder %1").arg(i);
            details.inspector = QStringLiteral("Ann Lee");
            item->setDetails(details);
        }
        const JobSummary job = summarizeJob(items);
        QCOMPARE(job.rows.size(), 30);
        QCOMPARE(job.rows.first(), (QStringList{"Area 1", "Girder 1", "3", QString::fromUtf8("110.0 μm"),
                                                QString::fromUtf8("100.0 μm"), QString::fromUtf8("120.0 μm"),
                                                QString::fromUtf8("14.1 μm"), "ISO 19840", "Pass"}));
        QCOMPARE(job.rows.at(10).last(), QStringLiteral("Fail"));
        QCOMPARE(job.rows.at(20).last(), QString());
        QCOMPARE(job.passed, 10);
        QCOMPARE(job.failed, 5);
        QCOMPARE(job.notJudged, 15);
        QCOMPARE(job.inspector, QStringLiteral("Ann Lee"));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("summary.pdf"));
        QString error;
        QVERIFY2(writeSummaryReport(file, job, &error), qPrintable(error));
        QCOMPARE(pageCount(file), 2);
        QVERIFY(PdfTools::run(QStringLiteral("pdfinfo"), {file}).contains(QStringLiteral("(A4)")));
        const QString first = pageText(file, 1, true);
        const QString second = pageText(file, 2, true);
        for (const QString &page : {first, second}) {
            QVERIFY(page.contains(QStringLiteral("Summary of all items")));
            QVERIFY(page.contains(QStringLiteral("Structure and area")));
        }
        QVERIFY(first.contains(QStringLiteral("1/2")) && second.contains(QStringLiteral("2/2")));
        // Every item once, in order, across the pages.
        const QString all = (first + second).simplified();
        int at = 0;
        for (int i = 1; i <= 30; ++i) {
            at = all.indexOf(QStringLiteral("Area %1 Girder %1 3 ").arg(i), at);
            QVERIFY2(at >= 0, qPrintable(QString::number(i)));
        }
        QVERIFY(!all.contains(QStringLiteral("Area 31")));
        const QString end = second.simplified();
        QVERIFY(end.contains(QStringLiteral("Passed: 10 Failed: 5 Not judged: 15")));
        QVERIFY(end.contains(QStringLiteral("Inspector Ann Lee Date Signature")));
        qDeleteAll(owned);
    }
};

QTEST_MAIN(TstSummaryReport)
#include "tst_summaryreport.moc"
