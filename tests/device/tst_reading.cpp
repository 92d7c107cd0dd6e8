#include "device/dmmdata.h"

#include <QtTest>

#include <memory>

// Building a reading from one value text in a known unit.
class TestReading : public QObject
{
    Q_OBJECT

private slots:
    void overloads_data();
    void overloads();
    void milValueGetsMicrometres();
    void upperCaseMicrometres();
    void greekMicroSign();
    void nonFiniteTextsReadAsZero_data();
    void nonFiniteTextsReadAsZero();
};

static const QDateTime someTime(QDate(2024, 3, 1), QTime(8, 5, 9));

void TestReading::overloads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("overload");
    QTest::newRow("OL") << "OL" << "    OL" << 1;
    QTest::newRow("-OL") << "-OL" << "   -OL" << -1;
    QTest::newRow("padded") << "   -OL" << "   -OL" << -1;
}

void TestReading::overloads()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, overload);
    for (const QString &unit : {QStringLiteral("um"), QStringLiteral("mil")}) {
        std::unique_ptr<DmmData> r(Reading::make(text, unit, "Fe", someTime));
        QCOMPARE(r->valueUm(), 0.0);
        QCOMPARE(r->valueMil(), 0.0);
        QCOMPARE(r->textUm(), expected);
        QCOMPARE(r->textMil(), expected);
        QCOMPARE(r->overload(), overload);
        QCOMPARE(r->unit(), unit);
        QCOMPARE(r->basis(), QStringLiteral("Fe"));
        QCOMPARE(r->dateTime(), someTime);
    }
}

void TestReading::milValueGetsMicrometres()
{
    std::unique_ptr<DmmData> r(Reading::make("12.7", "mil", "NFe", someTime));
    QCOMPARE(r->valueMil(), 12.7);
    QVERIFY(qAbs(r->valueUm() - 322.58) < 1e-9);
    QCOMPARE(r->textUm(), QStringLiteral("323"));
    QCOMPARE(r->textMil(), QStringLiteral("12.7"));
    QCOMPARE(r->overload(), 0);
}

void TestReading::upperCaseMicrometres()
{
    std::unique_ptr<DmmData> r(Reading::make("100", "UM", "Fe", someTime));
    QCOMPARE(r->valueUm(), 100.0);
    QVERIFY(qAbs(r->valueMil() - 3.937007874) < 1e-8);
    QCOMPARE(r->textUm(), QStringLiteral("100"));
    QCOMPARE(r->textMil(), QStringLiteral("3.94"));
    QCOMPARE(r->unit(), QStringLiteral("UM"));
}

void TestReading::greekMicroSign()
{
    std::unique_ptr<DmmData> r(Reading::make("25.0", QString::fromUtf8("\xce\xbcm"), "Fe", someTime));
    QCOMPARE(r->unit(), QStringLiteral("um"));
    QCOMPARE(r->valueUm(), 25.0);
    QCOMPARE(r->textUm(), QStringLiteral("25.0"));
    QCOMPARE(r->textMil(), QStringLiteral("0.98"));
}

void TestReading::nonFiniteTextsReadAsZero_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("inf") << "inf";
    QTest::newRow("nan") << "nan";
    QTest::newRow("1e999") << "1e999";
    QTest::newRow("garbage") << "abc";
}

void TestReading::nonFiniteTextsReadAsZero()
{
    QFETCH(QString, text);
    for (const QString &unit : {QStringLiteral("um"), QStringLiteral("mil")}) {
        std::unique_ptr<DmmData> r(Reading::make(text, unit, "Fe", someTime));
        QCOMPARE(r->valueUm(), 0.0);
        QCOMPARE(r->valueMil(), 0.0);
        QCOMPARE(r->overload(), 0);
    }
}

QTEST_GUILESS_MAIN(TestReading)
#include "tst_reading.moc"
