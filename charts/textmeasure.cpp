#include "charts/textmeasure.h"

int TextMeasure::horizontalAdvance(const QString &text) const
{
    const auto known = m_widths.constFind(text);
    if (known != m_widths.constEnd())
        return *known;
    // Time labels change with the readings: keep the remembered ones few.
    if (m_widths.size() >= 1024)
        m_widths.clear();
    const int w = m_metrics.horizontalAdvance(text);
    m_widths.insert(text, w);
    return w;
}
