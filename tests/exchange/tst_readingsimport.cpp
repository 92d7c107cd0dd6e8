#include "exchange/readingsimport.h"
#include "exchange/readingsworkbook.h"
#include "exchange/tablefile.h"
#include "exchange/xlsreader.h"
#include "exchange/xlswriter.h"
#include "tests/support/seriesfields.h"

#include "listedrows.h"

#include <QtTest>

#include <ctime>
#include <memory>

namespace {

const QStringList Header = {"No.", "Time", "Value", "Unit", "Basis"};
const char *const ReasonNames[] = {"too short", "no value", "not a number", "no unit", "unknown unit", "bad time"};

// The readings of a file, with what became of its rows.
struct Result
{
    std::unique_ptr<ReadingsImport> import;
    QList<ReadingFields> readings;
};

void importRows(SheetRows &rows, Result *result)
{
    result->import = std::make_unique<ReadingsImport>(rows);
    result->readings = fieldsOf(result->import->takeReadings());
}

void importRows(SheetRows &&rows, Result *result)
{
    importRows(rows, result);
}

bool importFile(const QString &name, Result *result, QString *error = nullptr)
{
    const std::unique_ptr<SheetRows> rows =
            TableFile::open(qEnvironmentVariable("VK_TESTDATA_DIR") + QStringLiteral("/import/") + name, error);
    if (!rows)
        return false;
    importRows(*rows, result);
    return rows->errorString().isEmpty();
}

QString describe(const ReadingFields &r)
{
    return QStringList{r.unit, r.textUm, r.textMil, QString::number(int(r.overload)),
                       r.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), r.basis}
            .join(QLatin1Char('|'));
}

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}

} // namespace

class TestReadingsImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A zone with a spring-forward hour (2024-03-31 02:00 to 03:00).
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void rowCases_data()
    {
        QTest::addColumn<QVariant>("time");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("outcome");
        const QVariant none;
        const QString um = QStringLiteral("um|125|4.92|0||Fe");
        const QString at1430 = QStringLiteral("um|125|4.92|0|2024-03-05 14:30:00|Fe");
        QTest::newRow("micro sign") << none << QVariant("125") << QString::fromUtf8("µm") << um;
        QTest::newRow("Greek mu") << none << QVariant("125") << QString::fromUtf8("μm") << um;
        QTest::newRow("blanks, case") << none << QVariant(" 125 ") << " UM " << um;
        QTest::newRow("microns") << none << QVariant("125") << "Microns" << um;
        QTest::newRow("mils") << none << QVariant("5") << " Mils" << "mil|127|5|0||Fe";
        QTest::newRow("thou") << none << QVariant("5") << "THOU" << "mil|127|5|0||Fe";
        QTest::newRow("number cell") << none << QVariant(88.4) << "um" << "um|88.4|3.48|0||Fe";
        QTest::newRow("decimal comma") << none << QVariant("12,5") << "um" << "um|12.5|0.49|0||Fe";
        QTest::newRow("ol") << none << QVariant(" ol ") << "um" << "um|    OL|    OL|1||Fe";
        QTest::newRow("-Ol") << none << QVariant("-Ol") << "mil" << "mil|   -OL|   -OL|-1||Fe";
        QTest::newRow("unit mm") << none << QVariant("125") << "mm" << "unknown unit";
        QTest::newRow("unit missing") << none << QVariant("125") << "" << "no unit";
        for (const char *text : {"n/a", "#N/A", "#NULL!", "#VALUE!", "nan", "inf", "12,5,0", "OL1"})
            QTest::newRow(text) << none << QVariant(text) << "um" << "not a number";
        QTest::newRow("blank") << none << none << "" << "skipped";
        QTest::newRow("blank texts") << QVariant("  ") << QVariant("") << "um" << "skipped";
        QTest::newRow("time only") << QVariant("2024-03-05 14:30:00") << none << "um" << "no value";
        QTest::newRow("en-US") << QVariant("3/5/2024 14:30") << QVariant("125") << "um" << at1430;
        QTest::newRow("en-US 12 h") << QVariant("3/5/2024 2:30 PM") << QVariant("125") << "um" << at1430;
        QTest::newRow("de-DE") << QVariant("05.03.2024 14:30:00") << QVariant("125") << "um" << at1430;
        QTest::newRow("month 13") << QVariant("13/13/2024 10:00") << QVariant("125") << "um" << "bad time";
        QTest::newRow("words") << QVariant("yesterday") << QVariant("125") << "um" << "bad time";
        QTest::newRow("serial") << QVariant(45356.6) << QVariant("125") << "um" << "bad time";
        QTest::newRow("gap, late") << QVariant("2024-03-31 02:30:00") << QVariant("125") << "um"
                                   << "um|125|4.92|0|2024-03-31 03:00:00|Fe";
        QTest::newRow("gap, early") << QVariant("31.03.2024 02:10") << QVariant("125") << "um"
                                    << "um|125|4.92|0|2024-03-31 01:59:59|Fe";
    }

    void rowCases()
    {
        QFETCH(QVariant, time);
        QFETCH(QVariant, value);
        QFETCH(QString, unit);
        QFETCH(QString, outcome);
        Result result;
        importRows(ListedRows({QVariantList(Header.cbegin(), Header.cend()), {1, time, value, unit, "Fe"}}),
                   &result);
        QString got = result.import->skipped() ? QStringLiteral("skipped") : QString();
        for (int reason = 0; reason < 6; ++reason)
            if (result.import->rejectedFor(ReadingsImport::Reason(reason)))
                got = QLatin1String(ReasonNames[reason]);
        if (!result.readings.isEmpty())
            got = describe(result.readings.first());
        QCOMPARE(got, outcome);
    }

    // The order of day and month is one for the file, taken from the dates
    // only one order reads.
    void dayOrderPerFile()
    {
        Result result;
        importRows(ListedRows({QVariantList(Header.cbegin(), Header.cend()),
                                    {1, "05/03/2024 10:00", "1", "um", ""},
                                    {2, "25/03/2024 10:00", "2", "um", ""},
                                    {3, "13/03/2024 10:00", "3", "um", ""},
                                    {4, "3/25/2024 10:00", "4", "um", ""}}),
                   &result);
        QCOMPARE(result.readings.size(), 3);
        QCOMPARE(result.readings.at(0).time, at(5, 10, 0));
        QCOMPARE(result.import->report(), QStringLiteral("Rows imported: 3; skipped as blank: 0; rejected: 1.\n"
                                                         "row 5: time cannot be read"));
    }

    void report()
    {
        QList<QVariantList> rows{QVariantList(Header.cbegin(), Header.cend())}; // sheet row 11
        for (int sheetRow = 12; sheetRow <= 40; ++sheetRow) {
            const bool notNumber = sheetRow == 12 || sheetRow == 40;
            const QString unit = sheetRow >= 21 && sheetRow <= 27 ? "mm" : "um";
            rows << (sheetRow == 20 ? QVariantList{} : QVariantList{1, "", notNumber ? "n/a" : "5", unit, ""});
        }
        Result result;
        importRows(ListedRows(rows, 10), &result);
        QCOMPARE(result.import->report(), QStringLiteral("Rows imported: 19; skipped as blank: 1; rejected: 9.\n"
                                                         "rows 12 and 40: value is not a number\n"
                                                         "rows 21, 22, 23, 24, 25 and 2 more: unit is not known"));
    }

    void pandasIndexColumn()
    {
        Result result;
        QVERIFY(importFile("pandas-index.xlsx", &result));
        QCOMPARE(result.readings.size(), 3);
        QCOMPARE(result.import->skipped(), 2); // the cleared rows
        QCOMPARE(describe(result.readings.at(1)), "um|13|0.51|0|2024-03-05 14:30:05|Fe");
        QCOMPARE(describe(result.readings.at(2)), "um|    OL|    OL|1|2024-03-05 14:30:09|NFe");
    }

    void titleLine()
    {
        Result result;
        QVERIFY(importFile("title-line.xls", &result));
        QCOMPARE(result.readings.size(), 2);
        QCOMPARE(describe(result.readings.at(1)), QString::fromUtf8("mil|88|3.48|0|2024-03-05 14:30:07|铁基"));
        QCOMPARE(result.import->report().section('\n', 1), "row 6: value is not a number");
    }

    void csvEncodings()
    {
        Result western, chinese;
        QVERIFY(importFile("windows-1252.csv", &western));
        QCOMPARE(describe(western.readings.at(0)), QString::fromUtf8("um|125|4.92|0|2024-03-05 14:30:00|Zink über Stahl"));
        QCOMPARE(western.import->report().section('\n', 1), "row 3: value is not a number"); // "12,5" among commas
        QVERIFY(importFile("gbk.csv", &chinese));
        QCOMPARE(describe(chinese.readings.at(1)), QString::fromUtf8("um|   -OL|   -OL|-1|2024-03-05 14:30:05|非铁基"));
    }

    void reSavedCsv()
    {
        Result result;
        QVERIFY(importFile("de-DE-resaved.csv", &result));
        QCOMPARE(result.readings.size(), 3);
        QCOMPARE(describe(result.readings.at(0)), "um|12.5|0.49|0|2024-03-05 14:30:00|Fe");
        QCOMPARE(result.readings.at(2).time, at(31, 3, 0));
        QCOMPARE(result.import->report().section('\n', 1),
                 "row 5: value is not a number\nrow 6: time cannot be read");
    }

    // One cell far to the right stretches the used range over the sheet's
    // width, 20,001 rows by 256 columns: the import is the same as without
    // it.
    void farCell()
    {
        XlsWorkbookWriter plain;
        for (int c = 0; c < 5; ++c)
            plain.addText(0, c, Header.at(c));
        for (int r = 1; r <= 20000; ++r) {
            plain.addNumber(r, 0, r);
            plain.addText(r, 2, r % 40 ? QString::number(100 + r % 37) : QStringLiteral("OL"));
            plain.addText(r, 3, r % 3 ? QStringLiteral("um") : QStringLiteral("mm"));
        }
        XlsWorkbookWriter stretched = plain;
        stretched.addText(1, 255, QStringLiteral("checked"));
        QStringList outcomes;
        for (const XlsWorkbookWriter *w : {&plain, &stretched}) {
            QString error;
            const std::unique_ptr<SheetRows> rows = openXlsFirstSheet(w->fileData(), &error);
            QVERIFY2(rows, qPrintable(error));
            Result result;
            importRows(*rows, &result);
            QCOMPARE(result.readings.size(), 13334);
            outcomes << result.import->report() + describe(result.readings.last());
        }
        QCOMPARE(outcomes.at(1), outcomes.at(0));
    }

    void packages()
    {
        Result result;
        QString error;
        QVERIFY2(importFile("backslash-names.xlsx", &result, &error), qPrintable(error));
        QCOMPARE(result.readings.size(), 1);
        QCOMPARE(result.import->report().section('\n', 1), "row 3: value is missing"); // "<v></v>"
        const std::unique_ptr<SheetRows> rows =
                TableFile::open(qEnvironmentVariable("VK_TESTDATA_DIR") + "/import/backslash-names.xlsx", &error);
        QVERIFY(rows && rows->next() && rows->next() && rows->next());
        QCOMPARE(rows->cell(5).toString(), QStringLiteral("a\r"));
        QVERIFY(!importFile("encrypted.xlsx", &result, &error));
        QCOMPARE(error, QStringLiteral("The workbook is protected by a password."));
    }
};

QTEST_GUILESS_MAIN(TestReadingsImport)
#include "tst_readingsimport.moc"
