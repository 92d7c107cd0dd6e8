#include "exchange/timetexts.h"

#include "exchange/exceldate.h"


namespace {

struct Fields
{
    int first, second, year, hour, minute, secondOfMinute;
    bool dots;
};

// Reads a run of one to maxDigits digits at *i.
bool number(const QString &t, int *i, int maxDigits, int *value, int minDigits = 1)
{
    int n = 0, v = 0;
    while (*i < t.size() && n < maxDigits && t.at(*i).unicode() >= '0' && t.at(*i).unicode() <= '9') {
        v = v * 10 + (t.at(*i).unicode() - '0');
        ++*i;
        ++n;
    }
    *value = v;
    return n >= minDigits && (*i >= t.size() || !t.at(*i).isDigit());
}

bool skipBlanks(const QString &t, int *i)
{
    const int from = *i;
    while (*i < t.size() && t.at(*i).isSpace())
        ++*i;
    return *i > from;
}

bool at(const QString &t, int i, char c)
{
    return i < t.size() && t.at(i) == QLatin1Char(c);
}

// A date with its day and month in either order, as a spreadsheet writes
// it: "d.M.yyyy", "M/d/yyyy" or "d-M-yyyy", then "h:mm", "h:mm:ss" (a
// fraction of a second dropped) and "AM" or "PM" if any.
bool parseLocal(const QString &t, Fields *f)
{
    int i = 0;
    skipBlanks(t, &i);
    if (!number(t, &i, 2, &f->first) || i >= t.size())
        return false;
    const QChar separator = t.at(i++);
    if (separator != QLatin1Char('.') && separator != QLatin1Char('/') && separator != QLatin1Char('-'))
        return false;
    if (!number(t, &i, 2, &f->second) || !at(t, i, char(separator.unicode())))
        return false;
    ++i;
    if (!number(t, &i, 4, &f->year, 4))
        return false;
    f->dots = separator == QLatin1Char('.');
    f->hour = f->minute = f->secondOfMinute = 0;
    const bool blank = skipBlanks(t, &i);
    if (i == t.size())
        return true;
    if (!blank && !at(t, i++, 'T'))
        return false;
    if (!number(t, &i, 2, &f->hour) || !at(t, i++, ':') || !number(t, &i, 2, &f->minute, 2))
        return false;
    if (at(t, i, ':')) {
        ++i;
        if (!number(t, &i, 2, &f->secondOfMinute, 2))
            return false;
        int fraction;
        if ((at(t, i, '.') || at(t, i, ',')) && (++i, !number(t, &i, 9, &fraction)))
            return false;
    }
    skipBlanks(t, &i);
    if (i < t.size()) {
        const QChar half = t.at(i++).toUpper();
        if (half != QLatin1Char('A') && half != QLatin1Char('P'))
            return false;
        if (at(t, i, '.'))
            ++i;
        if (i >= t.size() || t.at(i++).toUpper() != QLatin1Char('M'))
            return false;
        if (at(t, i, '.'))
            ++i;
        skipBlanks(t, &i);
        if (i < t.size() || f->hour < 1 || f->hour > 12)
            return false;
        f->hour = f->hour % 12 + (half == QLatin1Char('P') ? 12 : 0);
    }
    return f->hour <= 23 && f->minute <= 59 && f->secondOfMinute <= 59;
}

// Not the table's own form: starts with a one- or two-digit day or month.
bool mayBeLocal(const QString &text)
{
    const QString t = text.trimmed();
    return t.size() >= 8 && t.at(0).isDigit() && (!t.at(1).isDigit() || !t.at(2).isDigit());
}

} // namespace

bool TimeTexts::needsOrder(const QString &text)
{
    Fields f;
    return mayBeLocal(text) && parseLocal(text, &f) && !f.dots;
}

void TimeTexts::observe(const QString &text)
{
    Fields f;
    if (!mayBeLocal(text) || !parseLocal(text, &f) || f.dots)
        return;
    if (f.first > 12 && f.second <= 12)
        ++m_dayFirst;
    else if (f.second > 12 && f.first <= 12)
        ++m_monthFirst;
}

bool TimeTexts::read(const QString &text, QDateTime *time) const
{
    *time = QDateTime();
    if (text.trimmed().isEmpty())
        return true;
    if (!mayBeLocal(text)) {
        *time = ExcelDate::parseDateTimeText(text);
        return time->isValid();
    }
    Fields f;
    if (!parseLocal(text, &f))
        return false;
    const bool dayFirst = f.dots || m_dayFirst > m_monthFirst;
    const QDate date(f.year, dayFirst ? f.second : f.first, dayFirst ? f.first : f.second);
    if (!date.isValid())
        return false;
    *time = ExcelDate::localTime(date, f.hour * 3600 + f.minute * 60 + f.secondOfMinute);
    return time->isValid();
}
