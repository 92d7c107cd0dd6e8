#include "data/itemdata.h"

#include <QRandomGenerator>
#include <QtTest>

// Measurement item: statistics texts, running vs full pass.
class TestItemData : public QObject
{
    Q_OBJECT

private slots:
    void newItemShowsZeroTexts();
    void emptyPassFormatsZeroInUnit();
    void micrometreExample();
    void milExamples();
    void overloadLimitInMicrometres();
    void upperCaseUnitComputesInMils();
    void unitChangeKeepsTextsUntilNextPass();
    void formatValueLimits();
    void clearKeepsUnitAndDropsReadings();
    void appendWithoutRecalcLeavesStatistics();
    void runningMatchesFullPass_data();
    void runningMatchesFullPass();
    void deviationMatchesTwoPass_data();
    void deviationMatchesTwoPass();
};

static ReadingFields reading(const QString &text, const QString &unit)
{
    return ReadingFields::fromText(text, unit, "Fe", QDateTime::currentDateTime());
}

static ReadingFields um(double value)
{
    return reading(QString::number(value, 'f', 1), "um");
}

static ReadingFields mil(double value)
{
    return reading(QString::number(value, 'f', 2), "mil");
}

static ReadingSeries series(const QList<ReadingFields> &readings)
{
    ReadingSeries s;
    for (const ReadingFields &r : readings)
        s.append(r);
    return s;
}

static QStringList texts(const ItemData &item)
{
    const ItemStatistics *s = item.statistics();
    return {QString::number(s->num), s->avg, s->min, s->max};
}

void TestItemData::newItemShowsZeroTexts()
{
    ItemData item("Measure1", ItemData::Measure);
    QCOMPARE(item.name(), QStringLiteral("Measure1"));
    QCOMPARE(item.type(), ItemData::Measure);
    QCOMPARE(item.unit(), Unit::Micrometre);
    QCOMPARE(texts(item), QStringList({"0", "0", "0", "0"}));
    QCOMPARE(int(ItemData::LiveData), 0);
    QCOMPARE(int(ItemData::Measure), 1);
    QCOMPARE(int(ItemData::Import), 2);
    QCOMPARE(int(ItemData::StoreData), 3);
}

void TestItemData::emptyPassFormatsZeroInUnit()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"0", "0.0", "0.0", "0.0"}));
    item.setUnit(Unit::Mil);
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"0", "0.00", "0.00", "0.00"}));
}

void TestItemData::micrometreExample()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    item.append(um(10), true);
    item.append(um(20), true);
    item.append(um(30), true);
    QCOMPARE(texts(item), QStringList({"3", "20.0", "10.0", "30.0"}));

    ItemData grouped("b", ItemData::StoreData);
    grouped.setUnit(Unit::Micrometre);
    grouped.append(series({um(10), um(20), um(30)}), true);
    QCOMPARE(texts(grouped), QStringList({"3", "20.0", "10.0", "30.0"}));
}

void TestItemData::milExamples()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Mil);
    item.append(mil(50), true);
    QCOMPARE(texts(item), QStringList({"1", "50.00", "50.00", "50.00"}));

    ItemData high("b", ItemData::Measure);
    high.setUnit(Unit::Mil);
    high.append(mil(1300), true);
    QCOMPARE(high.statistics()->max, QStringLiteral(" OL"));
}

void TestItemData::overloadLimitInMicrometres()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    item.append(um(1250), true);
    QCOMPARE(item.statistics()->max, QStringLiteral("1250.0"));
    item.append(um(1251), true);
    QCOMPARE(item.statistics()->max, QStringLiteral(" OL"));
    QCOMPARE(item.statistics()->min, QStringLiteral("1250.0"));

    // An overload counts with value 0.
    item.append(reading("OL", "um"), true);
    QCOMPARE(texts(item), QStringList({"3", "833.7", "0.0", " OL"}));
}

// A kept unit text other than "um" exactly shows mils.
void TestItemData::upperCaseUnitComputesInMils()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(itemUnit("UM"));
    item.append(um(25.4), true);
    QCOMPARE(texts(item), QStringList({"1", "1.00", "1.00", "1.00"}));
}

void TestItemData::unitChangeKeepsTextsUntilNextPass()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Mil);
    item.append(mil(1), true);
    item.append(mil(2), true);
    QCOMPARE(texts(item), QStringList({"2", "1.50", "1.00", "2.00"}));

    item.setUnit(Unit::Micrometre);
    QCOMPARE(texts(item), QStringList({"2", "1.50", "1.00", "2.00"}));

    // The next append recomputes everything in the new unit.
    item.append(um(127), true);
    QCOMPARE(texts(item), QStringList({"3", "67.7", "25.4", "127.0"}));

    item.setUnit(Unit::Mil);
    QCOMPARE(texts(item), QStringList({"3", "67.7", "25.4", "127.0"}));
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"3", "2.67", "1.00", "5.00"}));
}

void TestItemData::formatValueLimits()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    QCOMPARE(item.formatValue(-0.01), QStringLiteral("-OL"));
    QCOMPARE(item.formatValue(0), QStringLiteral("0.0"));
    QCOMPARE(item.formatValue(1250), QStringLiteral("1250.0"));
    QCOMPARE(item.formatValue(1250.01), QStringLiteral(" OL"));
    QCOMPARE(item.formatValue(12.24), QStringLiteral("12.2"));
    item.setUnit(Unit::Mil);
    QCOMPARE(item.formatValue(12.345), QStringLiteral("12.35"));
    QCOMPARE(item.formatValue(1250.5), QStringLiteral(" OL"));
}

void TestItemData::clearKeepsUnitAndDropsReadings()
{
    ItemData item("Store Data", ItemData::StoreData);
    item.setUnit(Unit::Mil);
    item.append(series({mil(3), mil(4)}), true);
    item.clear();
    QCOMPARE(item.count(), 0);
    QCOMPARE(item.unit(), Unit::Mil);
    QCOMPARE(texts(item), QStringList({"0", "0", "0", "0"}));

    // Counting starts afresh after a clear.
    item.append(mil(7), true);
    QCOMPARE(texts(item), QStringList({"1", "7.00", "7.00", "7.00"}));
}

void TestItemData::appendWithoutRecalcLeavesStatistics()
{
    ItemData item("a", ItemData::Measure);
    item.append(um(1), false);
    QCOMPARE(item.count(), 1);
    QCOMPARE(item.statistics()->num, 0);
}

// The statistics pass written out step by step, as the reference.
static QStringList referencePass(const QList<ReadingFields> &readings, const ItemData &item)
{
    const bool inUm = item.isMicrometre();
    double sum = 0, average = 0, minimum = 0, maximum = 0;
    int count = 0;
    if (!readings.isEmpty())
        minimum = maximum = inUm ? readings.first().valueUm : readings.first().valueMil;
    for (const ReadingFields &r : readings) {
        const double v = inUm ? r.valueUm : r.valueMil;
        count += 1;
        sum += v;
        if (v <= minimum)
            minimum = v;
        if (v > maximum)
            maximum = v;
        average = sum / count;
    }
    return {QString::number(count), item.formatValue(average), item.formatValue(minimum),
            item.formatValue(maximum)};
}

void TestItemData::runningMatchesFullPass_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 42u, 2024u, 90210u})
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
}

void TestItemData::runningMatchesFullPass()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QList<Unit> units = {Unit::Micrometre, Unit::Mil};

    auto randomReading = [&random]() {
        const int kind = random.bounded(20);
        const bool inUm = random.bounded(2) == 0;
        const QString unit = inUm ? "um" : "mil";
        if (kind == 0)
            return ReadingFields::fromText("OL", unit, "Fe", QDateTime());
        if (kind == 1)
            return ReadingFields::fromText("-OL", unit, "Fe", QDateTime());
        // Values with awkward binary fractions so the sum's rounding matters.
        const double value = random.generateDouble() * (inUm ? 1400.0 : 55.0);
        return ReadingFields::fromText(QString::number(value, 'f', inUm ? 3 : 4), unit, "NFe", QDateTime());
    };

    ItemData item("a", ItemData::Measure);
    item.setUnit(Unit::Micrometre);
    QList<ReadingFields> shadow;
    QStringList expected = texts(item);

    for (int step = 0; step < 3000; ++step) {
        const int action = random.bounded(100);
        if (action < 70) {
            const ReadingFields r = randomReading();
            shadow.append(r);
            item.append(r, true);
            expected = referencePass(shadow, item);
        } else if (action < 78) {
            const ReadingFields r = randomReading();
            shadow.append(r);
            item.append(r, false);
        } else if (action < 85) {
            QList<ReadingFields> group;
            const int n = random.bounded(6);
            for (int i = 0; i < n; ++i)
                group.append(randomReading());
            shadow.append(group);
            item.append(series(group), true);
            expected = referencePass(shadow, item);
        } else if (action < 95) {
            item.setUnit(units.at(random.bounded(units.size())));
        } else if (action < 99) {
            item.calcStatistics();
            expected = referencePass(shadow, item);
        } else {
            item.clear();
            shadow.clear();
            expected = texts(ItemData("fresh", ItemData::Measure));
        }
        QCOMPARE(texts(item), expected);
    }
}

void TestItemData::deviationMatchesTwoPass_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("unit");
    for (quint32 seed : {3u, 99u, 4711u}) {
        QTest::newRow(qPrintable(QStringLiteral("um %1").arg(seed))) << seed << QStringLiteral("um");
        QTest::newRow(qPrintable(QStringLiteral("mil %1").arg(seed))) << seed << QStringLiteral("mil");
    }
}

// The standard deviation kept reading by reading against the textbook two
// passes (mean first, then the squared deviations), at the item's decimals;
// and the running figures against a full pass, to the last bit.
void TestItemData::deviationMatchesTwoPass()
{
    QFETCH(quint32, seed);
    QFETCH(QString, unit);
    const bool inUm = unit == QLatin1String("um");
    const int decimals = inUm ? 1 : 2;
    QRandomGenerator random(seed);

    auto twoPass = [decimals](const QVector<double> &values) {
        double sum = 0;
        for (double v : values)
            sum += v;
        const double mean = sum / values.size();
        double squares = 0;
        for (double v : values)
            squares += (v - mean) * (v - mean);
        return QString::number(std::sqrt(squares / (values.size() - 1)), 'f', decimals);
    };

    ItemData running("a", ItemData::Measure);
    running.setUnit(itemUnit(unit));
    QVector<double> all, thicknesses;
    ReadingSeries copies;
    // Readings close together far from 0, where a naive sum of squares
    // loses its digits, with a few overloads.
    const double centre = inUm ? 800.0 : 30.0;
    for (int i = 1; i <= 3000; ++i) {
        const bool overload = random.bounded(30) == 0;
        const QString text = overload ? QStringLiteral("OL")
                                      : QString::number(centre + random.bounded(2000) / (inUm ? 10.0 : 100.0)
                                                            - (inUm ? 100.0 : 10.0),
                                                        'f', decimals);
        running.append(ReadingFields::fromText(text, unit, "Fe", QDateTime()), true);
        copies.appendText(text, unit, "Fe", QDateTime());
        // The spread is counted in micrometres whatever the item shows.
        const double value = copies.valueUm(copies.size() - 1);
        all << value;
        if (!overload)
            thicknesses << value;
        if (i % 97 == 2 || i == 3000) {
            const QString at = QString::number(i);
            QCOMPARE(QString::number(running.spreadOfAll().standardDeviation(), 'f', decimals) + at,
                     twoPass(all) + at);
            if (thicknesses.size() > 1)
                QCOMPARE(QString::number(running.spreadOfThicknesses().standardDeviation(), 'f', decimals) + at,
                         twoPass(thicknesses) + at);
            QCOMPARE(running.overloadCount(), all.size() - thicknesses.size());
        }
    }

    ItemData full("b", ItemData::Measure);
    full.setUnit(itemUnit(unit));
    full.append(copies, false);
    full.calcStatistics();
    for (auto spread : {&ItemData::spreadOfAll, &ItemData::spreadOfThicknesses}) {
        const RunningSpread &a = (running.*spread)();
        const RunningSpread &b = (full.*spread)();
        QVERIFY(a.count == b.count && a.mean == b.mean && a.squares == b.squares && a.minimum == b.minimum
                && a.maximum == b.maximum);
    }
}

QTEST_GUILESS_MAIN(TestItemData)
#include "tst_itemdata.moc"
