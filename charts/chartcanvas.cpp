#include "charts/chartcanvas.h"

#include "charts/columnreduction.h"
#include "charts/columnvertices.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

const QColor LineColour(250, 150, 0);
const QColor NominalColour(0, 140, 0);
const QColor LimitColour(210, 0, 0);
const QColor BackgroundColour(Qt::white);

} // namespace

ChartCanvas::ChartCanvas()
{
    m_lines.append(new ChartLine(LineColour));
}

ChartCanvas::~ChartCanvas()
{
    qDeleteAll(m_lines);
}

bool ChartCanvas::hasPoints() const
{
    for (const ChartLine *line : m_lines) {
        if (!line->points.isEmpty())
            return true;
    }
    return false;
}

// The line keeps what it draws and shows in flat arrays.
void ChartCanvas::addPoint(const ChartPoint &point, int line)
{
    if (line >= 0 && line < m_lines.size())
        m_lines.at(line)->points.append(point);
}

void ChartCanvas::addValues(const double *values, int count, int line)
{
    if (line < 0 || line >= m_lines.size() || count <= 0)
        return;
    ChartSeries &series = m_lines.at(line)->points;
    for (int i = 0; i < count; ++i)
        series.append(values[i]);
}

void ChartCanvas::setTexts(const ChartSeries::Text &timeText, const ChartSeries::Text &tag, int line)
{
    if (line >= 0 && line < m_lines.size())
        m_lines.at(line)->points.setTexts(timeText, tag);
}

void ChartCanvas::clear()
{
    for (ChartLine *line : qAsConst(m_lines))
        line->deletePoints();
    // A zoomed range would index past the points that come next.
    m_settings.zoomed = false;
}

void ChartCanvas::apply(const ChartSettings &settings)
{
    m_settings = settings;
}

void ChartCanvas::setLeftMargin(int margin)
{
    m_settings.margins.setLeft(margin);
}

void ChartCanvas::setBottomMargin(int margin)
{
    m_settings.margins.setBottom(margin);
}

void ChartCanvas::setXTitle(const QString &title)
{
    m_settings.xTitle = title;
}

void ChartCanvas::setYTitle(const QString &title)
{
    m_settings.yTitle = title;
}

void ChartCanvas::setDecimals(int decimals)
{
    m_settings.decimals = decimals;
}

void ChartCanvas::setLimitLines(double nominal, double minimum, double maximum)
{
    m_settings.limitLines[0] = nominal;
    m_settings.limitLines[1] = minimum;
    m_settings.limitLines[2] = maximum;
}

void ChartCanvas::zoom(int first, int last)
{
    m_settings.zoomed = true;
    m_settings.firstVisible = first;
    m_settings.lastVisible = last;
}

void ChartCanvas::showAll()
{
    m_settings.zoomed = false;
}

QImage ChartCanvas::picture(const QSize &size)
{
    if (size != m_size)
        resize(size);
    render();
    return image();
}

void ChartCanvas::resize(const QSize &size)
{
    m_size = size;
    m_plotRect = frame().plotRect();
    m_backgroundLayer = QImage(size, QImage::Format_RGB32);
    m_backgroundPainted = false;
}

void ChartCanvas::render()
{
    rebuildBackground();
    rebuildLines();
}

ChartFrame ChartCanvas::frame() const
{
    const QMargins &m = m_settings.margins;
    return ChartFrame{m_size, m.left(), m.right(), m.top(), m.bottom()};
}

bool ChartCanvas::hasLimitLines() const
{
    return std::any_of(m_settings.limitLines, m_settings.limitLines + 3, [](double v) { return v > 0; });
}

QVector<ChartCanvas::LimitLine> ChartCanvas::limitLines(const QFontMetrics &metrics) const
{
    QVector<LimitLine> lines;
    if (!m_axes.drawable || !hasLimitLines())
        return lines;
    const QString names[3] = {tr("NDFT"), tr("Min"), tr("Max")};
    for (int i = 0; i < 3; ++i) {
        const double value = m_settings.limitLines[i];
        if (!(value > 0))
            continue;
        const int y = StepSearch::truncateToPixel(m_axes.zeroY - m_axes.yScale * value);
        const int w = metrics.horizontalAdvance(names[i]);
        lines.append({i == 0 ? NominalColour : LimitColour, y,
                      QRect(m_plotRect.right() - w - 4, y - metrics.height() - 1, w, metrics.height()), names[i]});
    }
    return lines;
}

void ChartCanvas::paintLimitLines(QPainter &painter) const
{
    const QVector<LimitLine> lines = limitLines(painter.fontMetrics());
    if (lines.isEmpty())
        return;
    painter.setClipRect(m_plotRect, Qt::IntersectClip);
    for (const LimitLine &line : lines) {
        painter.setPen(QPen(line.colour, 1, Qt::DashLine));
        painter.drawLine(m_plotRect.left(), line.y, m_plotRect.right(), line.y);
        painter.drawText(line.textRect, Qt::AlignCenter, line.name);
    }
}

void ChartCanvas::rebuildBackground()
{
    const ChartSeries &points0 = m_lines.first()->points;
    ChartSettings &s = m_settings;
    if (s.zoomed && s.lastVisible > points0.size() - 1)
        s.zoomed = false;           // fewer points than the zoomed range: show them all
    if (!s.zoomed) {
        s.firstVisible = 0;
        s.lastVisible = points0.size() - 1;
    }
    const int first = s.firstVisible, last = s.lastVisible;

    QVector<ValueRange> ranges;
    for (ChartLine *line : qAsConst(m_lines)) {
        const ValueRange r = lineValueRange(line->points, first, last);
        line->min = r.min;
        line->max = r.max;
        ranges.append(r);
    }
    if (hasLimitLines())
        ranges.append(ValueRange{0, *std::max_element(s.limitLines, s.limitLines + 3)});
    // The texts are measured in the font painters on pictures use.
    const QFont font;
    if (!m_fitMeasure || font != m_measuredFont) {
        m_measuredFont = font;
        m_fitMeasure.emplace(QFontMetrics(font));
        m_paintMeasure.reset();
    }
    // The margins grow where the texts around the plot need more room.
    const ChartFrame fitted = fitChartFrame(frame(), ranges, first, last, hasPoints(), s.decimals, *m_fitMeasure);
    m_plotRect = fitted.plotRect();
    m_axes = computeChartAxes(m_plotRect, ranges, first, last, hasPoints());
    for (ChartLine *line : qAsConst(m_lines)) {
        line->xScale = m_axes.xScale;
        line->yScale = m_axes.yScale;
        const int visible = std::min(last, line->points.size() - 1) - std::max(first, 0) + 1;
        line->positions = ChartPositions{std::max(visible, 0), m_axes.xScale};
    }

    if (m_backgroundLayer.size() != m_size) {
        m_backgroundLayer = QImage(m_size, QImage::Format_RGB32);
        m_backgroundPainted = false;
    }
    if (m_backgroundLayer.isNull())
        return;
    if (!m_paintMeasure)
        m_paintMeasure.emplace(QFontMetrics(font, &m_backgroundLayer));
    const ChartDecoration d = decorateChart(fitted, m_plotRect, m_axes, points0, first, s.decimals, s.xTitle,
                                            s.yTitle, *m_paintMeasure);
    // With many readings a new one seldom moves a tick or changes a label:
    // the background painted last is then still right. When only the time
    // axis's divisions moved, as with few readings, only they are painted
    // again, over the rest kept as the base layer.
    const bool sameTexts = m_backgroundPainted && font == m_paintedFont && s.xTitle == m_paintedXTitle
                           && s.yTitle == m_paintedYTitle;
    if (sameTexts && d == m_paintedDecoration)
        return;
    const ChartDecoration before = m_paintedDecoration;
    m_paintedDecoration = d;
    m_paintedFont = font;
    m_paintedXTitle = s.xTitle;
    m_paintedYTitle = s.yTitle;
    if (sameTexts && sameUnderTimeDivisions(before, d)) {
        const QVector<QRect> areas = movedTimeDivisions(before, d, m_plotRect, m_paintMeasure->height());
        const qsizetype stride = m_backgroundLayer.bytesPerLine();
        QPainter painter(&m_backgroundLayer);
        for (const QRect &area : areas) {
            const QRect r = area & m_backgroundLayer.rect();
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(m_backgroundLayer.bits() + y * stride + r.left() * 4,
                            m_baseLayer.constBits() + y * stride + r.left() * 4, std::size_t(r.width()) * 4);
            painter.setClipRect(r);
            paintTimeDivisions(painter, d, &r);
        }
        m_backgroundChanges << areas;
        return;
    }
    m_backgroundPainted = true;
    m_backgroundChanged = true;

    m_baseLayer = QImage(m_size, QImage::Format_RGB32);
    m_baseLayer.fill(BackgroundColour);
    QPainter base(&m_baseLayer);
    base.save();
    const QPen defaultPen = base.pen();
    if (d.axes) {
        base.drawLine(d.timeAxis);
        base.drawLine(d.valueAxis);
        auto side = [&](const QVector<QLine> &ticks, const QVector<QLine> &grid,
                        const QVector<ChartText> &labels) {
            base.setPen(defaultPen);
            base.drawLines(ticks);
            base.setPen(Qt::DotLine);
            base.drawLines(grid);
            base.setPen(defaultPen);
            for (const ChartText &t : labels)
                base.drawText(t.rect, Qt::AlignCenter, t.text);
        };
        side(d.positiveTicks, d.positiveGrid, d.positiveLabels);
        side(d.negativeTicks, d.negativeGrid, d.negativeLabels);
    }
    base.save();
    base.translate(d.yTitleOrigin);
    base.rotate(-90);
    base.drawText(d.yTitleRect, Qt::AlignCenter, s.yTitle);
    base.restore();
    base.drawText(d.xTitleRect, Qt::AlignCenter, s.xTitle);
    base.restore();
    base.end();

    m_backgroundLayer = m_baseLayer.copy();
    QPainter painter(&m_backgroundLayer);
    paintTimeDivisions(painter, d);
}

// The time axis's ticks, dotted grid lines and time labels, those near
// `area` when given. They lie apart from everything else but the time axis
// itself, which they cross in black.
void ChartCanvas::paintTimeDivisions(QPainter &painter, const ChartDecoration &d, const QRect *area) const
{
    if (!d.axes)
        return;
    painter.save();
    painter.setPen(QPen());
    painter.drawLines(d.xTicks);
    painter.setPen(Qt::DotLine);
    painter.drawLines(d.xGrid);
    painter.setPen(QPen());
    const int fh = m_paintMeasure ? m_paintMeasure->height() : painter.fontMetrics().height();
    for (const ChartText &t : d.timeLabels) {
        if (!area || timeLabelArea(t, fh).intersects(*area))
            painter.drawText(t.rect, Qt::AlignCenter, t.text);
    }
    painter.restore();
}

void ChartCanvas::lineVertices(ChartLine *line, QVector<QPoint> *vertices)
{
    vertices->clear();
    const int first = m_settings.firstVisible, last = m_settings.lastVisible;
    // A few readings per pixel column are quicker walked than searched.
    const qint64 visible = qint64(last) - first + 1;
    if (thinsWithIndex(m_axes) && visible > 8 * (qint64(m_plotRect.width()) + 1)) {
        // Each pixel column's few vertices, straight from the index.
        appendThinnedVertices(line->points.index(), first, last, m_axes, m_plotRect, vertices, &line->columns);
    } else {
        // Many readings per pixel column collapse to four vertices each.
        ColumnReducer reducer(vertices);
        forEachChartVertex(line->points, first, last, m_axes, m_plotRect, [&](const QPoint &p) { reducer.add(p); });
    }
    dropRepeatedVertices(vertices);
}

void ChartCanvas::rebuildLines()
{
    const bool backgroundChanged = m_backgroundChanged;
    const QVector<QRect> backgroundChanges = m_backgroundChanges;
    m_backgroundChanged = false;
    m_backgroundChanges.clear();
    const QImage &background = m_backgroundLayer;
    if (background.isNull()) {
        m_picture.clear();
        return;
    }
    const bool drawLines = m_axes.drawable && hasPoints();
    auto paintOver = [this](QPainter &painter) { paintLimitLines(painter); };

    // One line in an opaque colour is filled in as pixel spans. Its
    // readings are only ever appended, so the same visible range on the
    // same scales gives the same line: a zoomed chart's, for one.
    const ChartLine *only = m_lines.size() == 1 ? m_lines.first() : nullptr;
    bool traced = only && only->colour.alpha() == 255;
    const TracedLine key{drawLines,     drawLines ? only->points.index().serial() : 0,
                         m_settings.firstVisible, m_settings.lastVisible,
                         m_axes.xScale, m_axes.yScale,
                         m_axes.zeroY,  m_plotRect,
                         background.size()};
    const bool same = traced && m_traced && key == *m_traced;
    if (traced && !same) {
        if (drawLines) {
            lineVertices(m_lines.first(), &m_vertices);
            traced = m_linePixels.trace(m_vertices.constData(), m_vertices.size(), background.size());
        } else {
            m_linePixels.reset(background.size());
        }
    }
    m_traced.reset();
    if (traced)
        m_traced = key;
    if (traced) {
        QVector<QRect> overAreas;
        const QFontMetrics metrics(QFont(), const_cast<QImage *>(&background));
        const int fh = metrics.height();
        for (const LimitLine &line : limitLines(metrics)) {
            overAreas << (QRect(m_plotRect.left() - 1, line.y - 1, m_plotRect.width() + 2, 3) & m_plotRect)
                      << (line.textRect.adjusted(-fh, -fh, fh, fh) & m_plotRect);
        }
        m_picture.update(background, backgroundChanged, backgroundChanges, same ? nullptr : &m_linePixels,
                         only->colour.rgba(), overAreas, paintOver);
        return;
    }
    m_picture.paint(background, [&](QPainter &painter) {
        if (drawLines) {
            for (ChartLine *line : qAsConst(m_lines)) {
                if (line->points.isEmpty())
                    continue;
                lineVertices(line, &m_vertices);
                painter.setPen(line->colour);
                painter.drawPolyline(m_vertices.constData(), m_vertices.size());
            }
        }
        paintOver(painter);
    });
}

