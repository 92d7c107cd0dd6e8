#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QString>

// Widths of texts in one font, remembered: the chart measures the same
// labels and titles at every rebuild, and laying a text out to measure it
// costs more than the rest of the rebuild's arithmetic.
class TextMeasure
{
public:
    // Implicit, so that a function taking a TextMeasure also takes metrics.
    TextMeasure(const QFontMetrics &metrics) : m_metrics(metrics) {} // NOLINT
    int height() const { return m_metrics.height(); }
    int horizontalAdvance(const QString &text) const;

private:
    QFontMetrics m_metrics;
    mutable QHash<QString, int> m_widths;
};
