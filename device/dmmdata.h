#pragma once

#include "device/dmmapi_global.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

// One thickness reading. Travels as a pointer through the plug-in's signals;
// whoever receives it owns it. The field layout is shared with plug-ins built
// elsewhere, so fields (the reserved ones included) must never be reordered.
class DMMAPI_EXPORT DmmData : public QObject
{
    Q_OBJECT
public:
    explicit DmmData(QObject *parent = nullptr);

    QDateTime dateTime() const { return m_dateTime; }
    void setDateTime(const QDateTime &dateTime) { m_dateTime = dateTime; }
    double valueUm() const { return m_valueUm; }
    void setValueUm(double value) { m_valueUm = value; }
    double valueMil() const { return m_valueMil; }
    void setValueMil(double value) { m_valueMil = value; }
    QString textUm() const { return m_textUm; }
    void setTextUm(const QString &text) { m_textUm = text; }
    QString textMil() const { return m_textMil; }
    void setTextMil(const QString &text) { m_textMil = text; }
    int overload() const { return m_overload; }
    void setOverload(int overload) { m_overload = overload; }
    QString unit() const { return m_unit; }
    void setUnit(const QString &unit) { m_unit = unit; }
    QString basis() const { return m_basis; }
    void setBasis(const QString &basis) { m_basis = basis; }

private:
    qint32 m_reserved0 = 0;
    qint32 m_reserved1 = 0;
    qint32 m_reserved2 = 0;
    QDateTime m_dateTime;
    double m_valueUm = 0;
    double m_valueMil = 0;
    QString m_textUm;
    QString m_textMil;
    qint32 m_overload = 0;
    QString m_unit;
    QString m_basis;
    bool m_reservedFlag = false;
};

Q_DECLARE_METATYPE(DmmData *)
Q_DECLARE_METATYPE(QList<DmmData *>)

namespace Reading {

// Micrometres per mil.
constexpr double UmPerMil = 25.4;

// Overload texts, padded as the gauge shows them.
DMMAPI_EXPORT QString overloadText();
DMMAPI_EXPORT QString negativeOverloadText();

// Fills a reading from one value text in a known unit: "μm" is stored as
// "um"; a text with a capital L is an overload ("-" makes it negative);
// otherwise the other unit's value and text are computed. A text that is
// not a finite number reads as 0.
DMMAPI_EXPORT void fill(DmmData *reading, const QString &valueText, const QString &unitText,
                        const QString &basis, const QDateTime &time);

// The same, into a new reading without parent that the caller owns.
DMMAPI_EXPORT DmmData *make(const QString &valueText, const QString &unitText,
                            const QString &basis, const QDateTime &time);

// The unit a text names, read as people write it: blanks around it and
// letter case do not matter, and the micro sign (U+00B5) is the Greek mu
// (U+03BC). "um", "μm", "micron", "microns" are micrometres; "mil",
// "mils", "thou" are mils.
enum class UnitKind { Unknown, Micrometre, Mil };
DMMAPI_EXPORT UnitKind unitKind(const QString &text);

// Registers DmmData* and QList<DmmData*> under the names the plug-in's
// signals use, so queued (cross-thread) deliveries work. Idempotent.
DMMAPI_EXPORT void registerMetaTypes();

} // namespace Reading
