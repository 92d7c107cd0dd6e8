#include "exchange/readingscsv.h"
#include "exchange/readingsworkbook.h"
#include "exchange/readingsxlsx.h"
#include "exchange/tablefile.h"
#include "exchange/xlsxreader.h"

#include "tests/support/seriesfields.h"
#include "xlstesttools.h"

#include <QJsonDocument>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QString Mu = QString::fromUtf8("μm");
const QString Iron = QString::fromUtf8("铁基");

// The readings table as the window shows it: a time left empty, blanks
// kept, a Chinese basis.
std::unique_ptr<QStandardItemModel> sampleTable()
{
    const QList<QStringList> rows{{"2023-11-20 14:02:31", "88.4", Mu, "Fe"},
                                  {"2023-11-20 14:02:33", "   -OL", "mil", "NFe"},
                                  {"", "    OL", Mu, Iron},
                                  {"2023-11-20 14:02:41", "1250", Mu, "Fe"}};
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

QDateTime at(int second)
{
    return QDateTime(QDate(2023, 11, 20), QTime(14, 2, second));
}

// A table that only claims its size: the writer refuses before it reads.
class HugeTable : public QStandardItemModel
{
public:
    explicit HugeTable(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex & = QModelIndex()) const override { return m_rows; }
    int columnCount(const QModelIndex & = QModelIndex()) const override { return 5; }

private:
    int m_rows;
};

QVariantMap openpyxl(const QStringList &args, QString *error)
{
    QByteArray out;
    if (!XlsTestTools::runPython(QStringLiteral("openpyxl_tool.py"), args, &out, error))
        return {};
    return QJsonDocument::fromJson(out).toVariant().toMap();
}

QList<QVariantList> readRows(const QString &path, QString *error)
{
    XlsUsedRange range;
    const std::unique_ptr<SheetRows> rows = TableFile::open(path, error);
    if (rows)
        readUsedRange(*rows, &range, error, XlsxLimits().maxCells);
    return range.rows;
}

// The readings of a file in the sample's layout: the sample's readings,
// whatever the file's own cell types (numbers or texts, dates or texts).
void checkSampleReadings(const QList<QVariantList> &rows)
{
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(0), (QVariantList{"No.", "Time", "Value", "Unit", "Basis"}));
    ReadingSeries series;
    for (int r = 1; r < rows.size(); ++r)
        readingFromRow(rows.at(r), &series);
    const QList<ReadingFields> readings = fieldsOf(series);
    QCOMPARE(readings.at(0).time, at(31));
    QCOMPARE(readings.at(0).textUm, QStringLiteral("88.4"));
    QCOMPARE(readings.at(0).unit, QStringLiteral("um"));
    QCOMPARE(int(readings.at(1).overload), -1);
    QCOMPARE(readings.at(1).textMil, QStringLiteral("   -OL"));
    QCOMPARE(readings.at(1).unit, QStringLiteral("mil"));
    QVERIFY(readings.at(2).time.isNull());
    QCOMPARE(int(readings.at(2).overload), 1);
    QCOMPARE(readings.at(2).basis, Iron);
    QCOMPARE(readings.at(3).time, at(41));
    QCOMPARE(readings.at(3).valueUm, 1250.0);
}

// openpyxl leaves "_xHHHH_" escapes in formula texts; the spreadsheet
// shows the characters they stand for.
QString unescaped(QString text)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QRegularExpressionMatch m;
    for (int from = 0; (m = escape.match(text, from)).hasMatch(); from = m.capturedStart() + 1)
        text.replace(m.capturedStart(), m.capturedLength(), QChar(m.captured(1).toUShort(nullptr, 16)));
    return text;
}

} // namespace

class TestReadingsXlsx : public QObject
{
    Q_OBJECT

private slots:
    void layoutAsOpenpyxlReadsIt();
    void roundTrip();
    void refusesMoreRowsThanASheetHolds();
    void openpyxlWorkbooks_data();
    void openpyxlWorkbooks();
    void samplesAsOpenpyxlReadsThem_data();
    void samplesAsOpenpyxlReadsThem();
    void libreOffice();

private:
    QString writeSample(const QString &name);
    QTemporaryDir m_dir;
};

QString TestReadingsXlsx::writeSample(const QString &name)
{
    const QString path = m_dir.filePath(name);
    QString error;
    const auto model = sampleTable();
    if (!TableFile::write(path, TableFile::exportFormat(path, QString()), *model, &error))
        qWarning() << error;
    return path;
}

void TestReadingsXlsx::layoutAsOpenpyxlReadsIt()
{
    QString error;
    const QVariantMap dump = openpyxl({QStringLiteral("dump"), writeSample(QStringLiteral("layout.xlsx"))}, &error);
    QVERIFY2(!dump.isEmpty(), qPrintable(error));
    const QVariantList rows = dump.value(QStringLiteral("rows")).toList();
    const QVariantList formats = dump.value(QStringLiteral("formats")).toList();
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.at(0).toList(), (QVariantList{"No.", "Time", "Value", "Unit", "Basis"}));
    const QVariantList first = rows.at(1).toList();
    QCOMPARE(first.at(0).toInt(), 1);
    QCOMPARE(first.at(1).toMap().value(QStringLiteral("time")).toString(), QStringLiteral("2023-11-20 14:02:31"));
    QCOMPARE(first.mid(2), (QVariantList{"88.4", Mu, "Fe"}));
    QCOMPARE(rows.at(2).toList().at(2).toString(), QStringLiteral("   -OL"));
    QCOMPARE(rows.at(3).toList().at(4).toString(), Iron);
    QVERIFY(rows.at(3).toList().at(1).isNull()); // no time: an empty cell
    QCOMPARE(rows.at(4).toList().at(2).toString(), QStringLiteral("1250")); // text, not a number
    for (int r = 1; r < 5; ++r) {
        const QVariantList f = formats.at(r).toList();
        QCOMPARE(f.at(0).toString(), QStringLiteral("General"));
        QCOMPARE(f.at(1).toString(), ReadingsWorkbook::timeFormat());
        QCOMPARE(f.mid(2), (QVariantList{"@", "@", "@"}));
    }
}

void TestReadingsXlsx::roundTrip()
{
    QString error;
    const QList<QVariantList> rows = readRows(writeSample(QStringLiteral("round.xlsx")), &error);
    QVERIFY2(!rows.isEmpty(), qPrintable(error));
    QCOMPARE(rows.at(1), (QVariantList{1.0, at(31), "88.4", Mu, "Fe"}));
    checkSampleReadings(rows);

    // The classic workbook of the same table reads the same.
    QCOMPARE(readRows(writeSample(QStringLiteral("round.xls")), &error), rows);

    // A large table: every reading back in its row.
    XlsTestTools::SyntheticReadings big(70000);
    const QString path = m_dir.filePath(QStringLiteral("big.xlsx"));
    QVERIFY2(writeReadingsXlsx(path, big, &error), qPrintable(error));
    const QList<QVariantList> back = readRows(path, &error);
    QCOMPARE(back.size(), 70001);
    for (int r : {0, 5, 6, 65535, 69999}) {
        QCOMPARE(back.at(r + 1).at(1), QVariant(XlsTestTools::SyntheticReadings::time(r)));
        QCOMPARE(back.at(r + 1).at(2), QVariant(XlsTestTools::SyntheticReadings::value(r)));
        QCOMPARE(back.at(r + 1).at(4), QVariant(XlsTestTools::SyntheticReadings::basis(r)));
    }
}

void TestReadingsXlsx::refusesMoreRowsThanASheetHolds()
{
    const QString path = m_dir.filePath(QStringLiteral("toolong.xlsx"));
    QString error;
    HugeTable tooLong(ReadingsXlsx::MaxReadings + 1);
    QVERIFY(!writeReadingsXlsx(path, tooLong, &error));
    QVERIFY2(error.contains(QStringLiteral("1048575")) && error.contains(QStringLiteral("1048576")),
             qPrintable(error));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(ReadingsXlsx::MaxReadings, 1048575);
    QVERIFY(!writeReadingsXlsx(m_dir.filePath(QStringLiteral("no/such/dir/x.xlsx")), *sampleTable(), &error));
    QVERIFY(!error.isEmpty());
}

void TestReadingsXlsx::openpyxlWorkbooks_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("normal") << "normal";
    QTest::newRow("write-only") << "write-only";
}

void TestReadingsXlsx::openpyxlWorkbooks()
{
    QFETCH(QString, mode);
    const QString path = m_dir.filePath(mode + QStringLiteral(".xlsx"));
    QString error;
    openpyxl({QStringLiteral("write"), path, mode}, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<QVariantList> rows = readRows(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    checkSampleReadings(rows);
    QCOMPARE(rows.at(4).at(2), QVariant(1250.0)); // a number there
}

void TestReadingsXlsx::samplesAsOpenpyxlReadsThem_data()
{
    QTest::addColumn<QString>("name");
    const QString dir = XlsTestTools::sourceDir() + QStringLiteral("/tests/fixtures/workbooks-xlsx");
    for (const QString &name : QDir(dir).entryList({QStringLiteral("*.xlsx")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << dir + QLatin1Char('/') + name;
}

// The first worksheet's used range of files other programs wrote, cell by
// cell as openpyxl reads them.
void TestReadingsXlsx::samplesAsOpenpyxlReadsThem()
{
    QFETCH(QString, name);
    QString error;
    const QVariantMap dump = openpyxl({QStringLiteral("dump"), name}, &error);
    QVERIFY2(!dump.isEmpty(), qPrintable(error));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    XlsUsedRange range;
    QVERIFY2(readXlsxFirstSheet(file.readAll(), &range, &error), qPrintable(error));
    const QVariantList expected = dump.value(QStringLiteral("rows")).toList();
    QCOMPARE(range.rows.size(), expected.size());
    if (expected.isEmpty())
        return;
    QCOMPARE(range.firstRow, dump.value(QStringLiteral("first")).toList().at(0).toInt());
    QCOMPARE(range.firstColumn, dump.value(QStringLiteral("first")).toList().at(1).toInt());
    for (int r = 0; r < expected.size(); ++r) {
        const QVariantList row = expected.at(r).toList();
        QCOMPARE(range.rows.at(r).size(), row.size());
        for (int c = 0; c < row.size(); ++c) {
            const QVariant ours = range.rows.at(r).at(c);
            const QVariant theirs = row.at(c);
            const QString where = QStringLiteral("row %1 column %2").arg(r).arg(c);
            if (theirs.isNull()) // openpyxl has no value for a formula's empty text either
                QVERIFY2(!ours.isValid() || ours == QVariant(QString()), qPrintable(where));
            else if (theirs.userType() == QMetaType::QVariantMap)
                QVERIFY2(ours.userType() == QMetaType::QDateTime || ours.userType() == QMetaType::Bool,
                         qPrintable(where));
            else if (theirs.userType() == QMetaType::QString)
                QVERIFY2(ours.toString() == theirs.toString() || ours.toString() == unescaped(theirs.toString()),
                         qPrintable(where));
            else
                QVERIFY2(ours.userType() == QMetaType::Double && ours.toDouble() == theirs.toDouble(),
                         qPrintable(where));
        }
    }
}

// LibreOffice makes an .xlsx of our CSV file, and a CSV file of our .xlsx:
// both give the sample's readings.
void TestReadingsXlsx::libreOffice()
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed; its workbooks are not tried.");
    const QString csv = writeSample(QStringLiteral("sample.csv"));
    const QString ours = writeSample(QStringLiteral("ours.xlsx"));
    const QString out = m_dir.filePath(QStringLiteral("office"));
    const QString profile = QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("profile"))).toString();
    auto convert = [&](const QString &filter, const QString &file) {
        QProcess p;
        p.start(office, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                         QStringLiteral("--norestore"), QStringLiteral("--infilter=CSV:44,34,76,1,,1033"),
                         QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), out, file});
        return p.waitForFinished(180000) && p.exitCode() == 0;
    };
    QVERIFY(convert(QStringLiteral("xlsx"), csv));
    QVERIFY(convert(QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"), ours));
    QString error;
    const QList<QVariantList> fromCsv = readRows(out + QStringLiteral("/sample.xlsx"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    checkSampleReadings(fromCsv);
    QCOMPARE(fromCsv.at(1).at(1), QVariant(at(31))); // a date cell of LibreOffice's own format
    const QList<QVariantList> fromXlsx = readRows(out + QStringLiteral("/ours.csv"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    checkSampleReadings(fromXlsx);
}

QTEST_MAIN(TestReadingsXlsx)
#include "tst_readingsxlsx.moc"
