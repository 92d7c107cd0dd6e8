#include "charts/histogramlayout.h"

#include "charts/axisfit.h"
#include "charts/stepsearch.h"

#include <algorithm>
#include <limits>

namespace {

const double TickSpacing = 50;      // least pixels between count ticks
const int TickLabelTop = 7;         // count labels start this far below the plot

// The rotated value title's left edge, whatever the margin.
int valueTitleX(int fh)
{
    return int(1.5 * fh);
}

} // namespace

QSizeF HistogramFrame::plotSizeFor(const QSize &widgetSize, const QMargins &margins)
{
    return QSizeF(widgetSize.width() - margins.left() - margins.right(),
                  widgetSize.height() - margins.top() - margins.bottom());
}

int histogramCountStep(double pixelsPerCount)
{
    if (!(pixelsPerCount < TickSpacing))
        return 1;
    if (!(pixelsPerCount > 0))
        return std::numeric_limits<int>::max();
    const qint64 k = StepSearch::accumulatedCount(pixelsPerCount, TickSpacing);
    return int(std::min<qint64>(k, std::numeric_limits<int>::max()));
}

HistogramGeometry layoutHistogram(const QSizeF &plotSize, const QVector<int> &counts)
{
    HistogramGeometry g;
    for (int c : counts)
        g.maxCount = std::max(g.maxCount, c);
    g.rows = counts.size();
    if (!(plotSize.width() > 1 && plotSize.height() > 0))
        return g;
    g.drawable = true;
    g.pixelsPerCount = (plotSize.width() - 1) / g.maxCount;
    g.countStep = histogramCountStep(g.pixelsPerCount);
    g.rowHeight = g.rows > 0 ? plotSize.height() / g.rows : 1.0;
    // The bar fills the middle 80 % of its row; 1 - 0.9 is what places it.
    const double gap = 1 - 0.9;
    g.bars.reserve(g.rows);
    for (int m = 0; m < g.rows; ++m) {
        const int len = int(counts.at(m) * g.pixelsPerCount);
        g.bars.append(QRectF(0, gap * g.rowHeight - (m + 1) * g.rowHeight,
                             len == 0 ? 1 : len, 0.8 * g.rowHeight));
    }
    return g;
}

QString histogramRangeLabel(int row, int rows, const BinRange &range, int decimals)
{
    if (row == 0)
        return QStringLiteral("-OL");
    if (row == rows - 1)
        return QStringLiteral("OL");
    return QStringLiteral("(%1,%2]")
        .arg(QString::number(range.lower, 'f', decimals), 0, QLatin1Char(' '))
        .arg(QString::number(range.upper, 'f', decimals), 0, QLatin1Char(' '));
}

QMargins fitHistogramMargins(const QMargins &form, const QList<BinRange *> &ranges, int decimals,
                             const QFontMetrics &fm)
{
    int widest = 0;
    for (int i = 0; i < ranges.size(); ++i)
        widest = std::max(widest, fm.horizontalAdvance(histogramRangeLabel(i, ranges.size(), *ranges.at(i), decimals)));
    const int fh = fm.height();
    const int digit = fm.horizontalAdvance(QStringLiteral("0"));
    QMargins fitted = form;
    fitted.setLeft(AxisFit::leftMargin(form.left(), fh, widest, digit, [fh](int) { return valueTitleX(fh); }));
    fitted.setBottom(AxisFit::bottomMargin(form.bottom(), fh, TickLabelTop, 0));
    return fitted;
}

HistogramDecoration decorateHistogram(const HistogramFrame &frame,
                                      const HistogramGeometry &g,
                                      const QList<BinRange *> &ranges,
                                      const QVector<int> &counts, int decimals,
                                      const QString &xTitle, const QString &yTitle,
                                      const QFontMetrics &fm)
{
    HistogramDecoration d;
    const int width = frame.widgetSize.width();
    const int height = frame.widgetSize.height();
    const QMargins &m = frame.margins;
    const QSizeF plot = frame.plotSize;
    const int fh = fm.height();
    d.window = QRect(-m.left(), m.bottom() - height, width, height);

    if (g.drawable) {
        d.axes = true;
        d.countAxis = QLineF(-1, 1, plot.width(), 1);
        d.rangeAxis = QLineF(-1, 1, -1, -plot.height());

        // Count ticks: the remaining width is truncated after every step.
        const double step = g.countStep * g.pixelsPerCount;
        const int plotWidth = int(plot.width());
        if (step <= plotWidth) {
            auto addTick = [&](int k) {
                const int x = int(k * step - 1);
                d.ticks.append(QLine(x, 1, x, 6));
                const QString label = QString::number(qint64(k) * g.countStep);
                const int w = fm.horizontalAdvance(label);
                d.tickLabels.append({QRectF(x + 1 - w / 2, TickLabelTop, w, fh), label});
            };
            addTick(0);
            int remaining = plotWidth;
            for (int k = 1; remaining >= step; ++k) {
                addTick(k);
                remaining = int(remaining - step);
            }
        }

        const int w16 = fm.horizontalAdvance(QStringLiteral("[0000.0,0000.0] "));
        const int digit = fm.horizontalAdvance(QStringLiteral("0"));
        const int rows = std::min(g.bars.size(), ranges.size());
        for (int i = 0; i < rows; ++i) {
            const QRectF &bar = g.bars.at(i);
            const QString label = histogramRangeLabel(i, g.bars.size(), *ranges.at(i), decimals);
            // Ends one digit width left of the plot; a label wider than the
            // usual box gets a box as wide as itself.
            const int w = std::max(w16 - digit, fm.horizontalAdvance(label));
            d.rangeLabels.append({QRectF(int(bar.x() - digit - w), int(bar.y()), w, bar.height()), label});
        }

        const int blank = fm.horizontalAdvance(QStringLiteral(" "));
        for (int i = 0; i < g.bars.size(); ++i) {
            const QRectF &bar = g.bars.at(i);
            const QString text = QStringLiteral("%1 ").arg(counts.at(i), 0, 10, QLatin1Char(' '));
            const int w = fm.horizontalAdvance(text);
            if (bar.width() >= w)
                d.countTexts.append({bar, text});
            else
                d.countTexts.append({bar.adjusted(bar.width() + blank / 2, 0,
                                                  w + bar.width() + blank / 2, 0), text});
        }
    }

    const int yw = fm.horizontalAdvance(yTitle);
    d.yTitleOrigin = QPoint(valueTitleX(fh), yw / 2 + (height - m.bottom() - m.top()) / 2 + m.top());
    d.yTitleRect = QRect(0, 0, yw, fh);
    const int xw = fm.horizontalAdvance(xTitle);
    d.xTitleRect = QRect(m.left() + (width - m.left() - m.right() - xw) / 2,
                         height + fh - m.bottom() + (m.bottom() - fh) / 2, xw, fh);
    return d;
}
