#include "exchange/xlsreader.h"
#include "exchange/xlswriter.h"

#include "xlstesttools.h"

#include <QTemporaryDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <freexl.h>

namespace {

bool saveTo(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Long texts, wide and narrow mixed, so that the shared string table spans
// several CONTINUE records and strings break across them in both widths.
QString longText(int i)
{
    if (i % 3 == 0)
        return QString::fromUtf8("铁基%1-").arg(i) + QString::fromUtf8("μm").repeated(40 + i % 37);
    return QStringLiteral("row %1 ").arg(i) + QString(70 + i % 53, QLatin1Char('x'));
}

} // namespace

class TestXlsWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cellsReadBackByXlrd();
    void cellsReadBackByFreexl();
    void cellsReadBackByOurReader();
    void laterCellReplacesEarlier();
    void emptyWorkbook();

private:
    QByteArray sampleWorkbook() const;
    QTemporaryDir m_dir;
};

void TestXlsWriter::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!XlsTestTools::python().isEmpty(), "python3 is needed");
}

QByteArray TestXlsWriter::sampleWorkbook() const
{
    XlsWorkbookWriter w;
    const int date = w.cellFormat(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const int text = w.cellFormat(QStringLiteral("@"));
    // Numbers that fit the compact RK form and ones that do not.
    const QList<double> numbers{0, 1, -1, 536870911, -536870912, 536870912, 0.5, 88.4, 3.48,
                                1e300, -2.5e-10, 1250};
    for (int i = 0; i < numbers.size(); ++i)
        w.addNumber(i, 0, numbers.at(i));
    for (int i = 0; i < 300; ++i)
        w.addText(i, 1, longText(i), text);
    w.addNumber(0, 2, 45250.58508101852, date);
    w.addBlank(1, 2, date);
    w.addText(2, 2, QStringLiteral("   -OL"), text);
    w.addText(3, 2, QString(), text);
    w.setColumnWidth(1, 40 * 256);
    return w.fileData();
}

void TestXlsWriter::cellsReadBackByXlrd()
{
    const QString path = m_dir.filePath(QStringLiteral("cells.xls"));
    QVERIFY(saveTo(path, sampleWorkbook()));
    QString error;
    const QVariantMap dump = XlsTestTools::xlrdDump(path, &error);
    QVERIFY2(!dump.isEmpty(), qPrintable(error));
    QHash<QPair<int, int>, QVariantList> cells;
    for (const QVariant &c : dump.value(QStringLiteral("cells")).toList()) {
        const QVariantList cell = c.toList();
        cells.insert({cell.at(0).toInt(), cell.at(1).toInt()}, cell);
    }
    const QList<double> numbers{0, 1, -1, 536870911, -536870912, 536870912, 0.5, 88.4, 3.48,
                                1e300, -2.5e-10, 1250};
    for (int i = 0; i < numbers.size(); ++i) {
        QCOMPARE(cells.value({i, 0}).at(2).toInt(), 2); // number
        QCOMPARE(cells.value({i, 0}).at(3).toDouble(), numbers.at(i));
    }
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(cells.value({i, 1}).at(2).toInt(), 1); // text
        QCOMPARE(cells.value({i, 1}).at(3).toString(), longText(i));
        QCOMPARE(cells.value({i, 1}).at(4).toString(), QStringLiteral("@"));
    }
    QCOMPARE(cells.value({0, 2}).at(2).toInt(), 3); // date
    QCOMPARE(cells.value({0, 2}).at(3).toList(), (QVariantList{2023, 11, 20, 14, 2, 31}));
    QCOMPARE(cells.value({0, 2}).at(4).toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QCOMPARE(cells.value({1, 2}).at(2).toInt(), 6); // formatted blank
    QCOMPARE(cells.value({2, 2}).at(3).toString(), QStringLiteral("   -OL"));
    QCOMPARE(cells.value({3, 2}).at(2).toInt(), 6); // empty text: formatted blank
}

void TestXlsWriter::cellsReadBackByFreexl()
{
    const QString path = m_dir.filePath(QStringLiteral("freexl.xls"));
    QVERIFY(saveTo(path, sampleWorkbook()));
    const void *handle = nullptr;
    QCOMPARE(freexl_open(QFile::encodeName(path).constData(), &handle), FREEXL_OK);
    QCOMPARE(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
    unsigned int rows = 0;
    unsigned short columns = 0;
    QCOMPARE(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
    QCOMPARE(rows, 300u);
    QCOMPARE(columns, quint16(3));
    FreeXL_CellValue v;
    QCOMPARE(freexl_get_cell_value(handle, 7, 0, &v), FREEXL_OK);
    QCOMPARE(v.type, FREEXL_CELL_DOUBLE);
    QCOMPARE(v.value.double_value, 88.4);
    QCOMPARE(freexl_get_cell_value(handle, 4, 0, &v), FREEXL_OK);
    QCOMPARE(v.type, FREEXL_CELL_INT);
    QCOMPARE(v.value.int_value, -536870912);
    for (int i = 0; i < 300; i += 7) {
        QCOMPARE(freexl_get_cell_value(handle, unsigned(i), 1, &v), FREEXL_OK);
        QCOMPARE(v.type, FREEXL_CELL_SST_TEXT);
        QCOMPARE(QString::fromUtf8(v.value.text_value), longText(i));
    }
    QCOMPARE(freexl_get_cell_value(handle, 0, 2, &v), FREEXL_OK);
    QCOMPARE(v.type, FREEXL_CELL_DATETIME);
    QCOMPARE(QString::fromUtf8(v.value.text_value), QStringLiteral("2023-11-20 14:02:31"));
    QCOMPARE(freexl_get_cell_value(handle, 2, 2, &v), FREEXL_OK);
    QCOMPARE(QString::fromUtf8(v.value.text_value), QStringLiteral("   -OL"));
    freexl_close(handle);
}

void TestXlsWriter::cellsReadBackByOurReader()
{
    XlsUsedRange range;
    QString error;
    QVERIFY2(readXlsFirstSheet(sampleWorkbook(), &range, &error), qPrintable(error));
    QCOMPARE(range.rows.size(), 300);
    QCOMPARE(range.columnCount, 3);
    QCOMPARE(range.rows.at(7).at(0), QVariant(88.4));
    QCOMPARE(range.rows.at(5).at(0), QVariant(536870912.0));
    QCOMPARE(range.rows.at(9).at(0), QVariant(1e300));
    for (int i = 0; i < 300; ++i)
        QCOMPARE(range.rows.at(i).at(1).toString(), longText(i));
    QCOMPARE(range.rows.at(0).at(2), QVariant(QDateTime(QDate(2023, 11, 20), QTime(14, 2, 31))));
    QVERIFY(!range.rows.at(1).at(2).isValid());
    QCOMPARE(range.rows.at(2).at(2), QVariant(QStringLiteral("   -OL")));
    QVERIFY(!range.rows.at(20).at(0).isValid()); // beyond the numbers
}

void TestXlsWriter::laterCellReplacesEarlier()
{
    XlsWorkbookWriter w;
    w.addText(5, 3, QStringLiteral("first"));
    w.addNumber(2, 1, 7);
    w.addNumber(5, 3, 9);
    QVERIFY(!w.addNumber(65536, 0, 1));
    QVERIFY(!w.addNumber(0, 256, 1));
    XlsUsedRange range;
    QString error;
    QVERIFY2(readXlsFirstSheet(w.fileData(), &range, &error), qPrintable(error));
    QCOMPARE(range.firstRow, 2);
    QCOMPARE(range.firstColumn, 1);
    QCOMPARE(range.rows.size(), 4);
    QCOMPARE(range.columnCount, 3);
    QCOMPARE(range.rows.at(0).at(0), QVariant(7.0));
    QCOMPARE(range.rows.at(3).at(2), QVariant(9.0));
}

void TestXlsWriter::emptyWorkbook()
{
    XlsWorkbookWriter w;
    const QString path = m_dir.filePath(QStringLiteral("empty.xls"));
    QVERIFY(saveTo(path, w.fileData()));
    QString error;
    const QVariantMap dump = XlsTestTools::xlrdDump(path, &error);
    QVERIFY2(dump.contains(QStringLiteral("cells")), qPrintable(error));
    QVERIFY(dump.value(QStringLiteral("cells")).toList().isEmpty());
    // Excel opens a workbook only when its stream is a regular one.
    QByteArray streams;
    QVERIFY2(XlsTestTools::runPython(QStringLiteral("ole_streams.py"), {path}, &streams, &error), qPrintable(error));
    QVERIFY(QJsonDocument::fromJson(streams).object().value(QStringLiteral("Workbook")).toInt() >= 4096);
    XlsUsedRange range;
    QVERIFY2(readXlsFirstSheet(w.fileData(), &range, &error), qPrintable(error));
    QVERIFY(range.rows.isEmpty());
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "tst_xlswriter.moc"
