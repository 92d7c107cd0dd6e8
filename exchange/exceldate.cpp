#include "exchange/exceldate.h"

#include <QRegularExpression>

#include <cmath>

namespace ExcelDate {

namespace {

constexpr qint64 SecondsPerDay = 86400;
// 9999-12-31 23:59:59 is the last time either system holds.
constexpr double MaxSerial1900 = 2958466.0;

QDate epoch(System system)
{
    return system == System::Date1900 ? QDate(1899, 12, 30) : QDate(1904, 1, 1);
}

} // namespace

namespace {

bool serialOf(const QDate &date, int secondOfDay, System system, double *serial)
{
    if (!date.isValid() || date > QDate(9999, 12, 31))
        return false;
    qint64 days = epoch(system).daysTo(date);
    if (system == System::Date1900) {
        if (date < QDate(1900, 1, 1))
            return false;
        // Before the phantom 1900-02-29 the serials are one lower.
        if (date < QDate(1900, 3, 1))
            days -= 1;
    } else if (days < 0) {
        return false;
    }
    *serial = double(days) + double(secondOfDay) / double(SecondsPerDay);
    return true;
}

int digits(const QChar *p, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const ushort c = p[i].unicode();
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Date and second of day of a date-and-time text; the table's own format
// is read directly, its relatives through a pattern.
bool parseFields(const QString &text, QDate *date, int *secondOfDay)
{
    int year, month, day, hour = 0, minute = 0, second = 0;
    bool rounded = false;
    const QChar *p = text.constData();
    if (text.size() == 19 && p[4] == QLatin1Char('-') && p[7] == QLatin1Char('-')
            && p[10] == QLatin1Char(' ') && p[13] == QLatin1Char(':') && p[16] == QLatin1Char(':')) {
        year = digits(p, 4);
        month = digits(p + 5, 2);
        day = digits(p + 8, 2);
        hour = digits(p + 11, 2);
        minute = digits(p + 14, 2);
        second = digits(p + 17, 2);
        if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
            return false;
    } else {
        static const QRegularExpression pattern(QStringLiteral(
                "^\\s*(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})"
                "(?:(?:\\s+|T)(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,9}))?)?)?\\s*$"));
        const QRegularExpressionMatch m = pattern.match(text);
        if (!m.hasMatch())
            return false;
        year = m.captured(1).toInt();
        month = m.captured(3).toInt();
        day = m.captured(4).toInt();
        hour = m.captured(5).toInt();
        minute = m.captured(6).toInt();
        second = m.captured(7).toInt();
        const QString fraction = m.captured(8);
        if (!fraction.isEmpty() && fraction.at(0) >= QLatin1Char('5')) {
            ++second; // whole seconds, rounded
            rounded = true;
        }
    }
    if (hour > 23 || minute > 59 || second > (rounded ? 60 : 59))
        return false;
    *date = QDate(year, month, day);
    *secondOfDay = hour * 3600 + minute * 60 + second;
    if (*secondOfDay >= int(SecondsPerDay)) {
        *date = date->addDays(1);
        *secondOfDay -= int(SecondsPerDay);
    }
    return date->isValid();
}

} // namespace

namespace {

// A wall-clock time skipped by a daylight-saving change (or a change of
// zone) is taken as the nearest one that exists: the last second before the
// gap, or its end, whichever is closer (the end on a tie).
QDateTime nearestLocalTime(const QDate &date, const QTime &time)
{
    const QDateTime wall(date, time, Qt::UTC); // the wall clock as a plain count
    const QDateTime exact(date, time, Qt::LocalTime);
    if (exact.isValid())
        return exact;
    auto local = [](const QDateTime &w) { return QDateTime(w.date(), w.time(), Qt::LocalTime); };
    // Gaps begin and end on whole minutes and last at most a day.
    const QDateTime minute = wall.addSecs(-(time.second()));
    QDateTime before = minute, after = minute.addSecs(60);
    for (int i = 0; i < 1440 && !local(before).isValid(); ++i)
        before = before.addSecs(-60);
    for (int i = 0; i < 1440 && !local(after).isValid(); ++i)
        after = after.addSecs(60);
    before = before.addSecs(59); // the gap starts at the following minute
    if (!local(before).isValid() || !local(after).isValid())
        return QDateTime();
    const QDateTime nearest = wall.secsTo(after) <= before.secsTo(wall) ? after : before;
    return local(nearest);
}

} // namespace

// Local time of a date and second of day. Building a local time asks the
// time zone database each time, which is slow; the offset of the hour is
// asked once and reused while readings stay in that hour.
QDateTime localTime(const QDate &date, int secondOfDay)
{
    thread_local qint64 cachedHour = -1;
    thread_local int cachedOffset = 0;
    thread_local bool cachedValid = false;
    const qint64 hour = date.toJulianDay() * 24 + secondOfDay / 3600;
    if (hour != cachedHour) {
        const QDateTime start(date, QTime(secondOfDay / 3600, 0), Qt::LocalTime);
        cachedValid = start.isValid() && start.time() == QTime(secondOfDay / 3600, 0);
        cachedOffset = start.offsetFromUtc();
        cachedHour = hour;
    }
    const QTime time = QTime(0, 0).addSecs(secondOfDay);
    if (!cachedValid) // an hour touched by a daylight-saving change
        return nearestLocalTime(date, time);
    return QDateTime(date, time, Qt::OffsetFromUTC, cachedOffset);
}


bool toSerial(const QDateTime &time, System system, double *serial)
{
    if (!time.isValid())
        return false;
    return serialOf(time.date(), time.time().msecsSinceStartOfDay() / 1000, system, serial);
}

bool textToSerial(const QString &text, System system, double *serial)
{
    QDate date;
    int second;
    return parseFields(text, &date, &second) && serialOf(date, second, system, serial);
}

QDateTime fromSerial(double serial, System system)
{
    const double max = system == System::Date1900 ? MaxSerial1900 : MaxSerial1900 - 1462;
    if (!std::isfinite(serial) || serial < 0 || serial >= max)
        return QDateTime();
    const qint64 total = std::llround(serial * double(SecondsPerDay));
    const qint64 days = total / SecondsPerDay;
    const int secondOfDay = int(total % SecondsPerDay);
    QDate date;
    if (system == System::Date1904)
        date = epoch(system).addDays(days);
    else if (days == 0 || days >= 61)
        date = epoch(system).addDays(days);
    else if (days == 60)
        date = QDate(1900, 2, 28);
    else
        date = epoch(system).addDays(days + 1);
    if (!date.isValid())
        return QDateTime();
    return localTime(date, secondOfDay);
}

QDateTime parseDateTimeText(const QString &text)
{
    QDate date;
    int second;
    if (!parseFields(text, &date, &second))
        return QDateTime();
    return localTime(date, second);
}

bool isDateFormat(int formatIndex, const QString &formatString)
{
    // Built-in date and time formats, the East Asian ones included.
    if ((formatIndex >= 14 && formatIndex <= 22) || (formatIndex >= 45 && formatIndex <= 47)
            || (formatIndex >= 27 && formatIndex <= 36) || (formatIndex >= 50 && formatIndex <= 58))
        return true;
    if (formatIndex < 164 && formatString.isEmpty())
        return false;

    // Only the first section (positive numbers) decides.
    bool inQuote = false;
    bool inBracket = false;
    QString bracket;
    for (int i = 0; i < formatString.size(); ++i) {
        const QChar c = formatString.at(i);
        if (inQuote) {
            inQuote = c != QLatin1Char('"');
            continue;
        }
        if (inBracket) {
            if (c == QLatin1Char(']')) {
                inBracket = false;
                // Elapsed time: [h], [mm], [ss].
                const QString lower = bracket.toLower();
                if (!lower.isEmpty()
                        && lower.count(lower.at(0)) == lower.size()
                        && QStringLiteral("hms").contains(lower.at(0)))
                    return true;
            } else {
                bracket.append(c);
            }
            continue;
        }
        switch (c.unicode()) {
        case '"':
            inQuote = true;
            break;
        case '\\':
        case '_':
        case '*':
            ++i; // the next character is literal
            break;
        case '[':
            inBracket = true;
            bracket.clear();
            break;
        case ';':
            return false;
        default: {
            const char lower = char(c.toLower().unicode() < 128 ? c.toLower().unicode() : 0);
            if (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's')
                return true;
        }
        }
    }
    return false;
}

} // namespace ExcelDate
