#include "exchange/readingsworkbook.h"
#include "tests/support/seriesfields.h"

#include "xlstesttools.h"

#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

#include <freexl.h>

#include <memory>

namespace {

const QString Mu = QString::fromUtf8("μm");
const QString Iron = QString::fromUtf8("铁基");

// The main window's table: row number as an integer, the rest as texts.
std::unique_ptr<QStandardItemModel> table(const QList<QStringList> &rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows.size(), 5);
    for (int r = 0; r < rows.size(); ++r) {
        auto *number = new QStandardItem;
        number->setData(r + 1, Qt::DisplayRole);
        model->setItem(r, 0, number);
        for (int c = 0; c < 4; ++c)
            model->setItem(r, c + 1, new QStandardItem(rows.at(r).at(c)));
    }
    return model;
}

QList<QStringList> sampleRows()
{
    return {{"2023-11-20 14:02:31", "88.4", Mu, "Fe"},
            {"2023-11-20 14:02:33", "   -OL", "mil", "NFe"},
            {"", "    OL", Mu, Iron},
            {"2023-11-20 14:02:41", "1250", Mu, "Fe"}};
}

struct Expected
{
    QDateTime time;
    QString unit;
    QString textUm;
    QString textMil;
    int overload;
};

QDateTime at(int second)
{
    return QDateTime(QDate(2023, 11, 20), QTime(14, 2, second));
}

// The six readings every readings-layout sample holds.
QList<Expected> sampleReadings(const QString &valueFive)
{
    return {{at(31), "um", "88.4", "3.48", 0},
            {at(33), "mil", "88", "3.48", 0},
            {at(36), "um", "    OL", "    OL", 1},
            {at(40), "mil", "   -OL", "   -OL", -1},
            {at(41), "um", valueFive, "49.21", 0},
            // Numbers stored as numbers read as their shortest text.
            {QDateTime(), "um", valueFive == QLatin1String("1250") ? "0" : "0.0", "0.00", 0}};
}

QList<ReadingFields> readingsOf(const QList<QVariantList> &rows)
{
    ReadingSeries readings;
    for (int r = 1; r < rows.size(); ++r) {
        if (!readingFromRow(rows.at(r), &readings))
            break;
    }
    return fieldsOf(readings);
}

QVariantList cell(const QVariantMap &dump, int row, int column)
{
    for (const QVariant &c : dump.value(QStringLiteral("cells")).toList()) {
        const QVariantList l = c.toList();
        if (l.at(0).toInt() == row && l.at(1).toInt() == column)
            return l;
    }
    return {};
}

} // namespace

class TestReadingsWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layoutAsXlrdReadsIt();
    void layoutAsFreexlReadsIt();
    void layoutAsWeReadIt();
    void emptyTableGivesHeaderOnly();
    void fullSheet();
    void refusesMoreRowsThanASheetHolds();
    void unwritablePlaceFails();
    void samplesGiveTheirReadings_data();
    void samplesGiveTheirReadings();
    void xlwtLayouts();
    void rowRule_data();
    void rowRule();
    void roundTrip();

private:
    QString write(const QString &name, const QAbstractItemModel &model);
    QTemporaryDir m_dir;
};

void TestReadingsWorkbook::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QByteArray out;
    QString error;
    QVERIFY2(XlsTestTools::runPython(QStringLiteral("xlwt_readings.py"), {m_dir.path()}, &out, &error),
             qPrintable(error));
}

QString TestReadingsWorkbook::write(const QString &name, const QAbstractItemModel &model)
{
    const QString path = m_dir.filePath(name);
    QString error;
    if (!writeReadingsWorkbook(path, model, &error))
        qWarning() << error;
    return path;
}

void TestReadingsWorkbook::layoutAsXlrdReadsIt()
{
    const auto model = table(sampleRows());
    const QString path = write(QStringLiteral("layout.xls"), *model);
    QString error;
    const QVariantMap dump = XlsTestTools::xlrdDump(path, &error);
    QVERIFY2(!dump.isEmpty(), qPrintable(error));
    QCOMPARE(dump.value(QStringLiteral("datemode")).toInt(), 0);
    const QStringList header = ReadingsWorkbook::headerTexts();
    QCOMPARE(header, (QStringList{"No.", "Time", "Value", "Unit", "Basis"}));
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(cell(dump, 0, c).at(2).toInt(), 1);
        QCOMPARE(cell(dump, 0, c).at(3).toString(), header.at(c));
    }
    for (int r = 1; r <= 4; ++r) {
        QCOMPARE(cell(dump, r, 0).at(2).toInt(), 2); // number
        QCOMPARE(cell(dump, r, 0).at(3).toDouble(), double(r));
        for (int c = 2; c < 5; ++c) {
            QCOMPARE(cell(dump, r, c).at(2).toInt(), 1); // text
            QCOMPARE(cell(dump, r, c).at(3).toString(), sampleRows().at(r - 1).at(c - 1));
            QCOMPARE(cell(dump, r, c).at(4).toString(), QStringLiteral("@"));
        }
    }
    QCOMPARE(cell(dump, 1, 1).at(2).toInt(), 3); // date
    QCOMPARE(cell(dump, 1, 1).at(3).toList(), (QVariantList{2023, 11, 20, 14, 2, 31}));
    QCOMPARE(cell(dump, 1, 1).at(4).toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QCOMPARE(cell(dump, 4, 1).at(3).toList(), (QVariantList{2023, 11, 20, 14, 2, 41}));
    // No time: an empty cell that keeps the date format.
    QCOMPARE(cell(dump, 3, 1).at(2).toInt(), 6);
    QCOMPARE(cell(dump, 3, 1).at(4).toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QCOMPARE(cell(dump, 2, 2).at(3).toString(), QStringLiteral("   -OL"));
    QCOMPARE(cell(dump, 3, 4).at(3).toString(), Iron);
    QVERIFY(cell(dump, 5, 0).isEmpty());
}

void TestReadingsWorkbook::layoutAsFreexlReadsIt()
{
    const auto model = table(sampleRows());
    const QString path = write(QStringLiteral("freexl.xls"), *model);
    const void *handle = nullptr;
    QCOMPARE(freexl_open(QFile::encodeName(path).constData(), &handle), FREEXL_OK);
    QCOMPARE(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
    unsigned int rows = 0;
    unsigned short columns = 0;
    QCOMPARE(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
    QCOMPARE(rows, 5u);
    QCOMPARE(columns, quint16(5));
    FreeXL_CellValue v;
    QCOMPARE(freexl_get_cell_value(handle, 0, 2, &v), FREEXL_OK);
    QCOMPARE(QString::fromUtf8(v.value.text_value), QStringLiteral("Value"));
    QCOMPARE(freexl_get_cell_value(handle, 2, 0, &v), FREEXL_OK);
    QCOMPARE(v.type, FREEXL_CELL_INT);
    QCOMPARE(v.value.int_value, 2);
    QCOMPARE(freexl_get_cell_value(handle, 2, 1, &v), FREEXL_OK);
    QCOMPARE(v.type, FREEXL_CELL_DATETIME);
    QCOMPARE(QString::fromUtf8(v.value.text_value), QStringLiteral("2023-11-20 14:02:33"));
    QCOMPARE(freexl_get_cell_value(handle, 2, 2, &v), FREEXL_OK);
    QCOMPARE(QString::fromUtf8(v.value.text_value), QStringLiteral("   -OL"));
    QCOMPARE(freexl_get_cell_value(handle, 1, 3, &v), FREEXL_OK);
    QCOMPARE(QString::fromUtf8(v.value.text_value), Mu);
    QCOMPARE(freexl_get_cell_value(handle, 3, 4, &v), FREEXL_OK);
    QCOMPARE(QString::fromUtf8(v.value.text_value), Iron);
    freexl_close(handle);
}

void TestReadingsWorkbook::layoutAsWeReadIt()
{
    const auto model = table(sampleRows());
    const QString path = write(QStringLiteral("ours.xls"), *model);
    QList<QVariantList> rows;
    QString error;
    QVERIFY2(readFirstSheetUsedRange(path, &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(0), (QVariantList{"No.", "Time", "Value", "Unit", "Basis"}));
    QCOMPARE(rows.at(1), (QVariantList{1.0, at(31), "88.4", Mu, "Fe"}));
    QCOMPARE(rows.at(3).at(0), QVariant(3.0));
    QVERIFY(!rows.at(3).at(1).isValid());
    QCOMPARE(rows.at(3).at(4), QVariant(Iron));
}

void TestReadingsWorkbook::emptyTableGivesHeaderOnly()
{
    const auto model = table({});
    const QString path = write(QStringLiteral("empty.xls"), *model);
    QList<QVariantList> rows;
    QString error;
    QVERIFY2(readFirstSheetUsedRange(path, &rows, &error), qPrintable(error));
    QCOMPARE(rows, (QList<QVariantList>{{"No.", "Time", "Value", "Unit", "Basis"}}));
    QVERIFY(readingsOf(rows).isEmpty());
}

void TestReadingsWorkbook::fullSheet()
{
    // The largest table: 65,535 readings and the header fill all 65,536 rows.
    XlsTestTools::SyntheticReadings model(ReadingsWorkbook::MaxReadings);
    const QString path = write(QStringLiteral("full.xls"), model);
    QString error;
    const QVariantMap dump = XlsTestTools::xlrdDump(path, &error);
    QVERIFY2(!dump.isEmpty(), qPrintable(error));
    const QVariantList cells = dump.value(QStringLiteral("cells")).toList();
    const QVariantList last = cells.last().toList();
    QCOMPARE(last.at(0).toInt(), 65535);
    QCOMPARE(last.at(1).toInt(), 4);
    QCOMPARE(last.at(3).toString(), XlsTestTools::SyntheticReadings::basis(65534));
    QCOMPARE(cell(dump, 65535, 0).at(3).toDouble(), 65535.0);

    QList<QVariantList> rows;
    QVERIFY2(readFirstSheetUsedRange(path, &rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 65536);
    for (int r : {0, 5, 6, 1000, 65534}) {
        const QVariantList &row = rows.at(r + 1);
        QCOMPARE(row.at(0), QVariant(double(r + 1)));
        QCOMPARE(row.at(1), QVariant(XlsTestTools::SyntheticReadings::time(r)));
        QCOMPARE(row.at(2), QVariant(XlsTestTools::SyntheticReadings::value(r)));
        QCOMPARE(row.at(4), QVariant(XlsTestTools::SyntheticReadings::basis(r)));
    }
}

void TestReadingsWorkbook::refusesMoreRowsThanASheetHolds()
{
    const QString path = m_dir.filePath(QStringLiteral("toolong.xls"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    XlsTestTools::SyntheticReadings model(ReadingsWorkbook::MaxReadings + 1);
    QString error;
    QVERIFY(!writeReadingsWorkbook(path, model, &error));
    QVERIFY2(error.contains(QStringLiteral("65536")) && error.contains(QStringLiteral("65535")),
             qPrintable(error));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("toolong*")}, QDir::Files).size(), 1);
}

void TestReadingsWorkbook::unwritablePlaceFails()
{
    const auto model = table(sampleRows());
    QString error;
    QVERIFY(!writeReadingsWorkbook(m_dir.filePath(QStringLiteral("no/such/dir/x.xls")), *model, &error));
    QVERIFY(!error.isEmpty());
    QList<QVariantList> rows;
    QVERIFY(!readFirstSheetUsedRange(m_dir.filePath(QStringLiteral("missing.xls")), &rows, &error));
    QVERIFY(!error.isEmpty());
}

void TestReadingsWorkbook::samplesGiveTheirReadings_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("valueFive");
    QTest::newRow("lo-layout") << XlsTestTools::workbookSample(QStringLiteral("lo-layout.xls")) << "1250.0";
    QTest::newRow("lo-numeric-values") << XlsTestTools::workbookSample(QStringLiteral("lo-numeric-values.xls"))
                                       << "1250";
    QTest::newRow("lo-offset-C4") << XlsTestTools::workbookSample(QStringLiteral("lo-offset-C4.xls")) << "1250.0";
    QTest::newRow("xlwt-1904-dates") << XlsTestTools::workbookSample(QStringLiteral("xlwt-1904-dates.xls"))
                                     << "1250.0";
    QTest::newRow("xlwt offset") << m_dir.filePath(QStringLiteral("offset-C4.xls")) << "1250.0";
    QTest::newRow("xlwt numeric") << m_dir.filePath(QStringLiteral("numeric-values.xls")) << "1250";
    QTest::newRow("xlwt 1904") << m_dir.filePath(QStringLiteral("dates-1904.xls")) << "1250.0";
}

void TestReadingsWorkbook::samplesGiveTheirReadings()
{
    QFETCH(QString, path);
    QFETCH(QString, valueFive);
    QList<QVariantList> rows;
    QString error;
    QVERIFY2(readFirstSheetUsedRange(path, &rows, &error), qPrintable(error));
    const QList<ReadingFields> readings = readingsOf(rows);
    const QList<Expected> expected = sampleReadings(valueFive);
    QCOMPARE(readings.size(), expected.size());
    double sum = 0;
    for (int i = 0; i < readings.size(); ++i) {
        const ReadingFields &r = readings.at(i);
        QCOMPARE(r.time, expected.at(i).time);
        QCOMPARE(r.unit, expected.at(i).unit);
        QCOMPARE(int(r.overload), expected.at(i).overload);
        QCOMPARE(r.textUm, expected.at(i).textUm);
        QCOMPARE(r.textMil, expected.at(i).textMil);
        sum += r.valueUm;
    }
    QCOMPARE(readings.at(1).valueUm, 3.48 * 25.4);
    QCOMPARE(readings.at(5).basis, QStringLiteral("Fe"));
    QCOMPARE(readings.at(4).basis, Iron);
    QCOMPARE(QString::number(sum / readings.size(), 'f', 1), QStringLiteral("237.8"));
}

void TestReadingsWorkbook::xlwtLayouts()
{
    QList<QVariantList> rows;
    QString error;
    // A header only: one row, no readings.
    QVERIFY2(readFirstSheetUsedRange(m_dir.filePath(QStringLiteral("header-only.xls")), &rows, &error),
             qPrintable(error));
    QCOMPARE(rows.size(), 1);
    QVERIFY(readingsOf(rows).isEmpty());
    // Four columns: every row is too short to give a reading.
    QVERIFY2(readFirstSheetUsedRange(m_dir.filePath(QStringLiteral("four-columns.xls")), &rows, &error),
             qPrintable(error));
    QCOMPARE(rows.size(), 7);
    QCOMPARE(rows.at(1).size(), 4);
    ReadingSeries none;
    QVERIFY(!readingFromRow(rows.at(1), &none));
    QVERIFY(none.isEmpty());
}

void TestReadingsWorkbook::rowRule_data()
{
    QTest::addColumn<QVariantList>("row");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("textUm");
    QTest::addColumn<QString>("textMil");
    QTest::addColumn<double>("valueUm");
    QTest::newRow("date value, number 88.4")
            << QVariantList{1.0, at(31), 88.4, Mu, "Fe"} << at(31) << "um" << "88.4" << "3.48" << 88.4;
    QTest::newRow("number 1250.0 shows as 1250")
            << QVariantList{1.0, at(31), 1250.0, Mu, "Fe"} << at(31) << "um" << "1250" << "49.21" << 1250.0;
    QTest::newRow("date text") << QVariantList{1, "2023-11-20 14:02:31", "2", "mil", "Fe"} << at(31) << "mil"
                               << "51" << "2" << 50.8;
    QTest::newRow("no time") << QVariantList{1, QVariant(), "127", Mu, "Fe"} << QDateTime() << "um" << "127"
                             << "5.00" << 127.0;
    QTest::newRow("number as time") << QVariantList{1, 45250.5, "127", Mu, "Fe"} << QDateTime() << "um"
                                    << "127" << "5.00" << 127.0;
    QTest::newRow("upper case unit") << QVariantList{1, "", "100", "UM", "Fe"} << QDateTime() << "UM" << "100"
                                     << "3.94" << 100.0;
    QTest::newRow("word with a capital L") << QVariantList{1, "", "Low", Mu, "Fe"} << QDateTime() << "um"
                                           << "    OL" << "    OL" << 0.0;
    QTest::newRow("empty value") << QVariantList{1, "", QVariant(), Mu, QVariant(), "extra"} << QDateTime()
                                 << "um" << "" << "0.00" << 0.0;
}

void TestReadingsWorkbook::rowRule()
{
    QFETCH(QVariantList, row);
    QFETCH(QDateTime, time);
    QFETCH(QString, unit);
    QFETCH(QString, textUm);
    QFETCH(QString, textMil);
    QFETCH(double, valueUm);
    ReadingSeries readings;
    QVERIFY(readingFromRow(row, &readings));
    const ReadingFields r = readings.fields(0);
    QCOMPARE(r.time, time);
    QCOMPARE(r.unit, unit);
    QCOMPARE(r.textUm, textUm);
    QCOMPARE(r.textMil, textMil);
    QCOMPARE(r.valueUm, valueUm);
    QVERIFY(!readingFromRow(row.mid(0, 4), &readings));
}

void TestReadingsWorkbook::roundTrip()
{
    // Readings in micrometres and in mils, written as the table shows them
    // and read back: the same readings.
    QList<ReadingFields> originals;
    originals << ReadingFields::fromText("88.4", Mu, "Fe", at(31))
              << ReadingFields::fromText("   -OL", "mil", "NFe", at(33))
              << ReadingFields::fromText("3.48", "mil", Iron, at(36))
              << ReadingFields::fromText("0.0", "um", "Fe", QDateTime());
    QList<QStringList> rows;
    for (const ReadingFields &d : originals) {
        const bool um = d.unit == QLatin1String("um");
        rows << QStringList{d.time.toString(ReadingsWorkbook::timeFormat()), um ? d.textUm : d.textMil,
                            um ? Mu : d.unit, d.basis};
    }
    const auto model = table(rows);
    QList<QVariantList> back;
    QString error;
    QVERIFY2(readFirstSheetUsedRange(write(QStringLiteral("round.xls"), *model), &back, &error),
             qPrintable(error));
    const QList<ReadingFields> readings = readingsOf(back);
    QCOMPARE(readings.size(), originals.size());
    for (int i = 0; i < readings.size(); ++i) {
        QCOMPARE(readings.at(i).time, originals.at(i).time);
        QCOMPARE(readings.at(i).unit, originals.at(i).unit);
        QCOMPARE(readings.at(i).textUm, originals.at(i).textUm);
        QCOMPARE(readings.at(i).textMil, originals.at(i).textMil);
        QCOMPARE(readings.at(i).overload, originals.at(i).overload);
        QCOMPARE(readings.at(i).basis, originals.at(i).basis);
    }
}

QTEST_MAIN(TestReadingsWorkbook)
#include "tst_readingsworkbook.moc"
