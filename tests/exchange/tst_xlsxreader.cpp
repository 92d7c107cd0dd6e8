#include "exchange/xlsxreader.h"

#include "xlsxtesttools.h"

#include <QTextCodec>
#include <QtTest>

namespace {

using XlsxTestTools::package;
using XlsxTestTools::workbookParts;

QByteArray sheet(const QByteArray &rows, const QByteArray &after = {})
{
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>" + rows
            + "</sheetData>" + after + "</worksheet>";
}

QByteArray book(const QByteArray &rows)
{
    return package(workbookParts(sheet(rows)));
}

bool read(const QByteArray &file, XlsUsedRange *range, QString *error, const XlsxLimits &limits = XlsxLimits())
{
    return readXlsxFirstSheet(file, range, error, limits);
}

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT

private slots:
    void cellKinds();
    void positionsAndOrder();
    void refusals_data();
    void refusals();
    void ceilings();
    void farApartCells();
};

// Every kind of cell an .xlsx holds, as the classic reader hands them out.
void TestXlsxReader::cellKinds()
{
    const QByteArray strings = "<sst><si><t>plain</t></si>"
                               "<si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>reading aid</t></rPh></si></sst>";
    const QByteArray styles = "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\\ hh:mm\"/>"
                              "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
                              "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"164\"/><xf numFmtId=\"49\"/></cellXfs>"
                              "<dxfs><dxf><numFmt numFmtId=\"165\" formatCode=\"yyyy\"/></dxf></dxfs></styleSheet>";
    const QByteArray rows =
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
            "<c r=\"C1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  a_x000D_b </t></is></c>"
            "<c r=\"D1\" t=\"b\"><v>1</v></c><c r=\"E1\" t=\"e\"><v>#DIV/0!</v></c>"
            "<c r=\"F1\" t=\"str\"><f>A1&amp;\"\"</f><v>plain</v></c></row>"
            "<row r=\"2\"><c r=\"A2\" s=\"1\"><v>45250.584375</v></c><c r=\"B2\" s=\"2\"><v>88.40</v></c>"
            "<c r=\"C2\" s=\"1\"/><c r=\"D2\"><v>1.5E3</v></c><c r=\"E2\" t=\"d\"><v>2023-11-20T14:02:31</v></c>"
            "<c r=\"F2\" s=\"1\"><v>-1</v></c></row>";
    XlsUsedRange range;
    QString error;
    QVERIFY2(read(package(workbookParts(sheet(rows), strings, styles)), &range, &error), qPrintable(error));
    QCOMPARE(range.rows.size(), 2);
    QCOMPARE(range.rows.at(0),
             (QVariantList{"plain", "rich", QStringLiteral("  a\rb "), true, "#DIV/0!", "plain"}));
    QCOMPARE(range.rows.at(1), (QVariantList{QDateTime(QDate(2023, 11, 20), QTime(14, 1, 30)), 88.4, QVariant(),
                                             1500.0, QDateTime(QDate(2023, 11, 20), QTime(14, 2, 31)), -1.0}));

    // The 1904 date system counts from 1904-01-01.
    const QByteArray in1904 = package(workbookParts(sheet("<row><c s=\"1\"><v>1</v></c></row>"), {}, styles,
                                                    "<workbookPr date1904=\"1\"/>"));
    QVERIFY2(read(in1904, &range, &error), qPrintable(error));
    QCOMPARE(range.rows.at(0).at(0), QVariant(QDateTime(QDate(1904, 1, 2), QTime(0, 0))));

    // A worksheet part in UTF-16, which the format allows, reads the same.
    const QByteArray wide = "\xFF\xFE"
            + QTextCodec::codecForName("UTF-16LE")->fromUnicode(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>")
                                                                + QString::fromUtf8(sheet(rows)));
    QVERIFY2(read(package(workbookParts(wide, strings, styles)), &range, &error), qPrintable(error));
    QCOMPARE(range.rows.at(0).at(2), QVariant(QStringLiteral("  a\rb ")));
    QCOMPARE(range.rows.at(1).at(1), QVariant(88.4));
}

// Rows and cells without references follow the one before; cells given
// out of order are put in order; of two at one place the later wins;
// merged and commented cells belong to the used range.
void TestXlsxReader::positionsAndOrder()
{
    const QByteArray rows = "<row r=\"3\"><c r=\"c3\"><v>1</v></c><c><v>2</v></c></row>"
                            "<row><c r=\"B4\"><v>3</v></c></row>"
                            "<row r=\"2\"><c r=\"D2\"><v>4</v></c><c r=\"D2\"><v>5</v></c></row>";
    XlsUsedRange range;
    QString error;
    QVERIFY2(read(book(rows), &range, &error), qPrintable(error));
    QCOMPARE(range.firstRow, 1);
    QCOMPARE(range.firstColumn, 1);
    QCOMPARE(range.rows, (QList<QVariantList>{{QVariant(), QVariant(), 5.0},
                                              {QVariant(), 1.0, 2.0},
                                              {3.0, QVariant(), QVariant()}}));

    QVERIFY2(read(package(workbookParts(sheet("<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>",
                                              "<mergeCells><mergeCell ref=\"B2:C5\"/></mergeCells>"))),
                  &range, &error),
             qPrintable(error));
    QCOMPARE(range.rows.size(), 4);
    QCOMPARE(range.columnCount, 2);
}

void TestXlsxReader::refusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    const QByteArray good = book("<row><c><v>1</v></c></row>");
    QByteArray cut = good;
    cut.truncate(good.size() / 2);
    QMap<QString, QByteArray> noWorkbook;
    noWorkbook.insert(QStringLiteral("readme.txt"), "hello");
    // A flipped byte in stored data fails the part's checksum.
    QMap<QString, QByteArray> parts = workbookParts(sheet("<row><c><v>12345</v></c></row>"));
    QByteArray flipped = package(parts, false);
    flipped.replace("12345", "12346");

    QTest::newRow("not a zip") << QByteArray("No.,Time\r\n") << "not an Excel workbook";
    QTest::newRow("truncated") << cut << "zip container cannot be read";
    QTest::newRow("no workbook") << package(noWorkbook) << "not an Excel workbook";
    QTest::newRow("checksum") << flipped << "cannot be unpacked";
    QTest::newRow("not XML") << book("<row><c><v>1</c></row>") << "not well-formed XML (line 1";
    QTest::newRow("document type")
            << package(workbookParts("<!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                                     + sheet("<row><c t=\"str\"><v>&b;&b;&b;</v></c></row>")))
            << "declares a document type";
    QTest::newRow("row beyond the sheet") << book("<row r=\"1048577\"><c><v>1</v></c></row>") << "invalid row 1048577";
    QTest::newRow("column beyond the sheet") << book("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>")
                                             << "invalid cell XFE1";
    QTest::newRow("missing shared string") << book("<row><c r=\"A1\" t=\"s\"><v>0</v></c></row>") << "invalid cell A1";
    QTest::newRow("not a number") << book("<row><c r=\"B7\"><v>nan</v></c></row>") << "invalid cell B7";
    QTest::newRow("huge dimensions") << book("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                             "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>")
                                     << "used range of the first worksheet is too large";
    QTest::newRow("text longer than a cell")
            << book("<row><c t=\"str\"><v>" + QByteArray(5 << 20, 'x') + "</v></c></row>") << "too long for a cell";
}

void TestXlsxReader::refusals()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    XlsUsedRange range;
    QString error;
    QVERIFY(!read(file, &range, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(range.rows.isEmpty());
}

// A part that unpacks beyond its ceiling (a zip bomb) and too many cells
// are refused while they are read, not after.
void TestXlsxReader::ceilings()
{
    QByteArray rows;
    for (int r = 1; r <= 40000; ++r)
        rows += "<row r=\"" + QByteArray::number(r) + "\"><c><v>1</v></c><c><v>2</v></c></row>";
    const QByteArray file = book(rows);
    QVERIFY(file.size() < 400000); // it packs well
    XlsUsedRange range;
    QString error;
    XlsxLimits limits;
    limits.maxSheetSize = 1 << 20;
    QVERIFY(!read(file, &range, &error, limits));
    QVERIFY2(error.contains(QStringLiteral("xl/worksheets/sheet1.xml unpacks to more than 1 MiB")), qPrintable(error));
    limits = XlsxLimits();
    limits.maxCells = 50000;
    QVERIFY(!read(file, &range, &error, limits));
    QVERIFY2(error.contains(QStringLiteral("more than 50000 cells")), qPrintable(error));
    limits.maxCells = 80000;
    QVERIFY2(read(file, &range, &error, limits), qPrintable(error));
    QCOMPARE(range.rows.size(), 40000);

    // Shared strings are counted as they are held: 1,000 one-letter texts
    // take about 50 kB.
    QByteArray strings = "<sst>";
    for (int i = 0; i < 1000; ++i)
        strings += "<si><t>a</t></si>";
    limits.maxStringsHeld = 40000;
    QVERIFY(!read(package(workbookParts(sheet("<row><c t=\"s\"><v>0</v></c></row>"), strings + "</sst>")), &range,
                  &error, limits));
    QVERIFY2(error.contains(QStringLiteral("more shared strings than can be read")), qPrintable(error));
}

// Cells at opposite corners of the sheet are read row by row as they are;
// only laid out as a grid would they be too many.
void TestXlsxReader::farApartCells()
{
    QString error;
    const std::unique_ptr<SheetRows> rows =
            openXlsxFirstSheet(book("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                                    "<row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c></row>"),
                               &error);
    QVERIFY2(rows, qPrintable(error));
    QVERIFY(rows->next());
    QCOMPARE(rows->row(), 0);
    QVERIFY(rows->next());
    QCOMPARE(rows->row(), 1048575);
    QCOMPARE(rows->cell(16383), QVariant(2.0));
    QVERIFY(!rows->next());
    QVERIFY(rows->errorString().isEmpty());
    // Read again from the start, as the import does when slashed dates
    // leave the order of day and month to the whole file.
    QVERIFY(rows->rewind() && rows->next());
    QCOMPARE(rows->cell(0), QVariant(1.0));

    // One place named over and over is one cell, the last one named.
    QByteArray again;
    for (int i = 0; i < 40000; ++i)
        again += "<c r=\"B2\"><v>" + QByteArray::number(i) + "</v></c>";
    const std::unique_ptr<SheetRows> repeated = openXlsxFirstSheet(book("<row r=\"2\">" + again + "</row>"), &error);
    QVERIFY(repeated && repeated->next());
    QCOMPARE(repeated->cellCount(), 1);
    QCOMPARE(repeated->value(0), QVariant(39999.0));
}

QTEST_MAIN(TestXlsxReader)
#include "tst_xlsxreader.moc"
