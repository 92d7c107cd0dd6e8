#pragma once

#include "charts/binrange.h"

#include <QFontMetrics>
#include <QLineF>
#include <QList>
#include <QMargins>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

// The arithmetic of the histogram, kept apart from painting.

// The numbers laid out at the start of every paint.
struct HistogramGeometry
{
    bool drawable = false;      // the plot is at least 2 x 1 pixels
    int maxCount = 1;           // largest bin count, at least 1
    double pixelsPerCount = 0;
    int countStep = 0;          // counts per tick of the count axis
    int rows = 0;
    double rowHeight = 1.0;
    QVector<QRectF> bars;       // one per count, logical coordinates
};

// plotSize: the plot rectangle's size; counts: the bins' counts, bottom row first.
HistogramGeometry layoutHistogram(const QSizeF &plotSize, const QVector<int> &counts);

// Counts per count-axis tick for a bar length of `pixelsPerCount` per count:
// 1 when one count is at least 50 pixels long, otherwise the number of counts
// whose summed length first reaches 50 pixels.
int histogramCountStep(double pixelsPerCount);

// "-OL", "OL" or "(lower,upper]" for row `row` of `rows`.
QString histogramRangeLabel(int row, int rows, const BinRange &range, int decimals);

// The margins the histogram is drawn with: `form`, with the left margin grown
// where the widest range label and the rotated value title need more, and
// the bottom one where the count labels and the count title need more.
QMargins fitHistogramMargins(const QMargins &form, const QList<BinRange *> &ranges, int decimals,
                             const QFontMetrics &fm);

struct HistogramText
{
    QRectF rect;
    QString text;
};

// Everything the background and bars layers draw, in drawing order.
// Logical coordinates (inside `window`) unless noted.
struct HistogramDecoration
{
    QRect window;               // the painter's logical window
    bool axes = false;          // false: only the background and the titles
    QLineF countAxis, rangeAxis;
    QVector<QLine> ticks;
    QVector<HistogramText> tickLabels;
    QVector<HistogramText> rangeLabels;
    QVector<HistogramText> countTexts;  // one per bar, drawn over the bars
    // Device coordinates: the rotated title is drawn in yTitleRect after
    // translating to yTitleOrigin and rotating by -90 degrees.
    QPoint yTitleOrigin;
    QRect yTitleRect;
    QRect xTitleRect;
};

struct HistogramFrame
{
    QSize widgetSize;
    QMargins margins;
    QSizeF plotSize;            // as of the last resize
    // The plot's size inside a widget of `widgetSize` with `margins`.
    static QSizeF plotSizeFor(const QSize &widgetSize, const QMargins &margins);
};

HistogramDecoration decorateHistogram(const HistogramFrame &frame,
                                      const HistogramGeometry &geometry,
                                      const QList<BinRange *> &ranges,
                                      const QVector<int> &counts, int decimals,
                                      const QString &xTitle, const QString &yTitle,
                                      const QFontMetrics &fm);
