#include "exchange/biffrecords.h"
#include "exchange/compoundfile.h"
#include "exchange/xlsreader.h"
#include "exchange/xlswriter.h"

#include "xlstesttools.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <random>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString xlrdErrorText(int code)
{
    static const QHash<int, QString> texts{{0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"},
                                           {0x17, "#REF!"},  {0x1D, "#NAME?"},  {0x24, "#NUM!"},
                                           {0x2A, "#N/A"}};
    return texts.value(code);
}

// Our reading of one workbook against xlrd's: the same used range (xlrd's
// non-empty cells, formatted blanks included) and the same cell values.
void compareWithXlrd(const QString &path)
{
    QString error;
    const QVariantMap dump = XlsTestTools::xlrdDump(path, &error);
    QVERIFY2(dump.contains(QStringLiteral("cells")), qPrintable(error));
    XlsUsedRange range;
    QVERIFY2(readXlsFirstSheet(readFile(path), &range, &error), qPrintable(error));

    const QVariantList cells = dump.value(QStringLiteral("cells")).toList();
    QVERIFY(!cells.isEmpty());
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QVariant &c : cells) {
        const QVariantList cell = c.toList();
        top = std::min(top, cell.at(0).toInt());
        bottom = std::max(bottom, cell.at(0).toInt());
        left = std::min(left, cell.at(1).toInt());
        right = std::max(right, cell.at(1).toInt());
    }
    QCOMPARE(range.firstRow, top);
    QCOMPARE(range.firstColumn, left);
    QCOMPARE(range.rows.size(), bottom - top + 1);
    QCOMPARE(range.columnCount, right - left + 1);

    QSet<QPair<int, int>> seen;
    for (const QVariant &c : cells) {
        const QVariantList cell = c.toList();
        const int r = cell.at(0).toInt(), col = cell.at(1).toInt();
        seen.insert({r, col});
        const QVariant ours = range.rows.at(r - top).at(col - left);
        const QVariant theirs = cell.at(3);
        const QString where = QStringLiteral("%1 row %2 column %3").arg(QFileInfo(path).fileName()).arg(r).arg(col);
        switch (cell.at(2).toInt()) {
        case 1: // text
            QVERIFY2(ours.userType() == QMetaType::QString, qPrintable(where));
            QCOMPARE(ours.toString(), theirs.toString());
            break;
        case 2: // number
            QVERIFY2(ours.userType() == QMetaType::Double, qPrintable(where));
            QCOMPARE(ours.toDouble(), theirs.toDouble());
            break;
        case 3: { // date
            QVERIFY2(ours.userType() == QMetaType::QDateTime, qPrintable(where));
            const QVariantList t = theirs.toList();
            const QDate date = t.at(0).toInt() == 0 ? QDate(1899, 12, 30)
                                                    : QDate(t.at(0).toInt(), t.at(1).toInt(), t.at(2).toInt());
            QCOMPARE(ours.toDateTime(),
                     QDateTime(date, QTime(t.at(3).toInt(), t.at(4).toInt(), t.at(5).toInt())));
            break;
        }
        case 4: // boolean
            QVERIFY2(ours.userType() == QMetaType::Bool, qPrintable(where));
            QCOMPARE(ours.toBool(), theirs.toInt() != 0);
            break;
        case 5: // error
            QCOMPARE(ours.toString(), xlrdErrorText(theirs.toInt()));
            break;
        case 6: // blank with a format
            QVERIFY2(!ours.isValid(), qPrintable(where));
            break;
        default:
            QFAIL(qPrintable(where + QStringLiteral(": unknown cell type")));
        }
    }
    for (int r = 0; r < range.rows.size(); ++r)
        for (int c = 0; c < range.columnCount; ++c)
            if (!seen.contains({r + top, c + left}))
                QVERIFY(!range.rows.at(r).at(c).isValid());
}

QByteArray withBof(quint16 version, const QString &streamName = QStringLiteral("Workbook"))
{
    QByteArray stream = XlsWorkbookWriter().workbookStream();
    qToLittleEndian(version, stream.data() + 4);
    return writeCompoundFile({{streamName, stream}});
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A workbook stream too large for the mini stream: the file's only stream
// lies in regular sectors, and its root entry has no mini stream.
QByteArray regularWorkbook()
{
    XlsWorkbookWriter w;
    for (int r = 0; r < 400; ++r) {
        w.addNumber(r, 0, r * 1.5);
        w.addText(r, 1, QStringLiteral("row %1").arg(r));
    }
    return w.fileData();
}

// The workbook made as writers of the kinds that other readers open make
// them: the version in the record, not the stream's name; a root entry of
// size 0 that names a start sector (the workbook's); a chain one sector
// longer than its stream (into the directory); formula records under the
// older id 0x0406.
QByteArray mended(const QString &kind)
{
    if (kind == QLatin1String("BOOK")) {
        XlsWorkbookWriter w;
        w.addText(0, 0, QStringLiteral("Value"));
        w.addNumber(1, 0, 88.4);
        return writeCompoundFile({{QStringLiteral("BOOK"), w.workbookStream()}});
    }
    if (kind == QLatin1String("formula 0x0406")) {
        CompoundFileReader container;
        QByteArray stream;
        container.open(readFile(XlsTestTools::workbookSample(QStringLiteral("formula_test_sjmachin.xls"))));
        container.readStream(QStringLiteral("Workbook"), &stream);
        for (Biff::RecordReader r(stream); r.next();)
            if (r.id() == Biff::Formula)
                qToLittleEndian<quint16>(Biff::Formula4, stream.data() + r.position());
        return writeCompoundFile({{QStringLiteral("Workbook"), stream}});
    }
    QByteArray file = regularWorkbook();
    const int directory = 512 + 512 * int(qFromLittleEndian<quint32>(file.constData() + 48));
    const quint32 start = qFromLittleEndian<quint32>(file.constData() + directory + 128 + 116);
    if (kind == QLatin1String("empty mini stream")) {
        qToLittleEndian<quint32>(start, file.data() + directory + 116);
    } else {
        const quint32 size = qFromLittleEndian<quint32>(file.constData() + directory + 128 + 120);
        const quint32 last = start + (size + 511) / 512 - 1;
        qToLittleEndian<quint32>(qFromLittleEndian<quint32>(file.constData() + 48), file.data() + 512 + 4 * last);
    }
    return file;
}

} // namespace

class TestXlsReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsXlrd_data();
    void sameAsXlrd();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void refusesHugeUsedRange();
    void streamsSparseSheet();
    void survivesDamagedWorkbooks();

private:
    QTemporaryDir m_dir;
};

void TestXlsReader::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QByteArray out;
    QString error;
    QVERIFY2(XlsTestTools::runPython(QStringLiteral("xlwt_readings.py"), {m_dir.path()}, &out, &error),
             qPrintable(error));
    for (const char *kind : {"BOOK", "empty mini stream", "chain past its size", "formula 0x0406"})
        QVERIFY(writeFile(m_dir.filePath(QLatin1String(kind) + QStringLiteral(".xls")), mended(QLatin1String(kind))));
}

void TestXlsReader::sameAsXlrd_data()
{
    QTest::addColumn<QString>("path");
    // corrupted_error.xls: the root's chain runs on into the workbook's.
    for (const char *name : {"Formate.xls", "profiles.xls", "ragged.xls", "xf_class.xls",
                             "formula_test_sjmachin.xls", "lo-layout.xls", "lo-numeric-values.xls",
                             "lo-offset-C4.xls", "xlwt-1904-dates.xls", "corrupted_error.xls"})
        QTest::newRow(name) << XlsTestTools::workbookSample(QString::fromLatin1(name));
    for (const char *kind : {"BOOK", "empty mini stream", "chain past its size", "formula 0x0406"})
        QTest::newRow(kind) << m_dir.filePath(QLatin1String(kind) + QStringLiteral(".xls"));
    // Written by xlwt: shared strings continued over several records with
    // the character width changing at the record boundaries.
    QTest::newRow("xlwt long strings") << m_dir.filePath(QStringLiteral("long-strings.xls"));
    QTest::newRow("xlwt offset") << m_dir.filePath(QStringLiteral("offset-C4.xls"));
}

void TestXlsReader::sameAsXlrd()
{
    QFETCH(QString, path);
    compareWithXlrd(path);
}

void TestXlsReader::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("BIFF4") << readFile(XlsTestTools::workbookSample(QStringLiteral("biff4_no_format_no_window2.xls")))
                           << "old Excel format";
    QTest::newRow("BIFF5 stream") << withBof(Biff::Biff5Version, QStringLiteral("Book")) << "Excel 5.0/95";
    QTest::newRow("no record in Book") << writeCompoundFile({{QStringLiteral("Book"), QByteArray(5000, '\0')}})
                                       << "Excel 5.0/95";
    QTest::newRow("BIFF5 version") << withBof(Biff::Biff5Version) << "Excel 5.0/95";
    QTest::newRow("text file") << QByteArray("No.;Time;Value\n1;2023-11-20;88.4\n") << "not a workbook";
    QTest::newRow("empty file") << QByteArray() << "not a workbook";
    QTest::newRow("other document") << writeCompoundFile({{QStringLiteral("WordDocument"), QByteArray(100, 'x')}})
                                    << "not a workbook";

    // A password-protected workbook: FILEPASS right after the BOF.
    QByteArray stream = XlsWorkbookWriter().workbookStream();
    Biff::Writer pass;
    pass.begin(Biff::FilePass);
    pass.u16(1);
    pass.zeros(52);
    pass.end();
    stream.insert(20, pass.data());
    QTest::newRow("encrypted") << writeCompoundFile({{QStringLiteral("Workbook"), stream}}) << "encrypted";
}

void TestXlsReader::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, errorPart);
    XlsUsedRange range;
    QString error;
    QVERIFY(!readXlsFirstSheet(file, &range, &error));
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    QVERIFY(range.rows.isEmpty());
}

void TestXlsReader::refusesHugeUsedRange()
{
    // Two cells at opposite corners span the whole sheet: 16.7 million
    // cells, refused instead of allocated.
    XlsWorkbookWriter whole;
    whole.addNumber(0, 0, 1);
    whole.addNumber(65535, 255, 2);
    XlsUsedRange range;
    QString error;
    QVERIFY(!readXlsFirstSheet(whole.fileData(), &range, &error));
    QVERIFY2(error.contains(QStringLiteral("too large")), qPrintable(error));
    QVERIFY(range.rows.isEmpty());

    // The limit is exact.
    XlsWorkbookWriter part;
    part.addNumber(0, 0, 1);
    part.addNumber(1023, 255, 2);
    QVERIFY(!readXlsFirstSheet(part.fileData(), &range, &error, 1024 * 256 - 1));
    QVERIFY2(readXlsFirstSheet(part.fileData(), &range, &error, 1024 * 256), qPrintable(error));
    QCOMPARE(range.rows.size(), 1024);
    QCOMPARE(range.rows.last().last(), QVariant(2.0));
}

// Cells far apart are read as they are, however large the used range
// they span: the four corners of the sheet give two rows of two cells.
void TestXlsReader::streamsSparseSheet()
{
    XlsWorkbookWriter corners;
    for (int r : {0, 65535})
        for (int c : {0, 255})
            corners.addNumber(r, c, r + c);
    QString error;
    const std::unique_ptr<SheetRows> rows = openXlsFirstSheet(corners.fileData(), &error);
    QVERIFY2(rows, qPrintable(error));
    QList<QVariantList> got;
    while (rows->next())
        got << QVariantList{rows->row(), rows->column(0), rows->value(0), rows->column(1), rows->value(1)};
    QCOMPARE(got, (QList<QVariantList>{{0, 0, 0.0, 255, 255.0}, {65535, 0, 65535.0, 255, 65790.0}}));

    // The cells present are what the limit counts.
    XlsWorkbookWriter many;
    for (int c = 0; c < 200; ++c)
        many.addNumber(3, c, c);
    QVERIFY(openXlsFirstSheet(many.fileData(), &error, 200));
    QVERIFY(!openXlsFirstSheet(many.fileData(), &error, 199));
    QVERIFY2(error.contains(QStringLiteral("more than 199 cells")), qPrintable(error));
}

void TestXlsReader::survivesDamagedWorkbooks()
{
    // Random bytes changed and files cut short: each outcome is a used
    // range or an error. The sanitizer build checks every access.
    QList<QByteArray> files;
    for (const char *name : {"Formate.xls", "formula_test_sjmachin.xls", "lo-layout.xls"})
        files << readFile(XlsTestTools::workbookSample(QString::fromLatin1(name)));
    files << readFile(m_dir.filePath(QStringLiteral("long-strings.xls")));
    std::mt19937 rng(7);
    int read = 0, refused = 0;
    for (int round = 0; round < 1200; ++round) {
        QByteArray file = files.at(round % files.size());
        if (round % 5 == 0) {
            file.truncate(int(rng() % quint32(file.size())));
        } else {
            for (int k = 0, n = 1 + int(rng() % 8); k < n; ++k)
                file[int(rng() % quint32(file.size()))] = char(rng());
        }
        XlsUsedRange range;
        QString error;
        if (readXlsFirstSheet(file, &range, &error)) {
            ++read;
        } else {
            ++refused;
            QVERIFY(!error.isEmpty());
        }
    }
    QVERIFY(read > 0);
    QVERIFY(refused > 0);
}

QTEST_GUILESS_MAIN(TestXlsReader)
#include "tst_xlsreader.moc"
