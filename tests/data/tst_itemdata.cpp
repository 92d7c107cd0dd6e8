#include "data/itemdata.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QtTest>

// Measurement item: ownership, statistics texts, running vs full pass.
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
    void clearKeepsUnitAndDeletesReadings();
    void destructorDeletesReadings();
    void datasIsACopy();
    void missingReadingsAreIgnored();
    void runningMatchesFullPass_data();
    void runningMatchesFullPass();
    void deviationMatchesTwoPass_data();
    void deviationMatchesTwoPass();
};

static DmmData *um(double value)
{
    return Reading::make(QString::number(value, 'f', 1), "um", "Fe", QDateTime::currentDateTime());
}

static DmmData *mil(double value)
{
    return Reading::make(QString::number(value, 'f', 2), "mil", "Fe", QDateTime::currentDateTime());
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
    QCOMPARE(item.unit(), QString());
    QCOMPARE(texts(item), QStringList({"0", "0", "0", "0"}));
    QCOMPARE(int(ItemData::LiveData), 0);
    QCOMPARE(int(ItemData::Measure), 1);
    QCOMPARE(int(ItemData::Import), 2);
    QCOMPARE(int(ItemData::StoreData), 3);
}

void TestItemData::emptyPassFormatsZeroInUnit()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"0", "0.0", "0.0", "0.0"}));
    item.setUnit("mil");
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"0", "0.00", "0.00", "0.00"}));
}

void TestItemData::micrometreExample()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    item.append(um(10), true);
    item.append(um(20), true);
    item.append(um(30), true);
    QCOMPARE(texts(item), QStringList({"3", "20.0", "10.0", "30.0"}));

    ItemData grouped("b", ItemData::StoreData);
    grouped.setUnit("um");
    grouped.append(QList<DmmData *>{um(10), um(20), um(30)}, true);
    QCOMPARE(texts(grouped), QStringList({"3", "20.0", "10.0", "30.0"}));
}

void TestItemData::milExamples()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("mil");
    item.append(mil(50), true);
    QCOMPARE(texts(item), QStringList({"1", "50.00", "50.00", "50.00"}));

    ItemData high("b", ItemData::Measure);
    high.setUnit("mil");
    high.append(mil(1300), true);
    QCOMPARE(high.statistics()->max, QStringLiteral(" OL"));
}

void TestItemData::overloadLimitInMicrometres()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    item.append(um(1250), true);
    QCOMPARE(item.statistics()->max, QStringLiteral("1250.0"));
    item.append(um(1251), true);
    QCOMPARE(item.statistics()->max, QStringLiteral(" OL"));
    QCOMPARE(item.statistics()->min, QStringLiteral("1250.0"));

    // An overload counts with value 0.
    item.append(Reading::make("OL", "um", "Fe", QDateTime()), true);
    QCOMPARE(texts(item), QStringList({"3", "833.7", "0.0", " OL"}));
}

void TestItemData::upperCaseUnitComputesInMils()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("UM");
    item.append(um(25.4), true);
    QCOMPARE(texts(item), QStringList({"1", "1.00", "1.00", "1.00"}));
}

void TestItemData::unitChangeKeepsTextsUntilNextPass()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("mil");
    item.append(mil(1), true);
    item.append(mil(2), true);
    QCOMPARE(texts(item), QStringList({"2", "1.50", "1.00", "2.00"}));

    item.setUnit("um");
    QCOMPARE(texts(item), QStringList({"2", "1.50", "1.00", "2.00"}));

    // The next append recomputes everything in the new unit.
    item.append(um(127), true);
    QCOMPARE(texts(item), QStringList({"3", "67.7", "25.4", "127.0"}));

    item.setUnit("mil");
    QCOMPARE(texts(item), QStringList({"3", "67.7", "25.4", "127.0"}));
    item.calcStatistics();
    QCOMPARE(texts(item), QStringList({"3", "2.67", "1.00", "5.00"}));
}

void TestItemData::formatValueLimits()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    QCOMPARE(item.formatValue(-0.01), QStringLiteral("-OL"));
    QCOMPARE(item.formatValue(0), QStringLiteral("0.0"));
    QCOMPARE(item.formatValue(1250), QStringLiteral("1250.0"));
    QCOMPARE(item.formatValue(1250.01), QStringLiteral(" OL"));
    QCOMPARE(item.formatValue(12.24), QStringLiteral("12.2"));
    item.setUnit("mil");
    QCOMPARE(item.formatValue(12.345), QStringLiteral("12.35"));
    QCOMPARE(item.formatValue(1250.5), QStringLiteral(" OL"));
}

void TestItemData::clearKeepsUnitAndDeletesReadings()
{
    ItemData item("Store Data", ItemData::StoreData);
    item.setUnit("mil");
    QPointer<DmmData> first = mil(3);
    QPointer<DmmData> second = mil(4);
    item.append(QList<DmmData *>{first, second}, true);
    item.clear();
    QVERIFY(first.isNull());
    QVERIFY(second.isNull());
    QCOMPARE(item.count(), 0);
    QCOMPARE(item.unit(), QStringLiteral("mil"));
    QCOMPARE(texts(item), QStringList({"0", "0", "0", "0"}));

    // Counting starts afresh after a clear.
    item.append(mil(7), true);
    QCOMPARE(texts(item), QStringList({"1", "7.00", "7.00", "7.00"}));
}

void TestItemData::destructorDeletesReadings()
{
    QPointer<DmmData> reading = um(1);
    {
        ItemData item("a", ItemData::Import);
        item.append(reading, false);
    }
    QVERIFY(reading.isNull());
}

void TestItemData::datasIsACopy()
{
    ItemData item("a", ItemData::Measure);
    DmmData *reading = um(1);
    item.append(reading, false);
    QList<DmmData *> copy = item.datas();
    copy.append(nullptr);
    copy.removeFirst();
    QCOMPARE(item.datas(), QList<DmmData *>{reading});
    // Without recalculation the statistics stay as they were.
    QCOMPARE(item.statistics()->num, 0);
}

void TestItemData::missingReadingsAreIgnored()
{
    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    item.append(static_cast<DmmData *>(nullptr), true);
    item.append(QList<DmmData *>{nullptr, um(5), nullptr}, true);
    QCOMPARE(item.count(), 1);
    QCOMPARE(texts(item), QStringList({"1", "5.0", "5.0", "5.0"}));
}

// The statistics pass written out step by step, as the reference.
static QStringList referencePass(const QList<DmmData *> &readings, const ItemData &item)
{
    const bool inUm = item.unit() == QLatin1String("um");
    double sum = 0, average = 0, minimum = 0, maximum = 0;
    int count = 0;
    if (!readings.isEmpty())
        minimum = maximum = inUm ? readings.first()->valueUm() : readings.first()->valueMil();
    for (const DmmData *r : readings) {
        const double v = inUm ? r->valueUm() : r->valueMil();
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
    const QStringList units = {"um", "mil", "UM", ""};

    auto randomReading = [&random]() -> DmmData * {
        const int kind = random.bounded(20);
        const bool inUm = random.bounded(2) == 0;
        const QString unit = inUm ? "um" : "mil";
        if (kind == 0)
            return Reading::make("OL", unit, "Fe", QDateTime());
        if (kind == 1)
            return Reading::make("-OL", unit, "Fe", QDateTime());
        // Values with awkward binary fractions so the sum's rounding matters.
        const double value = random.generateDouble() * (inUm ? 1400.0 : 55.0);
        return Reading::make(QString::number(value, 'f', inUm ? 3 : 4), unit, "NFe", QDateTime());
    };

    ItemData item("a", ItemData::Measure);
    item.setUnit("um");
    QList<DmmData *> shadow;
    QStringList expected = texts(item);

    for (int step = 0; step < 3000; ++step) {
        const int action = random.bounded(100);
        if (action < 70) {
            DmmData *r = randomReading();
            shadow.append(r);
            item.append(r, true);
            expected = referencePass(shadow, item);
        } else if (action < 78) {
            DmmData *r = randomReading();
            shadow.append(r);
            item.append(r, false);
        } else if (action < 85) {
            QList<DmmData *> group;
            const int n = random.bounded(6);
            for (int i = 0; i < n; ++i)
                group.append(randomReading());
            shadow.append(group);
            item.append(group, true);
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
    running.setUnit(unit);
    QVector<double> all, thicknesses;
    QList<DmmData *> copies;
    // Readings close together far from 0, where a naive sum of squares
    // loses its digits, with a few overloads.
    const double centre = inUm ? 800.0 : 30.0;
    for (int i = 1; i <= 3000; ++i) {
        const bool overload = random.bounded(30) == 0;
        const QString text = overload ? QStringLiteral("OL")
                                      : QString::number(centre + random.bounded(2000) / (inUm ? 10.0 : 100.0)
                                                            - (inUm ? 100.0 : 10.0),
                                                        'f', decimals);
        running.append(Reading::make(text, unit, "Fe", QDateTime()), true);
        copies << Reading::make(text, unit, "Fe", QDateTime());
        // The spread is counted in micrometres whatever the item shows.
        const double value = copies.last()->valueUm();
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
    full.setUnit(unit);
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
