#include "device/dmmdata.h"

#include "data/readingrecord.h"

#include <cmath>

DmmData::DmmData(QObject *parent)
    : QObject(parent)
{
    // The reserved fields keep the record's layout; nothing reads them.
    Q_UNUSED(m_reserved0)
    Q_UNUSED(m_reserved1)
    Q_UNUSED(m_reserved2)
    Q_UNUSED(m_reservedFlag)
}

namespace Reading {

QString overloadText()
{
    return QStringLiteral("    OL");
}

QString negativeOverloadText()
{
    return QStringLiteral("   -OL");
}

void fill(DmmData *reading, const QString &valueText, const QString &unitText,
          const QString &basis, const QDateTime &time)
{
    QString unit = unitText;
    if (unit == QString::fromUtf8("μm"))
        unit = QStringLiteral("um");
    reading->setUnit(unit);
    reading->setBasis(basis);
    reading->setDateTime(time);

    if (valueText.contains(QLatin1Char('L'))) {
        const bool negative = valueText.contains(QLatin1Char('-'));
        const QString text = negative ? negativeOverloadText() : overloadText();
        reading->setValueUm(0);
        reading->setValueMil(0);
        reading->setTextUm(text);
        reading->setTextMil(text);
        reading->setOverload(negative ? -1 : 1);
        return;
    }

    bool ok = false;
    double value = valueText.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        value = 0;
    reading->setOverload(0);
    if (unit.toLower() == QLatin1String("um")) {
        reading->setValueUm(value);
        reading->setTextUm(valueText);
        reading->setValueMil(value / UmPerMil);
        reading->setTextMil(QString::number(value / UmPerMil, 'f', 2));
    } else {
        reading->setValueMil(value);
        reading->setTextMil(valueText);
        reading->setValueUm(value * UmPerMil);
        reading->setTextUm(QString::number(value * UmPerMil, 'f', 0));
    }
}

DmmData *make(const QString &valueText, const QString &unitText, const QString &basis,
              const QDateTime &time)
{
    auto *reading = new DmmData;
    fill(reading, valueText, unitText, basis, time);
    return reading;
}

UnitKind unitKind(const QString &text)
{
    ::Unit unit;
    if (!unitNamed(text, &unit))
        return UnitKind::Unknown;
    return unit == ::Unit::Micrometre ? UnitKind::Micrometre : UnitKind::Mil;
}

void registerMetaTypes()
{
    qRegisterMetaType<DmmData *>("DmmData*");
    qRegisterMetaType<QList<DmmData *>>("QList<DmmData*>");
}

} // namespace Reading
