#include "exchange/timetexts.h"

#include "exchange/exceldate.h"

#include <QRegularExpression>

namespace {

struct Fields
{
    int first, second, year, hour, minute, secondOfMinute;
    bool dots;
};

// A date with its day and month in either order, as a spreadsheet writes it.
bool parseLocal(const QString &text, Fields *f)
{
    static const QRegularExpression pattern(QStringLiteral(
            "^\\s*(\\d{1,2})([./-])(\\d{1,2})\\2(\\d{4})"
            "(?:(?:\\s+|T)(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,]\\d+)?)?(?:\\s*([AaPp])\\.?[Mm]\\.?)?)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    f->first = m.capturedRef(1).toInt();
    f->second = m.capturedRef(3).toInt();
    f->year = m.capturedRef(4).toInt();
    f->hour = m.capturedRef(5).toInt();
    f->minute = m.capturedRef(6).toInt();
    f->secondOfMinute = m.capturedRef(7).toInt();
    f->dots = m.capturedRef(2) == QLatin1String(".");
    const QStringRef half = m.capturedRef(8);
    if (!half.isEmpty()) {
        if (f->hour < 1 || f->hour > 12)
            return false;
        f->hour %= 12;
        if (half.compare(QLatin1String("p"), Qt::CaseInsensitive) == 0)
            f->hour += 12;
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
