#include "data/acceptance.h"
#include "data/itemdata.h"
#include "data/itemsummary.h"

#include <QtTest>

// Verdicts worked out by hand. Steps are tenths of a micrometre.
class TestAcceptance : public QObject
{
    Q_OBJECT

private:
    static QVector<int> counts(const Verdict &v)
    {
        QVector<int> c;
        for (const RuleCheck &check : v.checks)
            c << check.count;
        return c;
    }

    // An item in micrometres with the given readings ("OL" for overloads).
    static void fill(ItemData &item, const QStringList &values)
    {
        item.setUnit(Unit::Micrometre);
        for (const QString &v : values)
            item.append(ReadingFields::fromText(v, "um", "Fe", QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9))), true);
    }

    static ItemSummary judged(const QStringList &values, const ItemLimits &limits)
    {
        ItemData item("Deck", ItemData::Measure);
        fill(item, values);
        item.setLimits(limits);
        return summarizeItem(item);
    }

    static ItemLimits iso(double nominal, double maximum = 0, double correction = 0)
    {
        ItemLimits l;
        l.nominal = nominal;
        l.maximum = maximum;
        l.correction = correction;
        l.rule = AcceptanceRule::Iso19840;
        return l;
    }

    static ItemLimits sspc(double minimum, double maximum)
    {
        ItemLimits l;
        l.minimum = minimum;
        l.maximum = maximum;
        l.rule = AcceptanceRule::SspcPa2;
        return l;
    }

private slots:
    void isoTwentyPercentBoundary()
    {
        // NDFT 100: 80.0 is exactly 80 % (not below), and lies in the band
        // [80, 100); 100.0 does not.
        Verdict v = evaluateIso19840({800, 1000, 1100, 1200, 1300}, 1000, 0);
        QCOMPARE(counts(v), (QVector<int>{0, 0, 1}));
        QVERIFY(v.checks.at(0).passed);     // mean 108
        QVERIFY(v.checks.at(1).passed);
        QVERIFY(!v.checks.at(2).passed);    // 1 of 5 is 20 %, not fewer
        QVERIFY(!v.passed);

        v = evaluateIso19840({800, 1000, 1100, 1200, 1300, 1000}, 1000, 0);
        QVERIFY(v.passed);                  // 1 of 6

        v = evaluateIso19840({799, 1200, 1200, 1200, 1200, 1200}, 1000, 0);
        QCOMPARE(counts(v), (QVector<int>{0, 1, 0}));
        QVERIFY(!v.passed);

        // Mean exactly at NDFT passes; one step lower fails.
        QVERIFY(evaluateIso19840({1000, 1000}, 1000, 0).checks.at(0).passed);
        QVERIFY(!evaluateIso19840({1000, 999}, 1000, 0).checks.at(0).passed);
    }

    void isoMaximum()
    {
        Verdict v = evaluateIso19840({1200, 1100}, 1000, 1200);
        QCOMPARE(v.checks.size(), 4);
        QVERIFY(v.passed);
        v = evaluateIso19840({1201, 1100}, 1000, 1200);
        QCOMPARE(v.checks.at(3).count, 1);
        QVERIFY(!v.passed);
        QVERIFY(!evaluateIso19840({}, 1000, 0).passed);
    }

    void sspcSpots()
    {
        // Minimum 100, maximum 200: a spot of exactly 240 (120 %) and one
        // of exactly 80 (80 %) pass, their mean 160 lies within.
        Verdict v = evaluateSspcPa2({2400, 2400, 2400, 800, 800, 800}, 1000, 2000);
        QVERIFY(v.passed);
        QCOMPARE(v.checks.at(2).mean, 1600.0);

        // 240.1 + 240 + 240 makes a spot a third of a step above 240.
        v = evaluateSspcPa2({2401, 2400, 2400, 1500, 1500, 1500}, 1000, 2000);
        QCOMPARE(counts(v), (QVector<int>{0, 1, 0}));
        QVERIFY(!v.passed);

        // Spots of 90 pass 80 % of the minimum, but their mean is below it.
        v = evaluateSspcPa2({900, 900, 900, 900, 900, 900, 1}, 1000, 2000);
        QCOMPARE(counts(v), (QVector<int>{0, 0, 0}));
        QCOMPARE(v.checks.at(2).of, 2);     // the lone last reading makes no spot
        QVERIFY(!v.checks.at(2).passed);

        v = evaluateSspcPa2({1000, 1000}, 1000, 2000);
        QCOMPARE(v.checks.size(), 1);
        QCOMPARE(v.checks.at(0).kind, RuleCheck::TooFewReadings);
        QVERIFY(!v.passed);
    }

    void correctionIsSubtracted()
    {
        const QStringList values{"105.0", "125.0", "135.0", "145.0", "150.0"};
        QVERIFY(judged(values, iso(100)).passed);
        // Less 25: 80, 100, 110, 120, 125.
        const ItemSummary s = judged(values, iso(100, 0, 25));
        QVERIFY(s.judged && !s.passed);
        QCOMPARE(s.failures, QStringList{"1 of 5 readings between 80 % of NDFT and NDFT"});
        QCOMPARE(s.limits.last().values, QStringList{"ISO 19840"});
        QCOMPARE(s.limits.at(1).caption, QStringLiteral("Correction"));
        QCOMPARE(s.limits.at(1).values, QStringList{QString::fromUtf8("25.0 μm")});
    }

    void failureTexts()
    {
        ItemSummary s = judged({"70.0", "79.9", "120.0", "90.0", "99.9"}, iso(100, 110));
        QCOMPARE(s.failures, QStringList({QString::fromUtf8("Mean 91.9 μm below NDFT 100.0 μm"),
                                          "2 readings below 80 % of NDFT",
                                          "2 of 5 readings between 80 % of NDFT and NDFT",
                                          "1 reading above the maximum"}));
        QCOMPARE(s.rules.size(), 4);
        QCOMPARE(s.rules.at(2).values, QStringList({"2 of 5", "Fail"}));

        // A mean of 99.96 is shown as 99.9, never as the NDFT it misses.
        s = judged({"99.9", "100.0", "100.0", "100.0", "100.0"}, iso(100));
        QCOMPARE(s.failures.first(), QString::fromUtf8("Mean 99.9 μm below NDFT 100.0 μm"));

        s = judged({"79.0", "79.0", "79.0", "250.0", "250.0", "250.1"}, sspc(100, 200));
        QCOMPARE(s.failures, QStringList({"1 spot below 80 % of the minimum", "1 spot above 120 % of the maximum"}));
        // A spot of 89.97 is shown rounded down, away from the limit.
        s = judged({"89.9", "90.0", "90.0"}, sspc(100, 200));
        QCOMPARE(s.failures.join(QString()),
                 QString::fromUtf8("Mean of the spots 89.9 μm outside the minimum and maximum"));
    }

    void overloadsAreNoThickness()
    {
        const ItemSummary s = judged({"OL", "-OL", "100.0", "110.0", "120.0"}, iso(100));
        QVERIFY(!s.passed);                 // the "-OL" lies below 80 % of the NDFT
        auto row = [&s](const char *caption) {
            for (const SummaryRow &r : s.figures)
                if (r.caption == QLatin1String(caption))
                    return r.values;
            return QStringList();
        };
        const QString um = QString::fromUtf8(" μm");
        QCOMPARE(row("Readings"), QStringList({"5", "3"}));
        QCOMPARE(row("Mean"), QStringList({"66.0" + um, "110.0" + um}));
        QCOMPARE(row("Minimum"), QStringList({"0.0" + um, "100.0" + um}));
        QCOMPARE(row("Standard deviation"), QStringList({"60.7" + um, "10.0" + um}));
        QCOMPARE(row("CV"), QStringList({"91.9 %", "9.1 %"}));
        QCOMPARE(s.overloads.values, QStringList{"2"});
        QCOMPARE(s.firstReading, QStringLiteral("2024-05-06 07:08:09"));
    }

    // The same readings and limits give one verdict, whichever unit the
    // readings were taken in and the item is shown in.
    void oneVerdictInEitherUnit_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("failure");
        // 3.15 mil is 80.01 µm: not below 80 % of an NDFT of 100 µm.
        QTest::newRow("80 % edge") << "mil" << QStringList{"3.15", "4.50", "4.50", "4.50", "4.50", "4.50"} << 0.0
                                   << true << QString();
        // A true mean of 100.03 µm is at least the NDFT.
        QTest::newRow("mean edge") << "mil" << QStringList{"3.94", "3.94", "3.94", "3.94", "3.94", "3.93"} << 0.0
                                   << true << QString();
        QTest::newRow("maximum edge") << "um" << QStringList{"300.1", "120.0", "120.0", "120.0", "120.0", "120.0"}
                                      << 300.0 << false << "1 reading above the maximum";
    }
    void oneVerdictInEitherUnit()
    {
        QFETCH(QString, unit);
        QFETCH(QStringList, values);
        QFETCH(double, maximum);
        QFETCH(bool, passed);
        QFETCH(QString, failure);
        QStringList rules;
        for (const QString &shown : {QStringLiteral("um"), QStringLiteral("mil")}) {
            ItemData item("Deck", ItemData::Measure);
            for (const QString &v : values)
                item.append(ReadingFields::fromText(v, unit, "Fe", QDateTime()), true);
            item.setLimits(iso(100, maximum));
            item.switchUnit(itemUnit(shown));
            const ItemSummary s = summarizeItem(item);
            QVERIFY(s.judged);
            QCOMPARE(s.passed, passed);
            QVERIFY(s.rules.at(0).values.at(1) == ItemSummary::verdictText(true));  // the mean passes
            QCOMPARE(s.failures.isEmpty() ? QString() : s.failures.last(), failure);
            QString r;
            for (const SummaryRow &row : s.rules)
                r += row.values.last();
            rules << r;
        }
        QCOMPARE(rules.at(0), rules.at(1));
    }

    // "OL" is above the range, "-OL" below zero: each counts on its side.
    void overloadsAreJudgedOnTheirSide()
    {
        ItemSummary s = judged({"OL", "110.0", "120.0", "130.0", "140.0", "150.0"}, iso(100, 200));
        QVERIFY(!s.passed);
        QCOMPARE(s.failures, QStringList{"1 reading above the maximum"});
        QCOMPARE(s.overloadsJudged, 1);
        QCOMPARE(reportVerdictRows(s).last(), (QStringList{"Overloads judged", "1"}));
        // Without a maximum an "OL" is simply above the NDFT.
        QVERIFY(judged({"OL", "110.0", "120.0", "130.0", "140.0"}, iso(100)).passed);

        s = judged({"-OL", "110.0", "120.0", "130.0", "140.0", "150.0"}, iso(100));
        QCOMPARE(s.failures, QStringList{"1 reading below 80 % of NDFT"});
        // Nothing but overloads above the range: the mean is above any NDFT.
        QVERIFY(judged({"OL", "OL"}, iso(100)).passed);

        // A spot with an overload lies beyond the limit on its side and
        // leaves the mean to the other spots.
        s = judged({"150.0", "OL", "150.0", "-OL", "150.0", "150.0", "150.0", "150.0", "150.0"}, sspc(100, 200));
        QCOMPARE(s.failures, QStringList({"1 spot below 80 % of the minimum", "1 spot above 120 % of the maximum"}));
        QCOMPARE(s.rules.at(2).values, QStringList({QString::fromUtf8("150.0 μm"), "Pass"}));
        QCOMPARE(s.overloadsJudged, 2);
    }

    void noLimitsNoVerdict()
    {
        ItemData item("Deck", ItemData::Measure);
        fill(item, {"100.0"});
        ItemSummary s = summarizeItem(item);
        QVERIFY(!s.limitsSet && !s.judged);
        QVERIFY(reportVerdictRows(s).isEmpty());
        QCOMPARE(s.figures.at(4).values, QStringList({"-", "-"}));   // one reading has no deviation
        // A rule without the limits it needs is not judged.
        item.setLimits(iso(0, 200));
        s = summarizeItem(item);
        QVERIFY(s.limitsSet && !s.judged);
    }
};

QTEST_GUILESS_MAIN(TestAcceptance)
#include "tst_acceptance.moc"
