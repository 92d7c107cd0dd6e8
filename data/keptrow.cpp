#include "data/keptrow.h"

#include "data/readingseries.h"

#include <QtNumeric>

namespace {

QString derivedTextUm(double valueUm)
{
    return QString::number(valueUm, 'f', 0);
}

QString derivedTextMil(double valueMil)
{
    return QString::number(valueMil, 'f', 2);
}

// Kept unit texts, shared rather than made per row.
const QString &micrometreName()
{
    static const QString name = unitName(Unit::Micrometre);
    return name;
}

const QString &milName()
{
    static const QString name = unitName(Unit::Mil);
    return name;
}

} // namespace

KeptRow keptRowOf(const ReadingSeries &readings, int i)
{
    const ReadingRecord &r = readings.at(i);
    KeptRow row;
    row.timed = r.hasTime();
    row.time = r.msecs;
    row.zone = r.offset;
    row.overload = int(r.overload());
    row.basis = readings.basis(i);
    if (!r.hasExtras() && !r.isOverload()) {
        // What the record gives is known without making every text.
        const bool um = r.unit() == Unit::Micrometre;
        row.valueUm = r.valueUm();
        row.hasValueUm = true;
        const double valueMil = r.valueMil();
        row.hasValueMil = valueMil != row.valueUm / MicrometresPerMil;
        row.valueMil = valueMil;
        if (um && r.decimals != 0)
            row.textUm = r.textUm();
        if (!um && r.decimals != 2)
            row.textMil = r.textMil();
        row.unit = um ? micrometreName() : milName();
        return row;
    }
    row.valueUm = readings.valueUm(i);
    row.hasValueUm = !qIsNaN(row.valueUm);
    row.valueMil = readings.valueMil(i);
    row.hasValueMil = row.valueMil != row.valueUm / MicrometresPerMil;
    const QString textUm = readings.textUm(i);
    const QString textMil = readings.textMil(i);
    if (textUm != derivedTextUm(row.valueUm))
        row.textUm = textUm.isNull() ? QString(QLatin1String("")) : textUm;
    if (textMil != derivedTextMil(row.valueMil))
        row.textMil = textMil.isNull() ? QString(QLatin1String("")) : textMil;
    row.unit = readings.unitText(i);
    return row;
}

void appendKeptRow(const KeptRow &row, ReadingSeries *readings)
{
    ReadingRecord r;
    if (row.timed)
        r.setTime(row.time, row.zone);
    const double valueUm = row.hasValueUm ? row.valueUm : qQNaN();
    const bool plainUnit = row.unit == micrometreName();
    const bool milUnit = !plainUnit && row.unit == milName();

    // The usual readings: the unit "um" or "mil" and only the texts the
    // value does not give.
    if (row.overload == 0 && row.hasValueUm && (plainUnit || milUnit)) {
        if (plainUnit && !row.hasValueMil && row.textMil.isNull()) {
            r.value = valueUm;
            const int decimals = row.textUm.isNull() ? 0 : decimalsOf(row.textUm, valueUm);
            if (decimals >= 0) {
                r.decimals = quint8(decimals);
                readings->appendRecord(r, row.basis);
                return;
            }
        } else if (milUnit && row.textUm.isNull()) {
            r.setUnit(Unit::Mil);
            r.value = row.hasValueMil ? row.valueMil : valueUm / MicrometresPerMil;
            const int decimals = row.textMil.isNull() ? 2 : decimalsOf(row.textMil, r.value);
            if (decimals >= 0 && r.valueUm() == valueUm) {
                r.decimals = quint8(decimals);
                readings->appendRecord(r, row.basis);
                return;
            }
        }
    }

    // Anything else field for field.
    ReadingFields f;
    if (r.hasTime())
        f.time = r.dateTime();
    f.valueUm = valueUm;
    f.valueMil = row.hasValueMil ? row.valueMil : valueUm / MicrometresPerMil;
    f.textUm = row.textUm.isNull() ? derivedTextUm(f.valueUm) : row.textUm;
    f.textMil = row.textMil.isNull() ? derivedTextMil(f.valueMil) : row.textMil;
    f.overload = row.overload > 0 ? Overload::Above : row.overload < 0 ? Overload::Below : Overload::None;
    f.unit = row.unit;
    f.basis = row.basis;
    readings->append(f);
}
