#include "charts/histogramcanvas.h"

#include <QPainter>

namespace {

const QColor BarColour(250, 150, 0);
const QColor CountTextColour(0, 100, 250);

} // namespace

HistogramCanvas::HistogramCanvas() = default;

HistogramCanvas::~HistogramCanvas()
{
    deleteBinsAndBars();
}

void HistogramCanvas::deleteBinsAndBars()
{
    qDeleteAll(m_bars);
    m_bars.clear();
    qDeleteAll(m_bins);
    m_bins.clear();
}

void HistogramCanvas::setRanges(const QList<BinRange *> &ranges)
{
    QVector<BinRange> copies;
    copies.reserve(ranges.size());
    for (const BinRange *range : ranges)
        copies.append(*range);
    resetRanges(copies.constData(), copies.size());
}

// The bins point into m_ranges, which stays put until the next ranges.
void HistogramCanvas::resetRanges(const BinRange *ranges, int n)
{
    m_valueCount = 0;
    deleteBinsAndBars();
    m_ranges.assign(ranges, ranges + n);
    m_rangeList.clear();
    for (BinRange &range : m_ranges) {
        m_rangeList.append(&range);
        auto *bin = new HistogramBin;
        bin->range = &range;
        m_bins.append(bin);
        auto *bar = new HistogramBar;
        bar->bin = bin;
        m_bars.append(bar);
    }
    fitMargins();
}

void HistogramCanvas::addValue(double value)
{
    ++m_valueCount;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->countAdded(value);
}

void HistogramCanvas::addValues(const double *values, int n)
{
    if (n <= 0)
        return;
    m_valueCount += n;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->countAdded(values, n);
}

void HistogramCanvas::clear()
{
    m_valueCount = 0;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->counted = 0;
}

QVector<int> HistogramCanvas::counts() const
{
    QVector<int> counts;
    counts.reserve(m_bins.size());
    for (const HistogramBin *bin : m_bins)
        counts.append(bin->count());
    return counts;
}

HistogramSettings HistogramCanvas::settings() const
{
    return HistogramSettings{QVector<BinRange>(m_ranges.begin(), m_ranges.end()), m_margins, m_xTitle, m_yTitle,
                             m_decimals};
}

void HistogramCanvas::apply(const HistogramSettings &settings)
{
    m_margins = settings.margins;
    m_xTitle = settings.xTitle;
    m_yTitle = settings.yTitle;
    m_decimals = settings.decimals;
    resetRanges(settings.ranges.constData(), settings.ranges.size());
}

void HistogramCanvas::setDecimals(int decimals)
{
    m_decimals = decimals;
    fitMargins();
}

void HistogramCanvas::setMargins(const QMargins &margins)
{
    m_margins = margins;
    fitMargins();
}

void HistogramCanvas::setXTitle(const QString &title)
{
    m_xTitle = title;
}

void HistogramCanvas::setYTitle(const QString &title)
{
    m_yTitle = title;
}

QImage HistogramCanvas::picture(const QSize &size)
{
    if (size != m_size)
        resize(size);
    render();
    return image();
}

void HistogramCanvas::resize(const QSize &size)
{
    m_size = size;
    fitMargins();
}

void HistogramCanvas::render()
{
    layout();
    rebuildBackground();
    rebuildBars();
}

HistogramFrame HistogramCanvas::frame() const
{
    return HistogramFrame{m_size, m_fittedMargins, m_plotRect.size()};
}

// The range labels follow the ranges and the decimals, so the margins and
// the plot follow them too, not only the size. The font is the painter's
// default one on the layers.
void HistogramCanvas::fitMargins()
{
    m_fittedMargins = fitHistogramMargins(m_margins, m_rangeList, m_decimals, QFontMetrics(QFont()));
    m_plotRect = QRectF(QPointF(0, 0), HistogramFrame::plotSizeFor(m_size, m_fittedMargins));
}

void HistogramCanvas::layout()
{
    m_geometry = layoutHistogram(m_plotRect.size(), counts());
    for (int i = 0; i < m_bars.size(); ++i)
        m_bars.at(i)->rect = i < m_geometry.bars.size() ? m_geometry.bars.at(i) : QRectF();
}

void HistogramCanvas::rebuildBackground()
{
    m_backgroundLayer = QImage(m_size, QImage::Format_RGB32);
    if (m_backgroundLayer.isNull())
        return;
    QPainter painter(&m_backgroundLayer);
    painter.fillRect(m_backgroundLayer.rect(), Qt::white);

    // The decoration is laid out with the painter's own (default) font.
    m_decoration = decorateHistogram(frame(), m_geometry, m_rangeList, counts(), m_decimals, m_xTitle, m_yTitle,
                                     painter.fontMetrics());
    const HistogramDecoration &d = m_decoration;

    if (d.axes) {
        painter.save();
        painter.setWindow(d.window);
        painter.drawLine(d.countAxis);
        painter.drawLine(d.rangeAxis);
        for (int i = 0; i < d.ticks.size(); ++i) {
            painter.drawLine(d.ticks.at(i));
            painter.drawText(d.tickLabels.at(i).rect, Qt::AlignCenter, d.tickLabels.at(i).text);
        }
        painter.setPen(QColor(Qt::black));
        for (const HistogramText &label : d.rangeLabels)
            painter.drawText(label.rect, Qt::AlignRight | Qt::AlignVCenter, label.text);
        painter.restore();
    }

    painter.save();
    painter.translate(d.yTitleOrigin);
    painter.rotate(-90);
    painter.drawText(d.yTitleRect, Qt::AlignCenter, m_yTitle);
    painter.restore();
    painter.drawText(d.xTitleRect, Qt::AlignCenter, m_xTitle);
}

void HistogramCanvas::rebuildBars()
{
    m_barsLayer = m_backgroundLayer;
    if (m_barsLayer.isNull() || !m_decoration.axes)
        return;
    QPainter painter(&m_barsLayer);
    painter.save();
    painter.setWindow(m_decoration.window);
    for (int i = 0; i < m_bars.size() && i < m_decoration.countTexts.size(); ++i) {
        HistogramBar *bar = m_bars.at(i);
        painter.save();
        bar->colour = BarColour;
        painter.setPen(Qt::transparent);
        painter.setBrush(QBrush(bar->colour, Qt::SolidPattern));
        painter.drawRect(bar->rect);
        bar->colour = CountTextColour;
        painter.setPen(bar->colour);
        const HistogramText &count = m_decoration.countTexts.at(i);
        painter.drawText(count.rect, Qt::AlignCenter, count.text);
        painter.restore();
    }
    painter.restore();
}
