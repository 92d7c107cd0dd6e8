#pragma once

#include <QDateTime>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cmath>

// The i-th reading of a gauge, one a second: scattered normally around
// 120 µm (σ 12), one in forty an overload, the same for the same i. Its
// value text and time.
inline QString scatteredText(int i)
{
    QRandomGenerator random(quint32(i) * 2654435761u + 508u);
    if (random.bounded(40) == 0)
        return QStringLiteral("OL");
    const double u1 = 1.0 - random.generateDouble();
    const double u2 = random.generateDouble();
    const double value = 120.0 + 12.0 * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    return QString::number(std::max(0.0, value), 'f', 1);
}

inline QDateTime scatteredTime(int i)
{
    return QDateTime(QDate(2024, 3, 1), QTime(8, 0)).addSecs(i);
}

// Its value as the views get it: an overload as its value 0.
inline double scatteredValue(int i)
{
    const QString text = scatteredText(i);
    return text == QLatin1String("OL") ? 0 : text.toDouble();
}
