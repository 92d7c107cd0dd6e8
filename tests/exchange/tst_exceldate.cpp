#include "exchange/exceldate.h"

#include <QtTest>

using ExcelDate::System;

class TestExcelDate : public QObject
{
    Q_OBJECT

private slots:
    void serials_data();
    void serials();
    void outOfRange();
    void phantomLeapDay();
    void roundsToTheSecond();
    void dateTexts_data();
    void dateTexts();
    void dateFormats_data();
    void dateFormats();
};

void TestExcelDate::serials_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<int>("system");
    QTest::addColumn<double>("serial");
    const auto at = [](int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
        return QDateTime(QDate(y, m, d), QTime(hh, mm, ss));
    };
    // Serials of the spreadsheet itself: 1 is 1900-01-01, 61 is 1900-03-01
    // (60 is its phantom 1900-02-29), 45250 is 2023-11-20.
    QTest::newRow("first day") << at(1900, 1, 1) << 0 << 1.0;
    QTest::newRow("before the phantom day") << at(1900, 2, 28) << 0 << 59.0;
    QTest::newRow("after the phantom day") << at(1900, 3, 1) << 0 << 61.0;
    QTest::newRow("sample reading") << at(2023, 11, 20, 14, 2, 31) << 0
                                    << 45250.0 + (14 * 3600 + 2 * 60 + 31) / 86400.0;
    QTest::newRow("1904 epoch") << at(1904, 1, 1) << 1 << 0.0;
    QTest::newRow("1904 sample") << at(2023, 11, 20, 14, 2, 31) << 1
                                 << 45250.0 - 1462 + (14 * 3600 + 2 * 60 + 31) / 86400.0;
    QTest::newRow("last day") << at(9999, 12, 31) << 0 << 2958465.0;
}

void TestExcelDate::serials()
{
    QFETCH(QDateTime, time);
    QFETCH(int, system);
    QFETCH(double, serial);
    const System s = system ? System::Date1904 : System::Date1900;
    double got = -1;
    QVERIFY(ExcelDate::toSerial(time, s, &got));
    QCOMPARE(got, serial);
    QCOMPARE(ExcelDate::fromSerial(serial, s), time);
}

void TestExcelDate::outOfRange()
{
    double serial;
    QVERIFY(!ExcelDate::toSerial(QDateTime(QDate(1899, 12, 31), QTime(0, 0)), System::Date1900, &serial));
    QVERIFY(!ExcelDate::toSerial(QDateTime(QDate(1903, 12, 31), QTime(0, 0)), System::Date1904, &serial));
    QVERIFY(!ExcelDate::toSerial(QDateTime(), System::Date1900, &serial));
    QVERIFY(!ExcelDate::fromSerial(-1, System::Date1900).isValid());
    QVERIFY(!ExcelDate::fromSerial(3e6, System::Date1900).isValid());
    QVERIFY(!ExcelDate::fromSerial(qQNaN(), System::Date1900).isValid());
    QVERIFY(!ExcelDate::fromSerial(qInf(), System::Date1904).isValid());
    // A time without a date lies on the day before the first.
    QCOMPARE(ExcelDate::fromSerial(0.5, System::Date1900),
             QDateTime(QDate(1899, 12, 30), QTime(12, 0)));
}

void TestExcelDate::phantomLeapDay()
{
    QCOMPARE(ExcelDate::fromSerial(60.25, System::Date1900).date(), QDate(1900, 2, 28));
    QCOMPARE(ExcelDate::fromSerial(60.25, System::Date1900).time(), QTime(6, 0));
}

void TestExcelDate::roundsToTheSecond()
{
    const double serial = 45250.0 + (14 * 3600 + 2 * 60 + 31) / 86400.0;
    QCOMPARE(ExcelDate::fromSerial(serial + 0.49 / 86400, System::Date1900).time(), QTime(14, 2, 31));
    QCOMPARE(ExcelDate::fromSerial(serial + 0.51 / 86400, System::Date1900).time(), QTime(14, 2, 32));
    // 23:59:59.6 rounds into the next day.
    QCOMPARE(ExcelDate::fromSerial(45250.0 + 86399.6 / 86400, System::Date1900),
             QDateTime(QDate(2023, 11, 21), QTime(0, 0)));
}

void TestExcelDate::dateTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("time");
    const QDateTime sample(QDate(2023, 11, 20), QTime(14, 2, 31));
    QTest::newRow("table text") << "2023-11-20 14:02:31" << sample;
    QTest::newRow("T separator") << "2023-11-20T14:02:31" << sample;
    QTest::newRow("slashes") << "2023/11/20 14:02:31" << sample;
    QTest::newRow("blanks around") << "  2023-11-20 14:02:31 " << sample;
    QTest::newRow("short fields") << "2023-1-2 4:02:31" << QDateTime(QDate(2023, 1, 2), QTime(4, 2, 31));
    QTest::newRow("no seconds") << "2023-11-20 14:02" << QDateTime(QDate(2023, 11, 20), QTime(14, 2));
    QTest::newRow("date only") << "2023-11-20" << QDateTime(QDate(2023, 11, 20), QTime(0, 0));
    QTest::newRow("fraction rounds up") << "2023-11-20 14:02:30.6" << sample;
    QTest::newRow("empty") << "" << QDateTime();
    QTest::newRow("word") << "yesterday" << QDateTime();
    QTest::newRow("no such day") << "2023-02-30 10:00:00" << QDateTime();
    QTest::newRow("no such hour") << "2023-11-20 24:00:00" << QDateTime();
    QTest::newRow("mixed separators") << "2023-11/20 14:02:31" << QDateTime();
}

void TestExcelDate::dateTexts()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, time);
    QCOMPARE(ExcelDate::parseDateTimeText(text), time);
}

void TestExcelDate::dateFormats_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("isDate");
    QTest::newRow("general") << 0 << "" << false;
    QTest::newRow("built-in date 14") << 14 << "" << true;
    QTest::newRow("built-in time 21") << 21 << "" << true;
    QTest::newRow("built-in 45") << 45 << "" << true;
    QTest::newRow("built-in text") << 49 << "" << false;
    QTest::newRow("built-in number") << 2 << "" << false;
    QTest::newRow("ours") << 164 << "yyyy-MM-dd hh:mm:ss" << true;
    QTest::newRow("escaped") << 165 << "yyyy\\-mm\\-dd\\ hh:mm:ss" << true;
    QTest::newRow("upper case") << 165 << "DD/MM/YYYY" << true;
    QTest::newRow("time") << 168 << "H:MM:SS\\ AM/PM" << true;
    QTest::newRow("elapsed hours") << 170 << "[h]:mm" << true;
    QTest::newRow("locale tag") << 170 << "[$-409]d-mmm-yy" << true;
    QTest::newRow("text") << 171 << "@" << false;
    QTest::newRow("General custom") << 171 << "GENERAL" << false;
    QTest::newRow("number") << 172 << "0.000" << false;
    QTest::newRow("percent") << 172 << "0.00%" << false;
    QTest::newRow("scientific") << 172 << "0.00E+00" << false;
    QTest::newRow("quoted letters") << 173 << "0.0\" days\"" << false;
    QTest::newRow("escaped letter") << 173 << "0\\h" << false;
    QTest::newRow("colour") << 173 << "[Red]0.00" << false;
    QTest::newRow("currency") << 173
                              << "_-* #,##0.00\\ [$\u20ac-407]_-;\\-* #,##0.00\\ [$\u20ac-407]_-" << false;
}

void TestExcelDate::dateFormats()
{
    QFETCH(int, index);
    QFETCH(QString, code);
    QFETCH(bool, isDate);
    QCOMPARE(ExcelDate::isDateFormat(index, code), isDate);
}

QTEST_GUILESS_MAIN(TestExcelDate)
#include "tst_exceldate.moc"
