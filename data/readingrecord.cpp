#include "data/readingrecord.h"

#include <cmath>

QString unitName(Unit unit)
{
    return unit == Unit::Micrometre ? QStringLiteral("um") : QStringLiteral("mil");
}

const QString &micrometreSymbol()
{
    static const QString symbol = QString::fromUtf8("μm");
    return symbol;
}

Unit readingUnit(const QString &text)
{
    // As a reading is made from a text: the micro sign's "μm" is "um",
    // and only then is case ignored.
    if (text.compare(QLatin1String("um"), Qt::CaseInsensitive) == 0 || text == micrometreSymbol())
        return Unit::Micrometre;
    return Unit::Mil;
}

Unit itemUnit(const QString &text)
{
    return text == QLatin1String("um") ? Unit::Micrometre : Unit::Mil;
}

QString overloadText(Overload overload)
{
    switch (overload) {
    case Overload::Above:
        return QStringLiteral("    OL");
    case Overload::Below:
        return QStringLiteral("   -OL");
    case Overload::None:
        break;
    }
    return QString();
}

ReadingFields ReadingFields::fromText(const QString &valueText, const QString &unitText, const QString &basis,
                                      const QDateTime &time)
{
    ReadingFields f;
    f.unit = unitText == micrometreSymbol() ? QStringLiteral("um") : unitText;
    f.basis = basis;
    f.time = time;
    if (valueText.contains(QLatin1Char('L'))) {
        f.overload = valueText.contains(QLatin1Char('-')) ? Overload::Below : Overload::Above;
        f.textUm = f.textMil = overloadText(f.overload);
        return f;
    }
    bool ok = false;
    double value = valueText.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        value = 0;
    if (readingUnit(f.unit) == Unit::Micrometre) {
        f.valueUm = value;
        f.textUm = valueText;
        f.valueMil = value / MicrometresPerMil;
        f.textMil = QString::number(f.valueMil, 'f', 2);
    } else {
        f.valueMil = value;
        f.textMil = valueText;
        f.valueUm = value * MicrometresPerMil;
        f.textUm = QString::number(f.valueUm, 'f', 0);
    }
    return f;
}

QString ReadingRecord::textUm() const
{
    if (isOverload())
        return overloadText(overload());
    return unit() == Unit::Micrometre ? QString::number(value, 'f', decimals)
                                      : QString::number(value * MicrometresPerMil, 'f', 0);
}

QString ReadingRecord::textMil() const
{
    if (isOverload())
        return overloadText(overload());
    return unit() == Unit::Mil ? QString::number(value, 'f', decimals)
                               : QString::number(value / MicrometresPerMil, 'f', 2);
}

void ReadingRecord::setOverload(Overload overload)
{
    flags = quint8(flags & ~(AboveFlag | BelowFlag));
    if (overload == Overload::Above)
        flags |= AboveFlag;
    else if (overload == Overload::Below)
        flags |= BelowFlag;
}

void ReadingRecord::setTime(qint64 instant, int offsetSeconds)
{
    msecs = instant;
    offset = offsetSeconds;
    flags |= TimedFlag;
}

QDateTime ReadingRecord::dateTime() const
{
    if (!hasTime())
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, offset);
}

namespace {

constexpr qint64 DayMs = 24 * 3600 * 1000;
// The Julian day of 1970-01-01.
constexpr qint64 EpochJulianDay = 2440588;

// The wall clock's day since 1970 and milliseconds into it.
void wallClock(const ReadingRecord &r, qint64 *day, qint64 *msOfDay)
{
    const qint64 wall = r.msecs + qint64(r.offset) * 1000;
    *day = wall / DayMs - (wall % DayMs < 0 ? 1 : 0);
    *msOfDay = wall - *day * DayMs;
}

void putDigits(QChar *out, int value, int digits)
{
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = QChar(ushort('0' + value % 10));
        value /= 10;
    }
}

} // namespace

QDate ReadingRecord::date() const
{
    if (!hasTime())
        return QDate();
    qint64 day, msOfDay;
    wallClock(*this, &day, &msOfDay);
    return QDate::fromJulianDay(day + EpochJulianDay);
}

QString ReadingRecord::timeOfDayText() const
{
    if (!hasTime())
        return QString();
    qint64 day, msOfDay;
    wallClock(*this, &day, &msOfDay);
    const int seconds = int(msOfDay / 1000);
    QString text(8, Qt::Uninitialized);
    QChar *out = text.data();
    putDigits(out, seconds / 3600, 2);
    out[2] = QLatin1Char(':');
    putDigits(out + 3, seconds / 60 % 60, 2);
    out[5] = QLatin1Char(':');
    putDigits(out + 6, seconds % 60, 2);
    return text;
}

QString ReadingRecord::timeText() const
{
    if (!hasTime())
        return QString();
    qint64 day, msOfDay;
    wallClock(*this, &day, &msOfDay);
    int year, month, dayOfMonth;
    QDate::fromJulianDay(day + EpochJulianDay).getDate(&year, &month, &dayOfMonth);
    // The table shows thousands of these; years beyond four digits are
    // written as the date writes them.
    if (year < 1 || year > 9999)
        return dateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const int seconds = int(msOfDay / 1000);
    QString text(19, Qt::Uninitialized);
    QChar *out = text.data();
    putDigits(out, year, 4);
    out[4] = QLatin1Char('-');
    putDigits(out + 5, month, 2);
    out[7] = QLatin1Char('-');
    putDigits(out + 8, dayOfMonth, 2);
    out[10] = QLatin1Char(' ');
    putDigits(out + 11, seconds / 3600, 2);
    out[13] = QLatin1Char(':');
    putDigits(out + 14, seconds / 60 % 60, 2);
    out[16] = QLatin1Char(':');
    putDigits(out + 17, seconds % 60, 2);
    return text;
}

int decimalsOf(const QString &text, double value, bool parsed)
{
    // A plain decimal of at most 15 significant digits comes back from its
    // nearest double unchanged; anything else is asked of the formatter.
    const QChar *c = text.constData();
    const int n = text.size();
    int i = 0;
    if (i < n && c[i] == QLatin1Char('-'))
        ++i;
    const int intStart = i;
    while (i < n && c[i].unicode() >= '0' && c[i].unicode() <= '9')
        ++i;
    const int intDigits = i - intStart;
    int fraction = 0;
    if (i < n && c[i] == QLatin1Char('.')) {
        ++i;
        const int fracStart = i;
        while (i < n && c[i].unicode() >= '0' && c[i].unicode() <= '9')
            ++i;
        fraction = i - fracStart;
        if (fraction == 0)
            i = n + 1;      // "12." is not how a number is written
    }
    const bool plain = i == n && intDigits > 0 && (intDigits == 1 || c[intStart] != QLatin1Char('0'))
        && intDigits + fraction <= 15 && fraction <= 99;
    if (plain && std::isfinite(value) && value != 0) {
        if (parsed)
            return fraction;
        bool ok = false;
        if (text.toDouble(&ok) == value && ok)
            return fraction;
        return -1;
    }
    for (int d : {fraction, 0, 1, 2}) {
        if (d >= 0 && d <= 99 && QString::number(value, 'f', d) == text)
            return d;
    }
    return -1;
}
