#include "data/itemdata.h"
#include "data/itemsummary.h"
#include "exchange/itemreport.h"
#include "exchange/pdfcolumn.h"
#include "tests/exchange/pdftesttools.h"

#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

using PdfTools::pageCount;
using PdfTools::pageText;

// The inspection report of an item: its texts, and the PDF read back.
class TstItemReport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QList<PdfColumn *> m_columns;
    QImage m_picture{40, 20, QImage::Format_RGB32};

    static ItemData *deck(const ItemDetails &details, bool limited)
    {
        auto *item = new ItemData(QStringLiteral("Deck 3"), ItemData::Measure);
        item->setUnit(Unit::Micrometre);
        for (const char *value : {"79.9", "100.0", "120.0", "150.0"})
            item->append(ReadingFields::fromText(QLatin1String(value), QStringLiteral("um"), QStringLiteral("Fe"),
                                       QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))),
                         true);
        if (limited) {
            ItemLimits limits;
            limits.nominal = 100;
            limits.correction = 5;
            limits.rule = AcceptanceRule::Iso19840;
            item->setLimits(limits);
        }
        item->setDetails(details);
        return item;
    }

    QString write(const ItemData &item, const QString &name, const ReportInspection &inspection)
    {
        QStandardItemModel table(2, 5);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 5; ++c)
                table.setData(table.index(r, c), QStringLiteral("r%1c%2").arg(r).arg(c));
        const QString file = m_dir.filePath(name);
        const ReportSummary summary = ItemReport::summary(summarizeItem(item), item.limits());
        if (!writePdfReport(file, table, m_columns, QString(), m_picture, m_picture, summary, inspection))
            qWarning() << "report failed";
        return file;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *title : {"No.", "Time", "Value", "Unit", "Basis"})
            m_columns << new PdfColumn{QLatin1String(title), 2};
        m_picture.fill(Qt::blue);
    }
    void cleanupTestCase() { qDeleteAll(m_columns); }

    void everyDetailSet()
    {
        ItemDetails d;
        d.project = QStringLiteral("Harbour bridge");
        d.structure = QStringLiteral("Span 4, north girder");
        d.coating = QStringLiteral("Zinc epoxy 3 coats");
        d.gaugeModel = QStringLiteral("VK508M");
        d.gaugeSerial = QStringLiteral("G-1234");
        d.probeSerial = QStringLiteral("P-77");
        d.calibration = QDate(2024, 4, 1);
        d.adjustment = QStringLiteral("zero and one foil on the blasted surface");
        d.inspector = QString::fromUtf8("李工");
        d.notes = QStringLiteral("Dry weather");
        QScopedPointer<ItemData> item(deck(d, true));
        QVERIFY(ItemReport::isInspection(*item));
        const QString file = write(*item, QStringLiteral("all.pdf"), ItemReport::inspection(*item, QDate()));

        // Front page, pictures, the table with the closing block under it.
        QCOMPARE(pageCount(file), 3);
        const QString front = pageText(file, 1, true).simplified();
        for (const QString &text :
             {d.project, d.structure, QStringLiteral("Date: 2024-05-06"), QStringLiteral("Inspection"),
              QStringLiteral("Coating system ") + d.coating, QStringLiteral("Gauge VK508M"),
              QStringLiteral("Gauge serial number G-1234"), QStringLiteral("Probe serial number P-77"),
              QStringLiteral("2024-04-01"), QStringLiteral("Adjustment ") + d.adjustment,
              QStringLiteral("Notes Dry weather"), QStringLiteral("Readings 4"), QStringLiteral("Nominal 100.0"),
              QStringLiteral("Correction 5.0"), QStringLiteral("Rule ISO 19840"), QStringLiteral("Verdict Fail"),
              QStringLiteral("1/3")})
            QVERIFY2(front.contains(text), qPrintable(text));
        QVERIFY(pageText(file, 1).simplified().contains(QStringLiteral("measurement and acceptance criteria")));
        QVERIFY(front.contains(QString::fromUtf8("Inspector 李工")));
        QVERIFY(pageText(file, 2).contains(QStringLiteral("Histogram:")));
        const QString last = pageText(file, 3, true).simplified();
        QVERIFY2(last.contains(QString::fromUtf8("r1c4 Inspector 李工 Date Signature 3/3")), qPrintable(last));
    }

    // Unset fields are left out; without details and limits the report is
    // the plain one.
    void onlyWhatIsSet()
    {
        QScopedPointer<ItemData> plain(deck(ItemDetails(), false));
        QVERIFY(!ItemReport::isInspection(*plain));
        const QString today = write(*plain, QStringLiteral("plain.pdf"), ReportInspection());
        QCOMPARE(pageCount(today), 2);
        const QString first = pageText(today, 1);
        QVERIFY(first.contains(QStringLiteral("Histogram:")) && first.contains(QStringLiteral("Deck 3")));
        QVERIFY(!first.contains(QStringLiteral("Signature")) && !first.contains(QStringLiteral("Inspection")));

        ItemDetails d;
        d.inspector = QStringLiteral("  Ann Lee ");
        QScopedPointer<ItemData> named(deck(d, false));
        QVERIFY(ItemReport::isInspection(*named));
        ItemData empty(QStringLiteral("Empty"), ItemData::Measure);
        empty.setDetails(d);
        const ReportInspection in = ItemReport::inspection(empty, QDate(2025, 1, 2));
        QVERIFY(in.heading.isEmpty());
        QCOMPARE(in.date, QStringLiteral("Date: 2025-01-02"));
        QCOMPARE(in.details, (QVector<QStringList>{{QStringLiteral("Inspector"), QStringLiteral("Ann Lee")}}));
        QCOMPARE(in.closing.first(), (QStringList{QStringLiteral("Inspector"), QStringLiteral("Ann Lee")}));
        const QString file = write(*named, QStringLiteral("named.pdf"), ItemReport::inspection(*named, QDate()));
        const QString front = pageText(file, 1);
        QVERIFY(!front.contains(QStringLiteral("Gauge")) && !front.contains(QStringLiteral("Project")));
        QVERIFY(!front.contains(QStringLiteral("Rule")));
    }
};

QTEST_MAIN(TstItemReport)
#include "tst_itemreport.moc"
