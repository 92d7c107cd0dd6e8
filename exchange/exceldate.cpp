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

bool toSerial(const QDateTime &time, System system, double *serial)
{
    if (!time.isValid())
        return false;
    const QDate date = time.date();
    if (date > QDate(9999, 12, 31))
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
    const qint64 seconds = time.time().msecsSinceStartOfDay() / 1000;
    *serial = double(days) + double(seconds) / double(SecondsPerDay);
    return true;
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
    return QDateTime(date, QTime(0, 0).addSecs(secondOfDay), Qt::LocalTime);
}

QDateTime parseDateTimeText(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
            "^\\s*(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})"
            "(?:(?:\\s+|T)(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,9}))?)?)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    const int hour = m.captured(5).toInt();
    const int minute = m.captured(6).toInt();
    const int second = m.captured(7).toInt();
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return QDateTime();
    QDateTime result(date, QTime(hour, minute, second), Qt::LocalTime);
    const QString fraction = m.captured(8);
    if (!fraction.isEmpty() && fraction.at(0) >= QLatin1Char('5'))
        result = result.addSecs(1);
    return result;
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
