#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The two units a thickness is taken and shown in. Files, the measurements
// file and plug-ins name them "um" and "mil".
enum class Unit : quint8 { Micrometre = 0, Mil = 1 };

// Micrometres per mil, exactly.
constexpr double MicrometresPerMil = 25.4;

// "um" or "mil".
QString unitName(Unit unit);
// "μm", as micrometres are written on screen.
const QString &micrometreSymbol();
// The unit a reading's own unit text means: "um" or "μm" in any case is
// micrometres, any other text mils.
Unit readingUnit(const QString &text);
// The unit a file's unit text names, read as people write it: blanks
// around it and letter case do not matter, and the micro sign (U+00B5) is
// the Greek mu (U+03BC). "um", "μm", "micron", "microns" are micrometres;
// "mil", "mils", "thou" are mils; false for any other text.
inline bool unitNamed(const QString &text, Unit *unit)
{
    QString name = text.trimmed().toLower();
    name.replace(QChar(0x00B5), QChar(0x03BC));
    if (name == QLatin1String("um") || name == QString::fromUtf8("μm") || name == QLatin1String("micron")
        || name == QLatin1String("microns")) {
        *unit = Unit::Micrometre;
        return true;
    }
    if (name == QLatin1String("mil") || name == QLatin1String("mils") || name == QLatin1String("thou")) {
        *unit = Unit::Mil;
        return true;
    }
    return false;
}
// The unit an item's kept unit text means: exactly "um" is micrometres,
// any other text mils, as the views have always read it.
Unit itemUnit(const QString &text);

enum class Overload : qint8 { None = 0, Above = 1, Below = -1 };

// Overload texts, padded as the gauge shows them.
QString overloadText(Overload overload);

// Everything a reading says, as the gauge or a file gives it: both values,
// both texts, the overload, its unit text, its basis and its time. A
// series keeps it compactly and gives it back field for field.
struct ReadingFields
{
    QDateTime time;
    double valueUm = 0;
    double valueMil = 0;
    QString textUm;
    QString textMil;
    Overload overload = Overload::None;
    QString unit;
    QString basis;

    // A reading from one value text in a known unit: a text with a capital
    // L is an overload ("-" makes it negative); otherwise the other unit's
    // value and text are computed from it. A text that is not a finite
    // number reads as 0. "μm" is named "um".
    static ReadingFields fromText(const QString &valueText, const QString &unitText, const QString &basis,
                                  const QDateTime &time);
};

// One reading as a series keeps it: 24 bytes, copied by value. The value
// is kept in the unit the reading was taken in, together with the decimals
// of its text; the other unit's value and text are computed from it, and
// so is the text. A reading whose texts or values differ from what its
// value gives (rare: a plug-in's own arithmetic, a blank in a text) keeps
// the differences beside the series. The basis is an index into the
// series' table of basis texts.
struct ReadingRecord
{
    qint64 msecs = 0;       // the instant, milliseconds since 1970 UTC
    double value = 0;       // in unit(); 0 for an overload
    qint32 offset = 0;      // seconds the wall clock was ahead of UTC
    quint16 basis = 0;
    quint8 flags = 0;
    quint8 decimals = 0;    // of the value's text in its own unit

    enum Flag : quint8 {
        MilFlag = 0x01,
        AboveFlag = 0x02,
        BelowFlag = 0x04,
        TimedFlag = 0x08,
        ExtrasFlag = 0x10,      // some field differs from what the value gives
    };

    Unit unit() const { return flags & MilFlag ? Unit::Mil : Unit::Micrometre; }
    Overload overload() const
    {
        return flags & AboveFlag ? Overload::Above : flags & BelowFlag ? Overload::Below : Overload::None;
    }
    bool isOverload() const { return flags & (AboveFlag | BelowFlag); }
    bool hasTime() const { return flags & TimedFlag; }
    bool hasExtras() const { return flags & ExtrasFlag; }

    // The values and texts the value gives.
    double valueUm() const
    {
        return isOverload() ? 0.0 : unit() == Unit::Micrometre ? value : value * MicrometresPerMil;
    }
    double valueMil() const
    {
        return isOverload() ? 0.0 : unit() == Unit::Mil ? value : value / MicrometresPerMil;
    }
    double valueIn(Unit shown) const { return shown == Unit::Micrometre ? valueUm() : valueMil(); }
    QString textUm() const;
    QString textMil() const;
    QString textIn(Unit shown) const { return shown == Unit::Micrometre ? textUm() : textMil(); }

    // The time as it was kept: its instant with its offset from UTC; a
    // null time when it has none.
    QDateTime dateTime() const;
    // "yyyy-MM-dd hh:mm:ss" of the wall clock; empty without a time.
    QString timeText() const;
    // "hh:mm:ss" of the wall clock; empty without a time.
    QString timeOfDayText() const;
    // The date of the wall clock; null without a time.
    QDate date() const;

    void setUnit(Unit unit) { flags = quint8((flags & ~MilFlag) | (unit == Unit::Mil ? MilFlag : 0)); }
    void setOverload(Overload overload);
    void setTime(qint64 instant, int offsetSeconds);
};

static_assert(sizeof(ReadingRecord) == 24, "a reading is kept in 24 bytes");

// The decimals d for which QString::number(value, 'f', d) gives text back,
// or -1 when none does. Parsed: value is what the text reads as.
int decimalsOf(const QString &text, double value, bool parsed = false);
