#include "team/arrayliteral.h"

#include <QLocale>

#include <cmath>

void ArrayLiteral::add(double value)
{
    separate();
    if (std::isnan(value))
        m_text += QLatin1String("NaN");
    else if (std::isinf(value))
        m_text += value > 0 ? QLatin1String("Infinity") : QLatin1String("-Infinity");
    else
        m_text += QString::number(value, 'g', QLocale::FloatingPointShortest);
}

void ArrayLiteral::add(const QString &value)
{
    separate();
    m_text += QLatin1Char('"');
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            m_text += QLatin1Char('\\');
        m_text += c;
    }
    m_text += QLatin1Char('"');
}

QString ArrayLiteral::text() const
{
    return m_text.isEmpty() ? QStringLiteral("{}") : m_text + QLatin1Char('}');
}
