#pragma once

#include "charts/chartseries.h"
#include "charts/stepsearch.h"
#include "charts/textmeasure.h"

#include <QFontMetrics>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>

// The arithmetic of the time chart, kept apart from painting.

struct ChartFrame
{
    QSize widgetSize;
    int leftMargin = 60;
    int rightMargin = 20;
    int topMargin = 40;
    int bottomMargin = 40;
    QRect plotRect() const;
};

// A line's value range over its visible points, always including 0.
// Values that are not finite are left out: they cannot be scaled.
struct ValueRange
{
    double min = 0;
    double max = 0;
};
ValueRange lineValueRange(const ChartSeries &points, int first, int last);

// Scales and divisions of one background rebuild.
struct ChartAxes
{
    bool drawable = false;          // the plot rectangle has a positive size
    double min = 0, max = 0;        // plotted range after headroom
    double xScale = 0;              // pixels per reading
    double yScale = 0;              // pixels per value unit
    int pointsPerXDivision = 0;
    double pixelsPerXDivision = 0;
    int xDivisions = 0;
    double yStep = 0;
    double pixelsPerYDivision = 0;
    int positiveYDivisions = 0;
    int negativeYDivisions = 0;
    int zeroY = 0;                  // y of the zero line on the widget
};
// first..last: the visible range (inclusive) of the points; hasPoints: some
// line has points. The divisions are computed only when hasPoints.
ChartAxes computeChartAxes(const QRect &plot, const QVector<ValueRange> &lines,
                           int first, int last, bool hasPoints);

// Readings per time-axis division and value units per value-axis division.
int chartPointsPerXDivision(double xScale);
double chartYStep(double yScale);

// The frame the chart is drawn in: `form`, with the bottom margin grown where
// the time labels and the time title need more, and then the left margin
// where the value labels of the axes laid out in that frame and the rotated
// value title need more. The arguments after `form` are computeChartAxes's.
ChartFrame fitChartFrame(const ChartFrame &form, const QVector<ValueRange> &lines, int first, int last,
                         bool hasPoints, int decimals, const TextMeasure &fm);

// The x of the visible points from the plot's left edge, worked out for the
// point asked.
struct ChartPositions
{
    int count = 0;                  // visible points
    double xScale = 0;
    int size() const { return count; }
    int x(int k) const { return StepSearch::truncateToPixel(k * xScale + 0.5); }
};

// Feeds the vertices of the visible points to `sink(QPoint)`, in order.
template <typename Sink>
void forEachChartVertex(const ChartSeries &points, int first, int last,
                        const ChartAxes &axes, const QRect &plot, Sink sink);

// "0.0", "1.0k", "1.35k", "2.0M", ...; the negative side formats -v with v's
// suffix. With a suffix, more decimals than `decimals` where the value needs
// them to be exact.
QString chartValueLabel(double v, int decimals, bool negativeSide);

// "hh:mm:ss:tag\r\n" of point i.
QString chartReadoutText(const ChartSeries &points, int i);

struct ChartText
{
    QRect rect;
    QString text;
};

// Everything the background layer draws, in drawing order.
struct ChartDecoration
{
    bool axes = false;              // false: only the background and the titles
    QLine timeAxis;
    QVector<QLine> xTicks, xGrid;
    QVector<ChartText> timeLabels;
    QLine valueAxis;
    QVector<QLine> positiveTicks, positiveGrid;
    QVector<ChartText> positiveLabels;
    QVector<QLine> negativeTicks, negativeGrid;
    QVector<ChartText> negativeLabels;
    QPoint yTitleOrigin;            // translate here, rotate by -90, draw in yTitleRect
    QRect yTitleRect;
    QRect xTitleRect;
};
// Equal decorations paint equal backgrounds (with equal titles and font).
bool operator==(const ChartText &a, const ChartText &b);
bool operator==(const ChartDecoration &a, const ChartDecoration &b);
// plot: the plot rectangle as of the last resize; line0: the points of the
// first line, whose times label the time axis.
ChartDecoration decorateChart(const ChartFrame &frame, const QRect &plot, const ChartAxes &axes,
                              const ChartSeries &line0, int first, int decimals,
                              const QString &xTitle, const QString &yTitle,
                              const TextMeasure &fm);

// Whether two decorations differ at most in the time axis's ticks, grid
// lines and labels.
bool sameUnderTimeDivisions(const ChartDecoration &a, const ChartDecoration &b);
// A time label's box with the room its glyphs may take beyond it.
QRect timeLabelArea(const ChartText &label, int fh);
// Where the time axis's divisions of `before` and `after` differ: the
// columns of the ticks and grid lines that moved, and the surroundings of
// the time labels that moved or changed (`fh`: the font height).
QVector<QRect> movedTimeDivisions(const ChartDecoration &before, const ChartDecoration &after,
                                  const QRect &plot, int fh);

// The cursor line and the read-out texts (one per line) at cursor x `x`.
struct ChartReadout
{
    QLine cursor;
    QVector<ChartText> texts;
};
ChartReadout layoutReadout(const QRect &plot, int x, const QStringList &texts,
                           const QFontMetrics &fm);

// Index of the position nearest to x (relative to the plot's left), ties to
// the left; -1 when there are no positions (except x < 0, which gives 0).
int nearestPosition(const ChartPositions &positions, int x, int plotWidth);

// What a drag from `start` to `end` (relative to the plot's top-left) does
// to the visible range first..last whose points sit at `positions`.
struct ZoomSelection
{
    enum Action { Cancel, Keep, Zoom };
    Action action = Cancel;     // Cancel: back to the full range; Keep: nothing changes
    int first = 0;              // the new visible range when zooming
    int last = 0;
};
ZoomSelection selectZoom(const ChartPositions &positions, const QPoint &start,
                         const QPoint &end, int first, int last);

// ---------------------------------------------------------------------------

template <typename Sink>
void forEachChartVertex(const ChartSeries &points, int first, int last,
                        const ChartAxes &axes, const QRect &plot, Sink sink)
{
    const int end = std::min(last, points.size() - 1);
    for (int i = std::max(first, 0), k = 0; i <= end; ++i, ++k) {
        const double value = points.value(i);
        const int x = StepSearch::truncateToPixel(k * axes.xScale + plot.left());
        // A value that cannot be placed is drawn on the zero line.
        const int y = std::isnan(value) ? axes.zeroY
                                        : StepSearch::truncateToPixel(axes.zeroY - axes.yScale * value);
        sink(QPoint(x, y));
    }
}
