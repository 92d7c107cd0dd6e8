#include "data/itemdata.h"
#include "data/itemsummary.h"
#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"
#include "tests/exchange/pdftesttools.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

const char *const TableTime = "2020-01-02 03:04:05";
const QRegularExpression DateTimePattern(QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"));

// Translates every text of every context, so that only texts that are
// meant to stay untranslated come out unchanged.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        return QStringLiteral("[%1|%2]").arg(QLatin1String(context), QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }
};

using PdfTools::pageCount;
using PdfTools::pageText;
using PdfTools::run;

// The word boxes of one page: text -> (xMax, yMax) in points.
QMultiMap<QString, QPointF> wordCorners(const QString &pdf, int page)
{
    const QString p = QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"), {"-bbox", "-f", p, "-l", p, pdf, "-"});
    QMultiMap<QString, QPointF> words;
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"[\\d.]+\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    auto it = word.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        words.insert(m.captured(3), QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return words;
}

// Image heights on page 1, in pixels, as pdfimages lists them.
QList<int> firstPageImageHeights(const QString &pdf)
{
    QList<int> heights;
    const QStringList lines = run(QStringLiteral("pdfimages"), {"-list", "-f", "1", "-l", "1", pdf}).split('\n');
    for (const QString &line : lines) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() > 4 && fields.at(0) == QLatin1String("1") && fields.at(2) == QLatin1String("image"))
            heights << fields.at(4).toInt();
    }
    return heights;
}

} // namespace

class TstPdfReport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QList<PdfColumn *> m_columns;
    QImage m_histogram;
    QImage m_chart;
    int m_rowsPerPage = 0;   // P, worked out here from the writer's own numbers
    int m_pictureHeight = 0; // PH

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void fillTable(QStandardItemModel &table, int rows)
    {
        table.setRowCount(rows);
        table.setColumnCount(5);
        for (int r = 0; r < rows; ++r) {
            table.setData(table.index(r, 0), r + 1);
            table.setData(table.index(r, 1), QString::fromLatin1(TableTime));
            table.setData(table.index(r, 2), r == 0 ? QStringLiteral("   -OL") : QStringLiteral("%1.5").arg(r));
            table.setData(table.index(r, 3), QString::fromUtf8("μm"));
            table.setData(table.index(r, 4), QStringLiteral("Fe"));
        }
    }

    QString writeReport(const QString &name, int rows, const QString &scene = QString())
    {
        QStandardItemModel table;
        fillTable(table, rows);
        const QString file = path(name);
        QString error;
        if (!writePdfReport(file, table, m_columns, scene, m_histogram, m_chart, &error))
            qWarning() << "report failed:" << error;
        return file;
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cellTextByType();
    void a4Pages_data();
    void a4Pages();
    void firstPageCarriesPicturesAndNoStamp();
    void tablePagesCarryStampTitlesAndCells();
    void pageNumbersShareTheirPlace();
    void sceneBlock();
    void nullPicturesAreLeftOut();
    void captionsTranslatedTitlesNot();
    void replacesAnExistingFile();
    void unwritableTargetFailsAndLeavesNoFile();
    void summaryOfTheItem();
    void longTextsStayOnThePage();
};

void TstPdfReport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_columns << new PdfColumn{QStringLiteral("No."), 2} << new PdfColumn{QStringLiteral("Time"), 3}
              << new PdfColumn{QStringLiteral("Value"), 3} << new PdfColumn{QStringLiteral("Unit"), 2}
              << new PdfColumn{QStringLiteral("Basis"), 2};
    m_histogram = QImage(80, 40, QImage::Format_RGB32);
    m_histogram.fill(Qt::blue);
    m_chart = QImage(60, 40, QImage::Format_RGB32);
    m_chart.fill(Qt::red);

    // R = 2 x the initial font's height, P = (H - 5R) / R, PH = H / 3 - 4h.
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const int r = 2 * painter.fontMetrics().height();
    QFont font = painter.font();
    font.setPointSize(12);
    const int h = QFontMetrics(font, &writer).height();
    m_rowsPerPage = (writer.height() - 5 * r) / r;
    m_pictureHeight = writer.height() / 3 - 4 * h;
    QCOMPARE(writer.resolution(), 1200);
    QVERIFY(m_rowsPerPage > 2);
}

void TstPdfReport::cleanupTestCase()
{
    qDeleteAll(m_columns);
}

void TstPdfReport::cellTextByType()
{
    QCOMPARE(reportCellText(QVariant(42)), QStringLiteral("42"));
    QCOMPARE(reportCellText(QVariant(-7LL)), QStringLiteral("-7"));
    QCOMPARE(reportCellText(QVariant(4000000000U)), QStringLiteral("4000000000"));
    QCOMPARE(reportCellText(QVariant(18446744073709551615ULL)), QStringLiteral("18446744073709551615"));
    QCOMPARE(reportCellText(QVariant(12.0)), QStringLiteral("12"));
    QCOMPARE(reportCellText(QVariant(-3.0f)), QStringLiteral("-3"));
    QCOMPARE(reportCellText(QVariant(QChar('A'))), QStringLiteral("65"));
    QCOMPARE(reportCellText(QVariant(QStringLiteral("   -OL"))), QStringLiteral("   -OL"));
    QCOMPARE(reportCellText(QVariant(QString::fromUtf8("μm"))), QString::fromUtf8("μm"));
    QCOMPARE(reportCellText(QVariant(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)))),
             QStringLiteral("2026-03-04 05:06:07"));
    QCOMPARE(reportCellText(QVariant(QDate(2026, 3, 4))), QStringLiteral("2026-03-04"));
    QCOMPARE(reportCellText(QVariant(true)), QStringLiteral("true"));
    QCOMPARE(reportCellText(QVariant()), QString());
}

void TstPdfReport::a4Pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::newRow("no rows") << 0 << 1;
    QTest::newRow("n = P") << m_rowsPerPage << 2;
    QTest::newRow("n = P + 1") << m_rowsPerPage + 1 << 3;
}

void TstPdfReport::a4Pages()
{
    QFETCH(int, rows);
    QFETCH(int, pages);
    const QString file = writeReport(QStringLiteral("pages-%1.pdf").arg(rows), rows);

    const QString info = run(QStringLiteral("pdfinfo"), {file});
    QVERIFY2(info.contains(QLatin1String("(A4)")), qPrintable(info));
    QCOMPARE(pageCount(file), pages);
    QVERIFY(pageText(file, 1).contains(QStringLiteral("1/%1").arg(pages)));
    for (int p = 2; p <= pages; ++p)
        QVERIFY(pageText(file, p).contains(QStringLiteral("%1/%2").arg(p).arg(pages)));

    if (rows == m_rowsPerPage + 1) {
        // The last page holds the one remaining row.
        const QString last = pageText(file, 3);
        QCOMPARE(last.count(QLatin1String(TableTime)), 1);
        QVERIFY(last.contains(QString::number(rows)));
        QCOMPARE(pageText(file, 2).count(QLatin1String(TableTime)), m_rowsPerPage);
    }
}

void TstPdfReport::firstPageCarriesPicturesAndNoStamp()
{
    const QString file = writeReport(QStringLiteral("first.pdf"), 3);
    const QString first = pageText(file, 1);
    QVERIFY(first.contains(QLatin1String("Histogram:")));
    QVERIFY(first.contains(QLatin1String("Chart:")));
    QVERIFY(!first.contains(QLatin1String("Scene picture:")));
    QVERIFY2(!first.contains(DateTimePattern), qPrintable(first));
    QVERIFY(!first.contains(QLatin1String("No.")));
    // Both pictures scaled to the picture height PH.
    QCOMPARE(firstPageImageHeights(file), (QList<int>{m_pictureHeight, m_pictureHeight}));
}

void TstPdfReport::tablePagesCarryStampTitlesAndCells()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QString file = writeReport(QStringLiteral("table.pdf"), m_rowsPerPage + 1);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    for (int page = 2; page <= 3; ++page) {
        const QString text = pageText(file, page);
        int stamps = 0;
        auto it = DateTimePattern.globalMatch(text);
        while (it.hasNext()) {
            const QString found = it.next().captured();
            if (found == QLatin1String(TableTime))
                continue;
            const QDateTime stamp = QDateTime::fromString(found, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            QVERIFY2(stamp >= before && stamp <= after, qPrintable(found));
            ++stamps;
        }
        QCOMPARE(stamps, 1);
        for (const PdfColumn *column : qAsConst(m_columns))
            QVERIFY2(text.contains(column->title), qPrintable(column->title));
        QVERIFY(text.contains(QString::fromUtf8("μm")));
    }
    const QString second = pageText(file, 2);
    QVERIFY(second.contains(QLatin1String("-OL")));
    QVERIFY(second.contains(QLatin1String("2.5")));
}

void TstPdfReport::pageNumbersShareTheirPlace()
{
    // Full page, short last page and first page: the page number sits at
    // the same height and ends at the same right edge.
    const QString file = writeReport(QStringLiteral("numbers.pdf"), m_rowsPerPage + 1);
    const QPointF first = wordCorners(file, 1).value(QStringLiteral("1/3"));
    const QPointF full = wordCorners(file, 2).value(QStringLiteral("2/3"));
    const QPointF last = wordCorners(file, 3).value(QStringLiteral("3/3"));
    QVERIFY(first.y() > 700);
    QVERIFY(qAbs(first.y() - full.y()) < 0.5 && qAbs(first.y() - last.y()) < 0.5);
    QVERIFY(qAbs(first.x() - full.x()) < 1.0 && qAbs(first.x() - last.x()) < 1.0);
    // The stamp ends at the same right edge, X.
    const auto words = wordCorners(file, 3);
    double stampRight = 0;
    for (auto it = words.cbegin(); it != words.cend(); ++it) {
        if (QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(it.key()).hasMatch()
            && it.value().y() < 100)
            stampRight = it.value().x();
    }
    QVERIFY(qAbs(stampRight - last.x()) < 1.0);
}

void TstPdfReport::sceneBlock()
{
    const QString scene = path(QStringLiteral("scene.png"));
    QImage image(30, 60, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(scene));
    QString file = writeReport(QStringLiteral("scene.pdf"), 1, scene);
    QVERIFY(pageText(file, 1).contains(QLatin1String("Scene picture:")));
    QCOMPARE(firstPageImageHeights(file), (QList<int>{m_pictureHeight, m_pictureHeight, m_pictureHeight}));

    // A file that is no picture: the caption without a picture.
    const QString broken = path(QStringLiteral("broken.png"));
    QFile text(broken);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    file = writeReport(QStringLiteral("broken-scene.pdf"), 1, broken);
    QVERIFY(pageText(file, 1).contains(QLatin1String("Scene picture:")));
    QCOMPARE(firstPageImageHeights(file).size(), 2);

    file = writeReport(QStringLiteral("missing-scene.pdf"), 1, path(QStringLiteral("missing.png")));
    QVERIFY(!pageText(file, 1).contains(QLatin1String("Scene picture:")));
    QCOMPARE(firstPageImageHeights(file).size(), 2);
}

void TstPdfReport::nullPicturesAreLeftOut()
{
    QStandardItemModel table;
    fillTable(table, 2);
    const QString file = path(QStringLiteral("no-pictures.pdf"));
    QVERIFY(writePdfReport(file, table, m_columns, QString(), QImage(), QImage(), nullptr));
    const QString first = pageText(file, 1);
    QVERIFY(!first.contains(QLatin1String("Histogram:")));
    QVERIFY(!first.contains(QLatin1String("Chart:")));
    QVERIFY(first.contains(QLatin1String("1/2")));
    QVERIFY(firstPageImageHeights(file).isEmpty());
}

void TstPdfReport::captionsTranslatedTitlesNot()
{
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const QString scene = path(QStringLiteral("scene2.png"));
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QVERIFY(image.save(scene));
    const QString file = writeReport(QStringLiteral("translated.pdf"), 1, scene);
    QCoreApplication::removeTranslator(&translator);

    const QString first = pageText(file, 1);
    QVERIFY2(first.contains(QLatin1String("[Widget|Scene picture:]")), qPrintable(first));
    QVERIFY(first.contains(QLatin1String("[Widget|Histogram:]")));
    QVERIFY(first.contains(QLatin1String("[Widget|Chart:]")));
    const QString table = pageText(file, 2);
    QVERIFY(!table.contains(QLatin1Char('[')));
    for (const PdfColumn *column : qAsConst(m_columns))
        QVERIFY(table.contains(column->title));
}

void TstPdfReport::replacesAnExistingFile()
{
    const QString file = path(QStringLiteral("replace/report.pdf"));
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QStandardItemModel table;
    fillTable(table, 1);
    QString error;
    QVERIFY(writePdfReport(file, table, m_columns, QString(), m_histogram, m_chart, &error));
    QCOMPARE(pageCount(file), 2);
    // No temporary file left beside it.
    QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});
}

void TstPdfReport::unwritableTargetFailsAndLeavesNoFile()
{
    QStandardItemModel table;
    fillTable(table, 3);

    const QString inMissingFolder = path(QStringLiteral("no/such/folder/report.pdf"));
    QString error;
    QVERIFY(!writePdfReport(inMissingFolder, table, m_columns, QString(), m_histogram, m_chart, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(inMissingFolder));

    // A folder in the way of the file.
    const QString folder = path(QStringLiteral("folder.pdf"));
    QVERIFY(QDir().mkpath(folder));
    error.clear();
    QVERIFY(!writePdfReport(folder, table, m_columns, QString(), m_histogram, m_chart, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("*.pdf.*")}, QDir::Files | QDir::Hidden).isEmpty());
}

// The summary under the chart, read back; what was there stays in place.
void TstPdfReport::summaryOfTheItem()
{
    ItemData item(QStringLiteral("Deck 3"), ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    for (const char *value : {"79.9", "100.0", "120.0", "OL", "150.0"})
        item.append(ReadingFields::fromText(QLatin1String(value), QStringLiteral("um"), QStringLiteral("Fe"),
                                  QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))), true);
    ItemLimits limits;
    limits.nominal = 100;
    limits.rule = AcceptanceRule::Iso19840;
    item.setLimits(limits);
    const ItemSummary s = summarizeItem(item);
    const ReportSummary summary{reportFigureRows(s), reportVerdictRows(s)};

    QStandardItemModel table;
    fillTable(table, 2);
    const QString plain = path(QStringLiteral("plain.pdf"));
    const QString summed = path(QStringLiteral("summary.pdf"));
    QVERIFY(writePdfReport(plain, table, m_columns, QString(), m_histogram, m_chart, nullptr));
    QVERIFY(writePdfReport(summed, table, m_columns, QString(), m_histogram, m_chart, summary, nullptr));

    QCOMPARE(pageCount(summed), 2);
    // Row by row, as laid out.
    const QString first = run(QStringLiteral("pdftotext"), {"-layout", "-f", "1", "-l", "1", "-enc", "UTF-8", summed,
                                                           "-"}).simplified();
    for (const char *text : {"Deck 3", "2024-05-06 07:08:09", "Readings 5 4", "Standard deviation", "CV",
                             "Overloads 1", "Nominal 100.0", "ISO 19840", "Verdict Fail"})
        QVERIFY2(first.contains(QString::fromUtf8(text)), text);
    QVERIFY(first.contains(QString::fromUtf8("Mean 90.0 μm 112.5 μm")));
    // The failed rule may wrap; in reading order it is whole.
    QVERIFY(pageText(summed, 1).simplified().contains(QLatin1String("1 reading below 80 % of NDFT")));
    QVERIFY(first.contains(QString::fromUtf8("Minimum 0.0 μm 79.9 μm")));
    QVERIFY(first.contains(QString::fromUtf8("Maximum 150.0 μm 150.0 μm")));

    const auto before = wordCorners(plain, 1);
    const auto after = wordCorners(summed, 1);
    for (const char *word : {"Histogram:", "Chart:", "1/2"})
        QCOMPARE(after.value(QLatin1String(word)), before.value(QLatin1String(word)));
    QVERIFY(after.value(QStringLiteral("Readings")).y() > after.value(QStringLiteral("Chart:")).y() + 100);

    // Under a scene picture there is no room: a last page of its own.
    const QString scene = path(QStringLiteral("tall.png"));
    QImage image(30, 60, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QVERIFY(image.save(scene));
    const QString crowded = path(QStringLiteral("crowded.pdf"));
    QVERIFY(writePdfReport(crowded, table, m_columns, scene, m_histogram, m_chart, summary, nullptr));
    QCOMPARE(pageCount(crowded), 3);
    QVERIFY(!pageText(crowded, 1).contains(QLatin1String("Verdict")));
    QVERIFY(pageText(crowded, 1).contains(QLatin1String("1/3")));
    QVERIFY(pageText(crowded, 2).contains(QLatin1String("2/3")));
    const QString last = pageText(crowded, 3).simplified();
    QVERIFY(last.contains(QLatin1String("Verdict Fail")) && last.contains(QLatin1String("3/3")));
}

// A 120-character name wraps beside the verdict; a long basis ends in "…"
// within its column. Every word stays on its page.
void TstPdfReport::longTextsStayOnThePage()
{
    QString name;
    while (name.size() < 120)
        name += QStringLiteral("Girder%1 ").arg(name.size());
    name = name.left(120);
    const QString basis = QString::fromUtf8("铁基涂层厚度测量在桥梁第四跨处");
    ItemData item(name, ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    for (const char *value : {"100.0", "120.0", "90.0"})
        item.append(ReadingFields::fromText(QLatin1String(value), QStringLiteral("um"), basis, QDateTime::currentDateTime()),
                    true);
    ItemLimits limits;
    limits.nominal = 100;
    limits.rule = AcceptanceRule::Iso19840;
    item.setLimits(limits);
    const ItemSummary s = summarizeItem(item);
    QStandardItemModel table;
    fillTable(table, 3);
    for (int r = 0; r < 3; ++r)
        table.setData(table.index(r, 4), basis);
    const QString file = path(QStringLiteral("long.pdf"));
    QVERIFY(writePdfReport(file, table, m_columns, QString(), m_histogram, m_chart,
                           ReportSummary{reportFigureRows(s), reportVerdictRows(s)}, nullptr));

    const QVector<PdfTools::Page> pages = PdfTools::wordBoxes(file);
    QCOMPARE(pages.size(), 2);
    QStringList words;
    for (const PdfTools::Page &page : pages) {
        for (const PdfTools::Word &word : page.words) {
            QVERIFY2(page.bounds.contains(word.box), qPrintable(word.text));
            words << word.text;
        }
    }
    for (const char *word : {"Verdict", "Without", "Girder0", "Girder106"})
        QVERIFY2(words.contains(QLatin1String(word)), word);
    const QString cells = pageText(file, 2);
    QVERIFY(cells.contains(QString::fromUtf8("…")));
    QVERIFY(!cells.contains(basis));
}

QTEST_MAIN(TstPdfReport)
#include "tst_pdfreport.moc"
