#include "charts/histogram.h"

#include <QPainter>

Histogram::Histogram(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking);
}

Histogram::~Histogram() = default;

void Histogram::repaintCanvas()
{
    m_canvasDirty = true;
    update();
}

void Histogram::setRanges(const QList<BinRange *> &ranges)
{
    m_canvas.setRanges(ranges);
    repaintCanvas();
}

void Histogram::addValue(double value)
{
    m_canvas.addValue(value);
    repaintCanvas();
}

void Histogram::addValues(const double *values, int n)
{
    if (n <= 0)
        return;
    m_canvas.addValues(values, n);
    repaintCanvas();
}

void Histogram::addValues(const QList<double> &values)
{
    const QVector<double> flat = values.toVector();
    addValues(flat.constData(), flat.size());
}

void Histogram::clear()
{
    m_canvas.clear();
    repaintCanvas();
}

void Histogram::setDecimals(int decimals)
{
    m_canvas.setDecimals(decimals);
    repaintCanvas();
}

void Histogram::setMargins(const QMargins &margins)
{
    m_canvas.setMargins(margins);
    repaintCanvas();
}

void Histogram::setXTitle(const QString &title)
{
    if (title == m_canvas.xTitle())
        return;
    m_canvas.setXTitle(title);
    repaintCanvas();
}

void Histogram::setYTitle(const QString &title)
{
    if (title == m_canvas.yTitle())
        return;
    m_canvas.setYTitle(title);
    repaintCanvas();
}

QPixmap Histogram::pixmap() const
{
    if (m_pixmapStale) {
        m_pixmap = QPixmap::fromImage(m_canvas.image());
        m_pixmapStale = false;
    }
    return m_pixmap;
}

bool Histogram::savePixmap(const QString &fileName) const
{
    const QPixmap picture = pixmap();
    if (picture.isNull())
        return false;
    return picture.save(fileName);
}

void Histogram::resizeEvent(QResizeEvent *event)
{
    m_canvas.resize(size());
    m_canvasDirty = true;
    QWidget::resizeEvent(event);
}

void Histogram::paintEvent(QPaintEvent *)
{
    if (m_canvasDirty) {
        m_canvasDirty = false;
        if (m_canvas.size() != size())
            m_canvas.resize(size());
        m_canvas.render();
        m_pixmapStale = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_canvas.image());
}
