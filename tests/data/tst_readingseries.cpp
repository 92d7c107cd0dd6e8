#include "device/dmmdata.h"
#include "data/readingseries.h"

#include <QtTest>

#include <cmath>
#include <memory>

// The compact reading record and the series that keeps it: every field
// comes back as the plug-in's reading said it.
class TestReadingSeries : public QObject
{
    Q_OBJECT

private slots:
    void textsComeBackAsThePluginMakesThem();
    void pluginsOwnArithmeticIsKept();
    void basesAndChunks();
    void snapshotsStayAsTheyWere();
    void timesKeepTheirWallClock();
};

namespace {

const QDateTime someTime(QDate(2024, 3, 1), QTime(8, 5, 9, 250));

ReadingFields fieldsOf(const DmmData &d)
{
    ReadingFields f;
    f.time = d.dateTime();
    f.valueUm = d.valueUm();
    f.valueMil = d.valueMil();
    f.textUm = d.textUm();
    f.textMil = d.textMil();
    f.overload = d.overload() > 0 ? Overload::Above : d.overload() < 0 ? Overload::Below : Overload::None;
    f.unit = d.unit();
    f.basis = d.basis();
    return f;
}

bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

// Field for field, doubles bit for bit; the time by its instant and offset.
QString differences(const ReadingSeries &s, int i, const ReadingFields &f)
{
    QStringList d;
    const ReadingFields g = s.fields(i);
    if (!sameDouble(g.valueUm, f.valueUm) || !sameDouble(g.valueMil, f.valueMil))
        d << QStringLiteral("values %1/%2").arg(g.valueUm, 0, 'g', 17).arg(g.valueMil, 0, 'g', 17);
    if (g.textUm != f.textUm || g.textMil != f.textMil)
        d << QStringLiteral("texts '%1'/'%2'").arg(g.textUm, g.textMil);
    if (g.overload != f.overload || g.unit != f.unit || g.basis != f.basis)
        d << QStringLiteral("overload, unit or basis '%1' '%2'").arg(g.unit, g.basis);
    if (g.time.isValid() != f.time.isValid()
        || (f.time.isValid() && (g.time.toMSecsSinceEpoch() != f.time.toMSecsSinceEpoch()
                                 || g.time.offsetFromUtc() != f.time.offsetFromUtc()
                                 || s.timeText(i) != f.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))))
        d << QStringLiteral("time %1").arg(g.time.toString(Qt::ISODateWithMs));
    return d.join(QStringLiteral("; "));
}

} // namespace

// Every way a value text and a unit come in, made by the plug-in API's own
// Reading::make, against the series made from the same texts and from the
// plug-in's reading; the usual shapes need nothing beside the record.
void TestReadingSeries::textsComeBackAsThePluginMakesThem()
{
    struct Case
    {
        const char *text, *unit;
        bool plain;
    };
    const Case cases[] = {
        {"125.4", "um", true},     {"4.94", "mil", true},    {"12.7", "mil", true},  {"100", "um", true},
        {"0.0", "um", true},       {"OL", "um", true},       {"-OL", "mil", true},   {"   -OL", "um", true},
        {"88", "mil", true},       {"1250.00", "um", true},  {"100", "UM", false},   {"127", "μm", true},
        {"  125.4", "um", false},  {"abc", "um", false},     {"1e3", "mil", false},  {"-0.0", "um", false},
        {"125.", "um", false},     {"007", "um", false},     {"5", "", false},       {"5.123456789012345678", "mil", false},
        {"3.937007874015748", "mil", false},
    };
    ReadingSeries fromTexts, fromPlugin;
    int i = 0;
    for (const Case &c : cases) {
        std::unique_ptr<DmmData> made(Reading::make(c.text, QString::fromUtf8(c.unit), "Fe", someTime));
        const ReadingFields expected = fieldsOf(*made);
        fromTexts.appendText(c.text, QString::fromUtf8(c.unit), "Fe", someTime);
        fromPlugin.append(expected);
        QVERIFY2(differences(fromTexts, i, expected).isEmpty(), qPrintable(c.text + differences(fromTexts, i, expected)));
        QVERIFY2(differences(fromPlugin, i, expected).isEmpty(), qPrintable(c.text + differences(fromPlugin, i, expected)));
        if (c.plain)
            QVERIFY2(!fromTexts.at(i).hasExtras() && !fromPlugin.at(i).hasExtras(), c.text);
        ++i;
    }
    // A unit text other than "um" or "mil" is kept as sent; its unit is
    // what the values were computed in.
    QCOMPARE(fromTexts.unitText(10), QStringLiteral("UM"));
    QCOMPARE(fromTexts.unit(10), Unit::Micrometre);
    QCOMPARE(fromTexts.unit(18), Unit::Mil);
}

// A plug-in may compute the other unit its own way: whatever differs from
// the record's own arithmetic is kept beside it, field by field.
void TestReadingSeries::pluginsOwnArithmeticIsKept()
{
    QList<ReadingFields> readings;
    ReadingFields f = ReadingFields::fromText("4.94", "mil", "Fe", someTime);
    f.valueUm = 125.5;          // rounded by the gauge
    f.textUm = "125";
    readings << f;
    f = ReadingFields::fromText("125.4", "um", "NFe", QDateTime());
    f.valueMil = 4.937;
    f.textMil = "4.9";
    readings << f;
    f = ReadingFields::fromText("OL", "um", "Fe", someTime);
    f.valueUm = 1300;
    f.textUm = "OL";
    readings << f;
    f = ReadingFields::fromText("12", "mils", QString(), someTime);
    f.valueUm = std::nan("");
    readings << f;
    ReadingSeries s;
    for (const ReadingFields &r : readings)
        s.append(r);
    for (int i = 0; i < readings.size(); ++i) {
        QVERIFY(s.at(i).hasExtras());
        QVERIFY2(differences(s, i, readings.at(i)).isEmpty(), qPrintable(differences(s, i, readings.at(i))));
    }
}

// Readings across the chunk boundaries, and more basis texts than the
// record's index reaches.
void TestReadingSeries::basesAndChunks()
{
    ReadingSeries s;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const QString basis = i < 70000 ? QStringLiteral("b%1").arg(i) : QStringLiteral("Fe");
        s.appendText(QString::number(i / 10.0, 'f', 1), "um", basis, QDateTime());
    }
    QCOMPARE(s.size(), n);
    for (int i : {0, 255, 256, 767, 768, 65279, 65280, 130815, 130816, n - 1})
        QCOMPARE(s.textUm(i), QString::number(i / 10.0, 'f', 1));
    for (int i : {0, 65534, 65535, 69999})
        QCOMPARE(s.basis(i), QStringLiteral("b%1").arg(i));
    QCOMPARE(s.basis(n - 1), QStringLiteral("Fe"));
    int visited = 0;
    double sum = 0;
    s.forEachRecord(130000, 1000, [&](const ReadingRecord &r) {
        sum += r.valueUm();
        ++visited;
    });
    QCOMPARE(visited, 1000);
    QCOMPARE(sum, (130000 + 130999) * 1000 / 2 / 10.0);
    // Appending a part of another series keeps each reading's texts.
    ReadingSeries part;
    part.appendText("1.5", "mil", "x", QDateTime());
    part.append(s, 65530, 10);
    QCOMPARE(part.size(), 11);
    QCOMPARE(part.basis(0), QStringLiteral("x"));
    QCOMPARE(part.basis(6), QStringLiteral("b65535"));
    QCOMPARE(part.textUm(10), QStringLiteral("6553.9"));
}

// A copy is a snapshot: what the series does afterwards never reaches it,
// and it may grow on its own.
void TestReadingSeries::snapshotsStayAsTheyWere()
{
    ReadingSeries s;
    for (int i = 0; i < 300; ++i)
        s.appendText(QString::number(i), "um", "Fe", QDateTime());
    const ReadingSeries snapshot = s;
    ReadingSeries other = s;
    s.appendText("   ", "um", "NFe", QDateTime());
    other.appendText("7.25", "mil", "Fe", QDateTime());
    QCOMPARE(snapshot.size(), 300);
    QCOMPARE(s.textUm(300), QStringLiteral("   "));
    QCOMPARE(other.textMil(300), QStringLiteral("7.25"));
    s.clear();
    QCOMPARE(s.size(), 0);
    QCOMPARE(snapshot.textUm(299), QStringLiteral("299"));
    QCOMPARE(snapshot.basis(299), QStringLiteral("Fe"));
}

// Local times, fixed offsets and UTC keep their instant, their offset and
// the wall clock the table shows.
void TestReadingSeries::timesKeepTheirWallClock()
{
    const QList<QDateTime> times = {
        someTime,
        QDateTime(QDate(2023, 11, 20), QTime(23, 59, 59, 999), Qt::OffsetFromUTC, 5 * 3600 + 45 * 60),
        QDateTime(QDate(1969, 12, 31), QTime(0, 0, 1), Qt::OffsetFromUTC, -8 * 3600),
        QDateTime(QDate(2024, 2, 29), QTime(12, 0), Qt::UTC),
        QDateTime(QDate(12000, 1, 2), QTime(3, 4, 5), Qt::UTC),
    };
    ReadingSeries s;
    for (const QDateTime &t : times)
        s.appendText("1", "um", "Fe", t);
    for (int i = 0; i < times.size(); ++i) {
        const QDateTime t = times.at(i);
        QCOMPARE(s.dateTime(i).toMSecsSinceEpoch(), t.toMSecsSinceEpoch());
        QCOMPARE(s.dateTime(i).offsetFromUtc(), t.offsetFromUtc());
        QCOMPARE(s.timeText(i), t.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        QCOMPARE(s.at(i).timeOfDayText(), t.toString(QStringLiteral("hh:mm:ss")));
        QCOMPARE(s.at(i).date(), t.date());
    }
    s.appendText("1", "um", "Fe", QDateTime());
    QVERIFY(s.timeText(times.size()).isEmpty() && !s.dateTime(times.size()).isValid());
}

QTEST_GUILESS_MAIN(TestReadingSeries)
#include "tst_readingseries.moc"
