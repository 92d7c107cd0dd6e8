#include "exchange/readingscsv.h"
#include "exchange/usedrangegrid.h"

#include "xlstesttools.h"

#include <QJsonDocument>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

const QString Mu = QString::fromUtf8("μm");

QStandardItemModel *table(const QList<QVariantList> &rows)
{
    auto *model = new QStandardItemModel(rows.size(), 5);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 5; ++c) {
            auto *item = new QStandardItem;
            item->setData(rows.at(r).at(c), Qt::DisplayRole);
            model->setItem(r, c, item);
        }
    return model;
}

XlsUsedRange laidOut(CsvTable &csv)
{
    XlsUsedRange range;
    QString error;
    if (!csv.rewind() || !readUsedRange(csv, &range, &error, ReadingsCsv::MaxFields))
        qWarning() << error;
    return range;
}

QList<QStringList> texts(CsvTable &csv)
{
    QList<QStringList> rows;
    for (const QVariantList &row : laidOut(csv).rows) {
        QStringList cells;
        for (const QVariant &cell : row)
            cells << (cell.isValid() ? cell.toString() : QStringLiteral("<empty>"));
        rows << cells;
    }
    return rows;
}

} // namespace

class TestReadingsCsv : public QObject
{
    Q_OBJECT

private slots:
    void writtenBytes();
    void pythonReadsOurs();
    void reading_data();
    void reading();
    void usedRange();
    void refusals();
};

void TestReadingsCsv::writtenBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("readings.csv"));
    QScopedPointer<QStandardItemModel> model(table({{1, "2023-11-20 14:02:31", "88.4", Mu, "Fe"},
                                                     {2, QDateTime(QDate(2023, 11, 20), QTime(14, 2, 33)), "   -OL",
                                                      "mil", "a,\"b\";c\r\nd"},
                                                     {3, "", "    OL", Mu, QString::fromUtf8("铁基")}}));
    QString error;
    QVERIFY2(writeReadingsCsv(path, *model, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "\xEF\xBB\xBF" + QString::fromUtf8("No.,Time,Value,Unit,Basis\r\n"
                                               "1,2023-11-20 14:02:31,88.4,μm,Fe\r\n"
                                               "2,2023-11-20 14:02:33,\"   -OL\",mil,\"a,\"\"b\"\";c\r\nd\"\r\n"
                                               "3,,\"    OL\",μm,铁基\r\n")
                                     .toUtf8());
    QVERIFY(!writeReadingsCsv(dir.filePath(QStringLiteral("no/such/dir/x.csv")), *model, &error));
}

// Python's csv module, a reader of its own, takes our file field by field.
void TestReadingsCsv::pythonReadsOurs()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("readings.csv"));
    const QString awkward = QStringLiteral("\"quoted\", two\nlines; and\ttab ");
    QScopedPointer<QStandardItemModel> model(table({{1, "2023-11-20 14:02:31", "   -OL", Mu, awkward}}));
    QVERIFY(writeReadingsCsv(path, *model, nullptr));
    QProcess python;
    python.start(XlsTestTools::python(),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys; print(json.dumps(list(csv.reader("
                                 "open(sys.argv[1], encoding='utf-8-sig', newline='')))))"),
                  path});
    QVERIFY(python.waitForFinished(60000));
    const QVariantList rows = QJsonDocument::fromJson(python.readAllStandardOutput()).toVariant().toList();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).toList(), (QVariantList{"1", "2023-11-20 14:02:31", "   -OL", Mu, awkward}));
}

void TestReadingsCsv::reading_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<QStringList>>("rows");
    const QList<QStringList> plain{{"No.", "Value"}, {"1", "88.4"}};
    QTest::newRow("comma, BOM, CRLF") << QByteArray("\xEF\xBB\xBFNo.,Value\r\n1,88.4\r\n") << plain;
    QTest::newRow("semicolon, no BOM") << QByteArray("No.;Value\n1;88.4") << plain;
    QTest::newRow("tab, CR only") << QByteArray("No.\tValue\r1\t88.4\r") << plain;
    QTest::newRow("named separator") << QByteArray("sep=;\r\nNo.;Value\r\n1;88.4\r\n") << plain;
    QTest::newRow("UTF-16 with BOM")
            << QTextCodec::codecForName("UTF-16LE")->fromUnicode(QStringLiteral("\uFEFFNo.\tValue\r\n1\t88.4\r\n"))
            << plain;
    QTest::newRow("quoted separators, quotes, line breaks")
            << QByteArray("a;b;c\n\"x;y\";\"say \"\"hi\"\"\";\"two\r\nlines\"\n\"\"\"\";\"ab\"cd;\"\"")
            << QList<QStringList>{{"a", "b", "c"}, {"x;y", "say \"hi\"", "two\r\nlines"}, {"\"", "abcd", "<empty>"}};
    QTest::newRow("UTF-8 without BOM") << QString::fromUtf8("Unit,Basis\nμm,铁基\n").toUtf8()
                                       << QList<QStringList>{{"Unit", "Basis"}, {Mu, QString::fromUtf8("铁基")}};
    QTest::newRow("comma in quotes is no separator")
            << QByteArray("\"a,b,c\";d\n1;2\n") << QList<QStringList>{{"a,b,c", "d"}, {"1", "2"}};
}

void TestReadingsCsv::reading()
{
    QFETCH(QByteArray, data);
    QFETCH(QList<QStringList>, rows);
    CsvTable csv;
    QString error;
    QVERIFY2(csv.parse(data, &error), qPrintable(error));
    QCOMPARE(texts(csv), rows);
}

// As a spreadsheet's used range: from the first to the last non-empty
// field, every row as wide; blank records inside count as empty rows.
void TestReadingsCsv::usedRange()
{
    CsvTable csv;
    QString error;
    QVERIFY2(csv.parse(",,\n,a,b,,\n\n,c\n,,\n\n", &error), qPrintable(error));
    QCOMPARE(laidOut(csv).firstRow, 1);
    QCOMPARE(laidOut(csv).firstColumn, 1);
    QCOMPARE(texts(csv), (QList<QStringList>{{"a", "b"}, {"<empty>", "<empty>"}, {"c", "<empty>"}}));
    QVERIFY(csv.parse("\r\n,\r\n", &error));
    QVERIFY(!csv.next());
}

void TestReadingsCsv::refusals()
{
    CsvTable csv;
    QString error;
    QVERIFY(!csv.parse("a,b\n1,\"open\n2,3\n", &error));
    QVERIFY2(error.contains(QStringLiteral("begins on line 2 is not closed")), qPrintable(error));
    QVERIFY(!csv.next());
    QVERIFY(!csv.parse(QByteArray(100, ',') + "x\n", &error, 50));
    QVERIFY2(error.contains(QStringLiteral("more than 50 fields")), qPrintable(error));
    // Ten fields whose used range would span sixteen places: the fields
    // count, not the places between them.
    QVERIFY2(csv.parse("x\n,,,,,,,y\n", &error, 10), qPrintable(error));
    QVERIFY(csv.next() && csv.next());
    QCOMPARE(csv.column(0), 7);
}

QTEST_MAIN(TestReadingsCsv)
#include "tst_readingscsv.moc"
