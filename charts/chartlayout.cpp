#include "charts/chartlayout.h"

#include "charts/axisfit.h"
#include "charts/stepsearch.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

const double XDivisionPixels = 80;      // least pixels per time-axis division
const double YDivisionPixels = 30;      // least pixels per value-axis division
const double XSteps[] = {1, 2, 3, 5, 10, 20, 30, 40};
const double YSteps[] = {0.00001, 0.0001, 0.001, 0.01, 0.1, 0.2, 0.3, 0.5, 0.8,
                         1, 2, 3, 5, 10, 20, 30, 40};
const int TickLength = 5;
const int LabelInset = TickLength + 2;  // value labels end this far left of the plot
const int TimeLabelTop = 7;             // time labels start this far below the plot's bottom row

// The rotated value title's left edge for a left margin of `margin`.
int valueTitleX(int margin, const TextMeasure &fm)
{
    return (margin - fm.horizontalAdvance(QStringLiteral("000.0k "))) / 2 - fm.height() / 2;
}

// The value labels of both sides, each starting at the zero line.
template <typename Visit>
void forEachValueLabel(const ChartAxes &a, int decimals, Visit visit)
{
    for (int l = 0; l <= a.positiveYDivisions; ++l)
        visit(l, false, chartValueLabel(l * a.yStep, decimals, false));
    for (int l = 0; l <= a.negativeYDivisions; ++l)
        visit(l, true, chartValueLabel(l * a.yStep, decimals, true));
}

double capped(double v)
{
    return std::max(-DBL_MAX, std::min(DBL_MAX, v));
}

bool usableScale(double s)
{
    return s > 0 && std::isfinite(s);
}

} // namespace

QRect ChartFrame::plotRect() const
{
    return QRect(leftMargin, topMargin, widgetSize.width() - rightMargin - leftMargin,
                 widgetSize.height() - bottomMargin - topMargin);
}

ValueRange lineValueRange(const ChartSeries &points, int first, int last)
{
    const MinMaxIndex::Extremes e = points.index().finiteExtremes(first, last);
    ValueRange r;
    r.max = std::max(r.max, e.max);
    r.min = std::min(r.min, e.min);
    return r;
}

int chartPointsPerXDivision(double xScale)
{
    if (!usableScale(xScale))
        return 0;
    return StepSearch::clampToInt(StepSearch::firstReachingStep(
        XSteps, int(sizeof XSteps / sizeof *XSteps), 50, xScale, XDivisionPixels));
}

double chartYStep(double yScale)
{
    if (!usableScale(yScale))
        return 0;
    return StepSearch::firstReachingStep(YSteps, int(sizeof YSteps / sizeof *YSteps), 50, yScale,
                                         YDivisionPixels);
}

ChartAxes computeChartAxes(const QRect &plot, const QVector<ValueRange> &lines,
                           int first, int last, bool hasPoints)
{
    ChartAxes a;
    a.drawable = plot.width() > 0 && plot.height() > 0;
    a.min = -1.0;
    a.max = 1.0;
    for (const ValueRange &r : lines) {
        a.max = std::max(a.max, r.max);
        a.min = std::min(a.min, r.min);
    }
    a.max = capped(a.max + std::fabs(a.max) / 10);
    a.min = capped(a.min - std::fabs(a.min) / 10);
    a.yScale = plot.height() / (a.max - a.min);
    if (last - first >= 0)
        a.xScale = double(plot.width()) / (last - first + 1);

    if (a.min >= 0 && a.max >= 0)
        a.zeroY = plot.bottom();
    else if (a.min <= 0 && a.max >= 0)
        a.zeroY = StepSearch::truncateToPixel(plot.top() + a.yScale * a.max);
    else
        a.zeroY = plot.top();

    if (!hasPoints || !a.drawable || !usableScale(a.xScale) || !usableScale(a.yScale))
        return a;
    a.pointsPerXDivision = chartPointsPerXDivision(a.xScale);
    a.pixelsPerXDivision = a.pointsPerXDivision * a.xScale;
    a.xDivisions = StepSearch::clampToInt(plot.width() / a.pixelsPerXDivision);
    a.yStep = chartYStep(a.yScale);
    a.pixelsPerYDivision = a.yScale * a.yStep;
    const double above = a.max * a.yScale / a.pixelsPerYDivision;
    const double below = std::fabs(a.min) * a.yScale / a.pixelsPerYDivision;
    if (a.min >= 0 && a.max >= 0) {
        a.positiveYDivisions = StepSearch::clampToInt(above);
    } else if (a.min <= 0 && a.max >= 0) {
        a.positiveYDivisions = StepSearch::clampToInt(above);
        a.negativeYDivisions = StepSearch::clampToInt(below);
    } else {
        a.negativeYDivisions = StepSearch::clampToInt(below);
    }
    return a;
}

ChartFrame fitChartFrame(const ChartFrame &form, const QVector<ValueRange> &lines, int first, int last,
                         bool hasPoints, int decimals, const TextMeasure &fm)
{
    ChartFrame fitted = form;
    const int fh = fm.height();
    // The plot's bottom row lies one pixel above the margin: everything
    // under it sits one pixel higher than the margin's own arithmetic.
    fitted.bottomMargin = AxisFit::bottomMargin(form.bottomMargin, fh, TimeLabelTop - 1, -1);
    // The value labels depend on the plot's height only, which the left
    // margin does not change.
    const ChartAxes axes = computeChartAxes(fitted.plotRect(), lines, first, last, hasPoints);
    int widest = 0;
    if (axes.drawable)
        forEachValueLabel(axes, decimals, [&](int, bool, const QString &text) {
            widest = std::max(widest, fm.horizontalAdvance(text));
        });
    fitted.leftMargin = AxisFit::leftMargin(form.leftMargin, fh, widest, LabelInset,
                                            [&fm](int margin) { return valueTitleX(margin, fm); });
    // Labels of absurd values may be longer than the chart is wide: they
    // may take half of it, and the plot keeps the rest.
    fitted.leftMargin = std::min(fitted.leftMargin, std::max(form.leftMargin, form.widgetSize.width() / 2));
    return fitted;
}

QString chartValueLabel(double v, int decimals, bool negativeSide)
{
    QString suffix;
    double unit = 1;
    if (v >= 1000000) {
        unit = 1000000;
        suffix = QStringLiteral("M");
    } else if (v >= 1000) {
        unit = 1000;
        suffix = QStringLiteral("k");
    }
    const double shown = v / unit;
    // Thousands and millions keep the digits the tick needs: 1350 reads
    // 1.35k, not 1.4k. A label exact in the set decimals keeps them.
    int places = decimals;
    if (!suffix.isEmpty()) {
        const int most = std::max(decimals, 0) + 6;     // below the gauge's resolution
        for (places = std::max(decimals, 0); places < most; ++places) {
            const double scaled = shown * std::pow(10.0, places);
            if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * std::max(1.0, std::fabs(scaled)))
                break;
        }
        places = std::max(places, decimals);
    }
    return QString::number(negativeSide ? -shown : shown, 'f', places) + suffix;
}

QString chartReadoutText(const ChartSeries &points, int i)
{
    return QStringLiteral("%1:%2\r\n").arg(points.timeText(i)).arg(points.tag(i), 0, QLatin1Char(' '));
}

ChartDecoration decorateChart(const ChartFrame &frame, const QRect &plot, const ChartAxes &a,
                              const ChartSeries &line0, int first, int decimals,
                              const QString &xTitle, const QString &yTitle,
                              const TextMeasure &fm)
{
    ChartDecoration d;
    const int fh = fm.height();

    if (a.drawable) {
        d.axes = true;
        d.timeAxis = QLine(plot.left() - 1, plot.bottom() + 1, plot.right() + 1, plot.bottom() + 1);
        for (int i = 0; i < a.xDivisions; ++i) {
            const int x = int(i * a.pixelsPerXDivision + plot.left() + 0.5);
            d.xTicks.append(QLine(x, plot.bottom(), x, plot.bottom() + TickLength));
            d.xGrid.append(QLine(x, plot.top(), x, plot.bottom()));
            const qint64 index = qint64(i) * a.pointsPerXDivision + first;
            if (index < 0 || index >= line0.size())
                continue;
            const QString text = line0.timeText(int(index));
            const int w = fm.horizontalAdvance(text);
            d.timeLabels.append({QRect(x - w / 2, plot.bottom() + TimeLabelTop, w, fh), text});
        }

        d.valueAxis = QLine(frame.leftMargin - 1, frame.topMargin - 1, frame.leftMargin - 1,
                            plot.bottom() + 1);
        // Both sides start at the zero line, which thus gets two labels.
        forEachValueLabel(a, decimals, [&](int l, bool negative, const QString &text) {
            const double offset = l * a.pixelsPerYDivision;
            const int y = StepSearch::truncateToPixel(negative ? a.zeroY + offset : a.zeroY - offset);
            (negative ? d.negativeTicks : d.positiveTicks).append(QLine(plot.left(), y, plot.left() - TickLength, y));
            (negative ? d.negativeGrid : d.positiveGrid).append(QLine(plot.left(), y, plot.left() + plot.width(), y));
            const int w = fm.horizontalAdvance(text);
            (negative ? d.negativeLabels : d.positiveLabels)
                .append({QRect(plot.left() - LabelInset - w, y - fh / 2, w, fh), text});
        });
    }

    const int yw = fm.horizontalAdvance(yTitle);
    d.yTitleOrigin = QPoint(valueTitleX(frame.leftMargin, fm), yw / 2 + plot.height() / 2 + plot.top());
    d.yTitleRect = QRect(0, 0, yw, fh);
    const int xw = fm.horizontalAdvance(xTitle);
    d.xTitleRect = QRect(plot.left() + (plot.width() - xw) / 2,
                         plot.bottom() + fh + (frame.bottomMargin - fh) / 2, xw, fh);
    return d;
}

bool operator==(const ChartText &a, const ChartText &b)
{
    return a.rect == b.rect && a.text == b.text;
}

// The chart paints its background again only when this finds a difference:
// a member added to ChartDecoration belongs here too.
static_assert(sizeof(void *) != 8 || sizeof(ChartDecoration) == 152, "compare every member");
bool operator==(const ChartDecoration &a, const ChartDecoration &b)
{
    return a.axes == b.axes && a.timeAxis == b.timeAxis && a.xTicks == b.xTicks && a.xGrid == b.xGrid
           && a.timeLabels == b.timeLabels && a.valueAxis == b.valueAxis && a.positiveTicks == b.positiveTicks
           && a.positiveGrid == b.positiveGrid && a.positiveLabels == b.positiveLabels
           && a.negativeTicks == b.negativeTicks && a.negativeGrid == b.negativeGrid
           && a.negativeLabels == b.negativeLabels && a.yTitleOrigin == b.yTitleOrigin
           && a.yTitleRect == b.yTitleRect && a.xTitleRect == b.xTitleRect;
}

bool sameUnderTimeDivisions(const ChartDecoration &a, const ChartDecoration &b)
{
    ChartDecoration x = a, y = b;
    x.xTicks.clear();
    x.xGrid.clear();
    x.timeLabels.clear();
    y.xTicks.clear();
    y.xGrid.clear();
    y.timeLabels.clear();
    return x == y;
}

QRect timeLabelArea(const ChartText &label, int fh)
{
    return label.rect.adjusted(-fh, -fh / 2, fh, fh / 2);
}

QVector<QRect> movedTimeDivisions(const ChartDecoration &before, const ChartDecoration &after,
                                  const QRect &plot, int fh)
{
    QVector<QRect> areas;
    auto columns = [](const ChartDecoration &d) {
        QVector<int> xs;
        for (const QLine &grid : d.xGrid)
            xs << grid.x1();
        return xs;
    };
    const QVector<int> was = columns(before), is = columns(after);
    // A grid line and its tick, with a pixel to spare at either end.
    auto column = [&](int x) {
        areas << QRect(x, plot.top() - 1, 1, plot.height() + TickLength + 2);
    };
    for (int x : was) {
        if (!is.contains(x))
            column(x);
    }
    for (int x : is) {
        if (!was.contains(x))
            column(x);
    }
    auto labels = [&](const QVector<ChartText> &from, const QVector<ChartText> &other) {
        for (const ChartText &t : from) {
            if (!other.contains(t))
                areas << timeLabelArea(t, fh);
        }
    };
    labels(before.timeLabels, after.timeLabels);
    labels(after.timeLabels, before.timeLabels);
    return areas;
}

ChartReadout layoutReadout(const QRect &plot, int x, const QStringList &texts,
                           const QFontMetrics &fm)
{
    ChartReadout r;
    r.cursor = QLine(x, plot.top(), x, plot.bottom());
    const int fh = fm.height();
    int y = plot.top();
    for (const QString &text : texts) {
        const int w = fm.horizontalAdvance(text);
        if (x + 2 + w >= plot.right())
            x = x - w - 2;
        else
            x = x + 2;
        r.texts.append({QRect(x, y - fh, w, fh), text});
        y = y - fh + 1;
    }
    return r;
}

// The first position at or right of x, or -1. Positions ascend in x.
static int firstPositionAtOrRightOf(const ChartPositions &positions, int x)
{
    int lo = 0, hi = positions.size();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (positions.x(mid) < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < positions.size() ? lo : -1;
}

int nearestPosition(const ChartPositions &positions, int x, int plotWidth)
{
    if (x < 0)
        return 0;
    if (x > plotWidth)
        return positions.size() - 1;
    // The first position at or right of x is where a walk from the left stops.
    const int i = firstPositionAtOrRightOf(positions, x);
    if (i < 0)
        return positions.size() - 1;
    if (positions.x(i) == x)
        return i;
    const int d1 = std::abs(positions.x(i) - x);
    const int d0 = std::abs(positions.x(i > 0 ? i - 1 : 0) - x);
    return d0 > d1 ? i : std::max(i - 1, 0);
}

ZoomSelection selectZoom(const ChartPositions &positions, const QPoint &start,
                         const QPoint &end, int first, int last)
{
    ZoomSelection z;
    z.first = first;
    z.last = last;
    if (!(end.x() > start.x() && end.y() > start.y()))
        return z;       // not drawn rightwards and downwards
    auto firstAtOrRightOf = [&](int x) { return firstPositionAtOrRightOf(positions, x); };
    int a = firstAtOrRightOf(start.x());
    int b = firstAtOrRightOf(end.x());
    if (b != -1)
        b = std::max(b - 1, 1);
    a = std::max(a, 0);
    if (b == -1 || b > positions.size() - 1)
        b = positions.size() - 1;
    // Relative to the current range, so that zooms nest.
    if (b - a > 0) {
        z.action = ZoomSelection::Zoom;
        z.last = first + b;
        z.first = first + a;
    } else {
        z.action = ZoomSelection::Keep;
    }
    return z;
}
