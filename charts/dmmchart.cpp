#include "charts/dmmchart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

const int IndicatorMs = 3000;

} // namespace

DMMChart::DMMChart(QWidget *parent) : QFrame(parent)
{
    m_indicatorTimer = new QTimer(this);
    m_indicatorTimer->setSingleShot(true);
    connect(m_indicatorTimer, &QTimer::timeout, this, &DMMChart::slotTmrIndicatorTimeout);
    setAttribute(Qt::WA_MouseTracking);
    // The picture covers the widget: nothing needs clearing before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

DMMChart::~DMMChart() = default;

void DMMChart::repaintCanvas()
{
    m_canvasDirty = true;
    update();
}

void DMMChart::pointsAdded()
{
    // A zoomed or dragged chart keeps its picture until the zoom or drag ends.
    if (m_dragging || m_canvas.isZoomed())
        return;
    repaintCanvas();
}

void DMMChart::addPoint(ChartPoint *point, int line)
{
    if (point && line >= 0 && line < lines().size()) {
        m_canvas.addPoint(*point, line);
        pointsAdded();
    }
    delete point;
}

void DMMChart::addPoints(QList<ChartPoint *> points, int line)
{
    if (line >= 0 && line < lines().size()) {
        for (const ChartPoint *point : qAsConst(points)) {
            if (point)
                m_canvas.addPoint(*point, line);
        }
        pointsAdded();
    }
    qDeleteAll(points);
}

void DMMChart::addValues(const double *values, int count, int line)
{
    if (line < 0 || line >= lines().size() || count <= 0)
        return;
    m_canvas.addValues(values, count, line);
    pointsAdded();
}

void DMMChart::setTexts(const ChartSeries::Text &timeText, const ChartSeries::Text &tag, int line)
{
    m_canvas.setTexts(timeText, tag, line);
}

void DMMChart::clear()
{
    m_canvas.clear();
    repaintCanvas();
}

void DMMChart::setDecimals(int decimals)
{
    m_canvas.setDecimals(decimals);
    repaintCanvas();
}

void DMMChart::setLeftMargin(int margin)
{
    m_canvas.setLeftMargin(margin);
    repaintCanvas();
}

void DMMChart::setBottomMargin(int margin)
{
    m_canvas.setBottomMargin(margin);
    repaintCanvas();
}

void DMMChart::setXTitle(const QString &title)
{
    if (title == m_canvas.settings().xTitle)
        return;
    m_canvas.setXTitle(title);
    repaintCanvas();
}

void DMMChart::setYTitle(const QString &title)
{
    if (title == m_canvas.settings().yTitle)
        return;
    m_canvas.setYTitle(title);
    repaintCanvas();
}

void DMMChart::setLimitLines(double nominal, double minimum, double maximum)
{
    const ChartSettings &s = m_canvas.settings();
    if (s.limitLines[0] == nominal && s.limitLines[1] == minimum && s.limitLines[2] == maximum)
        return;
    m_canvas.setLimitLines(nominal, minimum, maximum);
    repaintCanvas();
}

QPixmap DMMChart::pixmap() const
{
    const QImage &picture = m_canvas.image();
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

QPoint DMMChart::toPlot(const QPoint &pos) const
{
    const QRect plot = plotRect();
    return QPoint(qBound(0, pos.x() - plot.left(), plot.width()), qBound(0, pos.y() - plot.top(), plot.height()));
}

void DMMChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_canvas.hasPoints()) {
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
        const QRect plot = plotRect();
        const int cx = qBound(0, event->pos().x() - plot.left(), plot.width());
        const int n = nearestPosition(lines().first()->positions, cx, plot.width());
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
        const ZoomSelection z = selectZoom(lines().first()->positions, m_selectionStart, m_selectionEnd,
                                           firstVisible(), lastVisible());
        if (z.action == ZoomSelection::Zoom)
            m_canvas.zoom(z.first, z.last);
        else if (z.action == ZoomSelection::Cancel)
            m_canvas.showAll();
        m_dragging = false;
        repaintCanvas();
    }
    QFrame::mouseReleaseEvent(event);
}

void DMMChart::resizeEvent(QResizeEvent *event)
{
    m_canvas.resize(size());
    m_canvasDirty = true;
    QFrame::resizeEvent(event);
}

void DMMChart::rebuildSelection()
{
    m_selectionShown = !m_canvas.image().isNull() && m_dragging;
    const QPoint o = plotRect().topLeft();
    m_selectionCorners[0] = QPoint(m_selectionStart.x(), m_selectionStart.y()) + o;
    m_selectionCorners[1] = QPoint(m_selectionEnd.x(), m_selectionStart.y()) + o;
    m_selectionCorners[2] = QPoint(m_selectionEnd.x(), m_selectionEnd.y()) + o;
    m_selectionCorners[3] = QPoint(m_selectionStart.x(), m_selectionEnd.y()) + o;
}

void DMMChart::rebuildIndicator()
{
    m_readoutShown = false;
    const QImage &picture = m_canvas.image();
    if (picture.isNull() || !axes().drawable || !m_canvas.hasPoints() || !m_indicatorVisible || m_cursorIndex == -1)
        return;
    const ChartPositions &positions = lines().first()->positions;
    if (m_cursorIndex >= positions.size())
        m_cursorIndex = positions.size() - 1;
    if (m_cursorIndex < 0)
        return;
    QStringList texts;
    for (const ChartLine *line : lines()) {
        const int i = firstVisible() + m_cursorIndex;
        if (i >= 0 && i < line->points.size())
            texts << chartReadoutText(line->points, i);
    }
    const QRect plot = plotRect();
    m_readout = layoutReadout(plot, positions.x(m_cursorIndex) + plot.left(), texts,
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
    bool forced = false;
    if (m_canvasDirty) {
        m_canvasDirty = false;
        if (m_canvas.size() != size())
            m_canvas.resize(size());
        m_canvas.render();
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
    if (forced) {
        m_painted = true;
        m_composedStale = true;
    }
    QPainter painter(this);
    const QImage &picture = m_canvas.image();
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
