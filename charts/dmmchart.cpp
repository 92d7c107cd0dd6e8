#include "charts/dmmchart.h"

#include "charts/columnreduction.h"
#include "charts/columnvertices.h"

#include <QMouseEvent>
#include <QMutexLocker>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

const QColor LineColour(250, 150, 0);
const QColor NominalColour(0, 140, 0);
const QColor LimitColour(210, 0, 0);
const int IndicatorMs = 3000;

} // namespace

DMMChart::DMMChart(QWidget *parent) : QFrame(parent)
{
    m_lines.append(new ChartLine(this, LineColour));
    m_indicatorTimer = new QTimer(this);
    m_indicatorTimer->setSingleShot(true);
    connect(m_indicatorTimer, &QTimer::timeout, this, &DMMChart::slotTmrIndicatorTimeout);
    setAttribute(Qt::WA_MouseTracking);
    // The picture covers the widget: nothing needs clearing before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DMMChart::~DMMChart()
{
    qDeleteAll(m_lines);
}

bool DMMChart::hasPoints() const
{
    for (const ChartLine *line : m_lines) {
        if (!line->points.isEmpty())
            return true;
    }
    return false;
}

void DMMChart::pointsAdded()
{
    // A zoomed or dragged chart keeps its picture until the zoom or drag ends.
    if (m_dragging || m_zoomed)
        return;
    m_backgroundDirty = true;
    update();
}

// The line keeps what it draws and shows in flat arrays; the handed
// records are not needed after that.
void DMMChart::addPoint(ChartPoint *point, int line)
{
    if (!point || line < 0 || line >= m_lines.size()) {
        delete point;
        return;
    }
    m_lines.at(line)->points.append(*point);
    delete point;
    pointsAdded();
}

void DMMChart::addPoints(QList<ChartPoint *> points, int line)
{
    if (line < 0 || line >= m_lines.size()) {
        qDeleteAll(points);
        return;
    }
    ChartSeries &series = m_lines.at(line)->points;
    for (const ChartPoint *point : qAsConst(points)) {
        if (point)
            series.append(*point);
    }
    qDeleteAll(points);
    pointsAdded();
}

void DMMChart::addValues(const double *values, int count, int line)
{
    if (line < 0 || line >= m_lines.size() || count <= 0)
        return;
    ChartSeries &series = m_lines.at(line)->points;
    for (int i = 0; i < count; ++i)
        series.append(values[i]);
    pointsAdded();
}

void DMMChart::setTexts(const ChartSeries::Text &timeText, const ChartSeries::Text &tag, int line)
{
    if (line >= 0 && line < m_lines.size())
        m_lines.at(line)->points.setTexts(timeText, tag);
}

void DMMChart::clear()
{
    {
        QMutexLocker locker(&m_mutex);
        for (ChartLine *line : qAsConst(m_lines))
            line->deletePoints();
        // A zoomed range would index past the points that come next.
        m_zoomed = false;
    }
    m_backgroundDirty = true;
    update();
}

void DMMChart::setDecimals(int decimals)
{
    m_decimals = decimals;
}

void DMMChart::setLeftMargin(int margin)
{
    m_leftMargin = margin;
    m_backgroundDirty = true;
    update();
}

void DMMChart::setBottomMargin(int margin)
{
    m_bottomMargin = margin;
}

void DMMChart::setXTitle(const QString &title)
{
    if (title == m_xTitle)
        return;
    m_xTitle = title;
    m_backgroundDirty = true;
    update();
}

void DMMChart::setYTitle(const QString &title)
{
    if (title == m_yTitle)
        return;
    m_yTitle = title;
    m_backgroundDirty = true;
    update();
}

void DMMChart::setLimitLines(double nominal, double minimum, double maximum)
{
    const double lines[3] = {nominal, minimum, maximum};
    if (std::equal(lines, lines + 3, m_limitLines))
        return;
    std::copy(lines, lines + 3, m_limitLines);
    m_backgroundDirty = true;
    update();
}

bool DMMChart::hasLimitLines() const
{
    return std::any_of(m_limitLines, m_limitLines + 3, [](double v) { return v > 0; });
}

QVector<DMMChart::LimitLine> DMMChart::limitLines(const QFontMetrics &metrics) const
{
    QVector<LimitLine> lines;
    if (!m_axes.drawable || !hasLimitLines())
        return lines;
    const QString names[3] = {tr("NDFT"), tr("Min"), tr("Max")};
    for (int i = 0; i < 3; ++i) {
        const double value = m_limitLines[i];
        if (!(value > 0))
            continue;
        const int y = StepSearch::truncateToPixel(m_axes.zeroY - m_axes.yScale * value);
        const int w = metrics.horizontalAdvance(names[i]);
        lines.append({i == 0 ? NominalColour : LimitColour, y,
                      QRect(m_plotRect.right() - w - 4, y - metrics.height() - 1, w, metrics.height()), names[i]});
    }
    return lines;
}

void DMMChart::paintLimitLines(QPainter &painter) const
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

QPixmap DMMChart::pixmap() const
{
    const QImage &picture = m_picture.image();
    if (!m_painted || picture.isNull())
        return QPixmap();
    if (m_composedStale) {
        QImage composed = picture.copy();
        QPainter painter(&composed);
        paintOverlay(painter);
        painter.end();
        m_composed = QPixmap::fromImage(std::move(composed));
        m_composedStale = false;
    }
    return m_composed;
}

bool DMMChart::savePixmap(const QString &fileName) const
{
    const QPixmap picture = pixmap();
    if (picture.isNull())
        return false;
    return picture.save(fileName);
}

void DMMChart::slotTmrIndicatorTimeout()
{
    m_indicatorVisible = false;
    update();
}

ChartFrame DMMChart::frame() const
{
    return ChartFrame{size(), m_leftMargin, m_rightMargin, m_topMargin, m_bottomMargin};
}

QPoint DMMChart::toPlot(const QPoint &pos) const
{
    return QPoint(qBound(0, pos.x() - m_plotRect.left(), m_plotRect.width()),
                  qBound(0, pos.y() - m_plotRect.top(), m_plotRect.height()));
}

void DMMChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && hasPoints()) {
        m_cursorIndex = -1;
        m_indicatorVisible = false;
        update();
        if (!m_dragging) {
            m_dragging = true;
            m_selectionStart = toPlot(event->pos());
            // A release without a move zooms nothing.
            m_selectionEnd = m_selectionStart;
        }
    }
    QFrame::mousePressEvent(event);
}

void DMMChart::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        m_selectionEnd = toPlot(event->pos());
        m_selectionDirty = true;
        update();
    } else {
        const int cx = qBound(0, event->pos().x() - m_plotRect.left(), m_plotRect.width());
        const int n = nearestPosition(m_lines.first()->positions, cx, m_plotRect.width());
        m_indicatorVisible = n != m_cursorIndex && n != -1;
        if (m_indicatorVisible) {
            m_cursorIndex = n;
            m_indicatorTimer->start(IndicatorMs);
            m_indicatorDirty = true;
            update();
        }
    }
    QFrame::mouseMoveEvent(event);
}

void DMMChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging) {
        const ZoomSelection z = selectZoom(m_lines.first()->positions, m_selectionStart,
                                           m_selectionEnd, m_firstVisible, m_lastVisible);
        if (z.action == ZoomSelection::Zoom) {
            m_zoomed = true;
            m_firstVisible = z.first;
            m_lastVisible = z.last;
        } else if (z.action == ZoomSelection::Cancel) {
            m_zoomed = false;
        }
        m_dragging = false;
        m_backgroundDirty = true;
        update();
    }
    QFrame::mouseReleaseEvent(event);
}

void DMMChart::resizeEvent(QResizeEvent *event)
{
    m_plotRect = frame().plotRect();
    m_backgroundLayer = QImage(size(), QImage::Format_RGB32);
    m_backgroundPainted = false;
    m_backgroundDirty = true;
    QFrame::resizeEvent(event);
}

void DMMChart::rebuildBackground()
{
    const ChartSeries &points0 = m_lines.first()->points;
    if (m_zoomed && m_lastVisible > points0.size() - 1)
        m_zoomed = false;           // fewer points than the zoomed range: show them all
    if (!m_zoomed) {
        m_firstVisible = 0;
        m_lastVisible = points0.size() - 1;
    }

    QVector<ValueRange> ranges;
    for (ChartLine *line : qAsConst(m_lines)) {
        const ValueRange r = lineValueRange(line->points, m_firstVisible, m_lastVisible);
        line->min = r.min;
        line->max = r.max;
        ranges.append(r);
    }
    if (hasLimitLines())
        ranges.append(ValueRange{0, *std::max_element(m_limitLines, m_limitLines + 3)});
    // The texts are measured in the font painters on pictures use.
    const QFont font;
    if (!m_fitMeasure || font != m_measuredFont) {
        m_measuredFont = font;
        m_fitMeasure.emplace(QFontMetrics(font));
        m_paintMeasure.reset();
    }
    // The margins grow where the texts around the plot need more room.
    const ChartFrame fitted = fitChartFrame(frame(), ranges, m_firstVisible, m_lastVisible, hasPoints(),
                                            m_decimals, *m_fitMeasure);
    m_plotRect = fitted.plotRect();
    m_axes = computeChartAxes(m_plotRect, ranges, m_firstVisible, m_lastVisible, hasPoints());
    for (ChartLine *line : qAsConst(m_lines)) {
        line->xScale = m_axes.xScale;
        line->yScale = m_axes.yScale;
        const int visible = std::min(m_lastVisible, line->points.size() - 1) - std::max(m_firstVisible, 0) + 1;
        line->positions = ChartPositions{std::max(visible, 0), m_axes.xScale};
    }

    if (m_backgroundLayer.size() != size()) {
        m_backgroundLayer = QImage(size(), QImage::Format_RGB32);
        m_backgroundPainted = false;
    }
    if (m_backgroundLayer.isNull())
        return;
    if (!m_paintMeasure)
        m_paintMeasure.emplace(QFontMetrics(font, &m_backgroundLayer));
    const ChartDecoration d = decorateChart(fitted, m_plotRect, m_axes, points0, m_firstVisible, m_decimals,
                                            m_xTitle, m_yTitle, *m_paintMeasure);
    // With many readings a new one seldom moves a tick or changes a label:
    // the background painted last is then still right. When only the time
    // axis's divisions moved, as with few readings, only they are painted
    // again, over the rest kept as the base layer.
    const bool sameTexts = m_backgroundPainted && font == m_paintedFont && m_xTitle == m_paintedXTitle
                           && m_yTitle == m_paintedYTitle;
    if (sameTexts && d == m_paintedDecoration)
        return;
    const ChartDecoration before = m_paintedDecoration;
    m_paintedDecoration = d;
    m_paintedFont = font;
    m_paintedXTitle = m_xTitle;
    m_paintedYTitle = m_yTitle;
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

    m_baseLayer = QImage(size(), QImage::Format_RGB32);
    m_baseLayer.fill(m_backgroundColour);
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
    base.drawText(d.yTitleRect, Qt::AlignCenter, m_yTitle);
    base.restore();
    base.drawText(d.xTitleRect, Qt::AlignCenter, m_xTitle);
    base.restore();
    base.end();

    m_backgroundLayer = m_baseLayer.copy();
    QPainter painter(&m_backgroundLayer);
    paintTimeDivisions(painter, d);
}

// The time axis's ticks, dotted grid lines and time labels, those near
// `area` when given. They lie apart from everything else but the time axis
// itself, which they cross in black.
void DMMChart::paintTimeDivisions(QPainter &painter, const ChartDecoration &d, const QRect *area) const
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

void DMMChart::lineVertices(ChartLine *line, QVector<QPoint> *vertices)
{
    vertices->clear();
    // A few readings per pixel column are quicker walked than searched.
    const qint64 visible = qint64(m_lastVisible) - m_firstVisible + 1;
    if (thinsWithIndex(m_axes) && visible > 8 * (qint64(m_plotRect.width()) + 1)) {
        // Each pixel column's few vertices, straight from the index.
        appendThinnedVertices(line->points.index(), m_firstVisible, m_lastVisible, m_axes, m_plotRect, vertices,
                              &line->columns);
    } else {
        // Many readings per pixel column collapse to four vertices each.
        ColumnReducer reducer(vertices);
        forEachChartVertex(line->points, m_firstVisible, m_lastVisible, m_axes, m_plotRect,
                           [&](const QPoint &p) { reducer.add(p); });
    }
    dropRepeatedVertices(vertices);
}

void DMMChart::rebuildLines()
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
                         m_firstVisible, m_lastVisible,
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

void DMMChart::rebuildSelection()
{
    m_selectionShown = !m_picture.image().isNull() && m_dragging;
    const QPoint o = m_plotRect.topLeft();
    m_selectionCorners[0] = QPoint(m_selectionStart.x(), m_selectionStart.y()) + o;
    m_selectionCorners[1] = QPoint(m_selectionEnd.x(), m_selectionStart.y()) + o;
    m_selectionCorners[2] = QPoint(m_selectionEnd.x(), m_selectionEnd.y()) + o;
    m_selectionCorners[3] = QPoint(m_selectionStart.x(), m_selectionEnd.y()) + o;
}

void DMMChart::rebuildIndicator()
{
    m_readoutShown = false;
    const QImage &picture = m_picture.image();
    if (picture.isNull() || !m_axes.drawable || !hasPoints() || !m_indicatorVisible || m_cursorIndex == -1)
        return;
    const ChartPositions &positions = m_lines.first()->positions;
    if (m_cursorIndex >= positions.size())
        m_cursorIndex = positions.size() - 1;
    if (m_cursorIndex < 0)
        return;
    QStringList texts;
    for (const ChartLine *line : qAsConst(m_lines)) {
        const int i = m_firstVisible + m_cursorIndex;
        if (i >= 0 && i < line->points.size())
            texts << chartReadoutText(line->points, i);
    }
    m_readout = layoutReadout(m_plotRect, positions.x(m_cursorIndex) + m_plotRect.left(), texts,
                              QFontMetrics(QFont(), const_cast<QImage *>(&picture)));
    m_readoutShown = true;
}

// The selection rectangle and the cursor with its read-out.
void DMMChart::paintOverlay(QPainter &painter) const
{
    if (m_selectionShown) {
        painter.setPen(Qt::DotLine);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(m_selectionCorners, 4);
    }
    if (m_readoutShown) {
        painter.setPen(m_cursorColour);
        painter.drawLine(m_readout.cursor);
        for (const ChartText &t : m_readout.texts)
            painter.drawText(t.rect, Qt::AlignCenter, t.text);
    }
}

void DMMChart::paintEvent(QPaintEvent *event)
{
    bool changed = false;
    {
        QMutexLocker locker(&m_mutex);
        bool forced = false;
        if (m_backgroundDirty) {
            m_backgroundDirty = false;
            rebuildBackground();
            forced = true;
        }
        if (m_linesDirty || forced) {
            m_linesDirty = false;
            rebuildLines();
            forced = true;
        }
        if (m_selectionDirty || forced) {
            m_selectionDirty = false;
            rebuildSelection();
            forced = true;
        }
        if (m_indicatorDirty || forced) {
            // While the read-out lasts every paint redraws it.
            if (!m_indicatorTimer->isActive())
                m_indicatorDirty = false;
            rebuildIndicator();
            forced = true;
        }
        changed = forced;
    }
    if (changed) {
        m_painted = true;
        m_composedStale = true;
    }
    QPainter painter(this);
    const QImage &picture = m_picture.image();
    if (!picture.isNull()) {
        painter.drawImage(QRect(0, 0, width(), height()), picture);
        // The top layers in the font the picture's texts use, not the widget's.
        QFont font;
        font.resolve(QFont::AllPropertiesResolved);
        painter.setFont(font);
        paintOverlay(painter);
    }
    painter.end();
    QFrame::paintEvent(event);
}
