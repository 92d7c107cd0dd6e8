#include "charts/histogram.h"

#include <QPainter>

namespace {

const QColor BarColour(250, 150, 0);
const QColor CountTextColour(0, 100, 250);

} // namespace

Histogram::Histogram(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking);
}

Histogram::~Histogram()
{
    deleteBinsAndBars();
}

void Histogram::deleteBinsAndBars()
{
    qDeleteAll(m_bars);
    m_bars.clear();
    qDeleteAll(m_bins);
    m_bins.clear();
}

void Histogram::setRanges(const QList<BinRange *> &ranges)
{
    m_ranges = ranges;
    m_valueCount = 0;
    deleteBinsAndBars();
    for (BinRange *range : ranges) {
        auto *bin = new HistogramBin;
        bin->range = range;
        m_bins.append(bin);
        auto *bar = new HistogramBar;
        bar->bin = bin;
        m_bars.append(bar);
    }
    fitMargins();
    valuesChanged();
}

void Histogram::addValue(double value)
{
    ++m_valueCount;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->countAdded(value);
    valuesChanged();
}

void Histogram::addValues(const double *values, int n)
{
    if (n <= 0)
        return;
    m_valueCount += n;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->countAdded(values, n);
    valuesChanged();
}

void Histogram::addValues(const QList<double> &values)
{
    const QVector<double> flat = values.toVector();
    addValues(flat.constData(), flat.size());
}

void Histogram::clear()
{
    m_valueCount = 0;
    for (HistogramBin *bin : qAsConst(m_bins))
        bin->counted = 0;
    valuesChanged();
}

QVector<int> Histogram::counts() const
{
    QVector<int> counts;
    counts.reserve(m_bins.size());
    for (const HistogramBin *bin : m_bins)
        counts.append(bin->count());
    return counts;
}

void Histogram::valuesChanged()
{
    m_backgroundDirty = true;
    update();
}

void Histogram::setDecimals(int decimals)
{
    m_decimals = decimals;
    fitMargins();
    m_backgroundDirty = true;
    update();
}

void Histogram::setMargins(const QMargins &margins)
{
    m_margins = margins;
}

void Histogram::setXTitle(const QString &title)
{
    if (title == m_xTitle)
        return;
    m_xTitle = title;
    m_backgroundDirty = true;
    update();
}

void Histogram::setYTitle(const QString &title)
{
    if (title == m_yTitle)
        return;
    m_yTitle = title;
    m_backgroundDirty = true;
    update();
}

QPixmap Histogram::pixmap() const
{
    return m_finalLayer;
}

bool Histogram::savePixmap(const QString &fileName) const
{
    if (m_finalLayer.isNull())
        return false;
    return m_finalLayer.save(fileName);
}

HistogramFrame Histogram::frame() const
{
    return HistogramFrame{size(), m_fittedMargins, m_plotRect.size()};
}

// The range labels follow the ranges and the decimals, so the margins and
// the plot follow them too, not only resizes. The font is the painter's
// default one on the layers.
void Histogram::fitMargins()
{
    m_fittedMargins = fitHistogramMargins(m_margins, m_ranges, m_decimals, QFontMetrics(QFont()));
    m_plotRect = QRectF(QPointF(0, 0), HistogramFrame::plotSizeFor(size(), m_fittedMargins));
}

void Histogram::resizeEvent(QResizeEvent *event)
{
    fitMargins();
    m_backgroundDirty = true;
    QWidget::resizeEvent(event);
}

void Histogram::layout()
{
    QVector<int> counts;
    counts.reserve(m_bins.size());
    for (const HistogramBin *bin : qAsConst(m_bins))
        counts.append(bin->count());
    m_geometry = layoutHistogram(m_plotRect.size(), counts);
    for (int i = 0; i < m_bars.size(); ++i)
        m_bars.at(i)->rect = i < m_geometry.bars.size() ? m_geometry.bars.at(i) : QRectF();
}

void Histogram::rebuildBackground()
{
    m_backgroundLayer = QPixmap(size());
    if (m_backgroundLayer.isNull())
        return;
    QPainter painter(&m_backgroundLayer);
    painter.fillRect(0, 0, width(), height(), Qt::white);

    QVector<int> counts;
    for (const HistogramBin *bin : qAsConst(m_bins))
        counts.append(bin->count());
    // The decoration is laid out with the painter's own (default) font.
    m_decoration = decorateHistogram(frame(), m_geometry, m_ranges, counts, m_decimals,
                                     m_xTitle, m_yTitle, painter.fontMetrics());
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

void Histogram::rebuildBars()
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

void Histogram::paintEvent(QPaintEvent *)
{
    layout();
    if (m_backgroundDirty) {
        rebuildBackground();
        m_backgroundDirty = false;
        rebuildBars();
        m_finalLayer = m_barsLayer;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_finalLayer);
}
