#include "charts/chartpicture.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

void ChartPicture::clear()
{
    m_image = QImage();
    m_known = false;
}

void ChartPicture::copyBackground(const QImage &background)
{
    if (m_image.size() == background.size() && m_image.format() == background.format() && !m_image.isNull())
        std::memcpy(m_image.bits(), background.constBits(), std::size_t(background.sizeInBytes()));
    else
        m_image = background.copy();
}

void ChartPicture::paint(const QImage &background, const Paint &paint)
{
    copyBackground(background);
    m_known = false;
    if (m_image.isNull())
        return;
    QPainter painter(&m_image);
    paint(painter);
}

// Column x's rows top..bottom, from the background (`from`) or in the
// line's colour; both pictures have `stride` bytes per row.
static void restoreRows(uchar *to, const uchar *from, qsizetype stride, int x, int top, int bottom)
{
    if (top > bottom)
        return;
    from += top * stride + x * 4;
    to += top * stride + x * 4;
    for (int y = top; y <= bottom; ++y, from += stride, to += stride)
        *reinterpret_cast<QRgb *>(to) = *reinterpret_cast<const QRgb *>(from);
}

static void fillRows(uchar *to, QRgb colour, qsizetype stride, int x, int top, int bottom)
{
    if (top > bottom)
        return;
    to += top * stride + x * 4;
    for (int y = top; y <= bottom; ++y, to += stride)
        *reinterpret_cast<QRgb *>(to) = colour;
}

void ChartPicture::repaintArea(const QImage &background, const QRect &area, const Paint &paintOver)
{
    const QRect r = area & m_image.rect();
    if (r.isEmpty())
        return;
    const qsizetype stride = m_image.bytesPerLine();
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(m_image.bits() + y * stride + r.left() * 4, background.constBits() + y * stride + r.left() * 4,
                    std::size_t(r.width()) * 4);
    m_line.fill(&m_image, m_colour, r);
    QPainter painter(&m_image);
    painter.setClipRect(r);
    paintOver(painter);
}

void ChartPicture::update(const QImage &background, bool backgroundChanged, const QVector<QRect> &backgroundChanges,
                          PolylinePixels *line, QRgb colour, const QVector<QRect> &overAreas, const Paint &paintOver)
{
    const bool same = !line;
    const bool whole = backgroundChanged || !m_known || m_colour != colour || m_image.isNull()
                       || m_image.size() != background.size() || m_image.format() != background.format()
                       || (!same && line->size() != background.size()) || m_line.size() != background.size();
    if (!same)
        std::swap(m_line, *line);
    const PolylinePixels &now = m_line, &before = same ? m_line : *line;
    m_colour = colour;
    if (background.isNull()) {
        clear();
        return;
    }
    if (whole) {
        copyBackground(background);
        now.fill(&m_image, colour, m_image.rect());
        QPainter painter(&m_image);
        paintOver(painter);
        m_overAreas = overAreas;
        m_known = true;
        return;
    }

    // The areas painted over the line are painted again where they moved,
    // and where the line changed under them.
    QVector<QRect> repaint = backgroundChanges;
    if (overAreas != m_overAreas)
        repaint << m_overAreas << overAreas;
    QVector<char> touched(overAreas.size(), 0);
    uchar *to = m_image.bits();
    const uchar *from = background.constBits();
    const qsizetype stride = m_image.bytesPerLine();
    for (int x = 0, width = m_image.width(); x < width; ++x) {
        const int t0 = before.top(x), b0 = before.bottom(x), t1 = now.top(x), b1 = now.bottom(x);
        const bool split = before.split(x) || now.split(x);
        if (!split && t0 == t1 && b0 == b1)
            continue;
        if (!split && t0 <= b0 && t1 <= b1) {
            // One span before and after: the rows it lost and gained.
            restoreRows(to, from, stride, x, t0, std::min(b0, t1 - 1));
            restoreRows(to, from, stride, x, std::max(t0, b1 + 1), b0);
            fillRows(to, colour, stride, x, t1, std::min(b1, t0 - 1));
            fillRows(to, colour, stride, x, std::max(t1, b0 + 1), b1);
        } else {
            restoreRows(to, from, stride, x, t0, b0);
            now.fill(&m_image, colour, QRect(x, 0, 1, m_image.height()));
        }
        const int top = std::min(t0 <= b0 ? t0 : t1, t1 <= b1 ? t1 : t0);
        const int bottom = std::max(t0 <= b0 ? b0 : b1, t1 <= b1 ? b1 : b0);
        const QRect band(x, top, 1, bottom - top + 1);
        for (int i = 0; i < overAreas.size(); ++i) {
            if (!touched[i] && overAreas[i].intersects(band)) {
                touched[i] = 1;
                repaint << overAreas[i];
            }
        }
    }
    for (const QRect &area : qAsConst(repaint))
        repaintArea(background, area, paintOver);
    m_overAreas = overAreas;
}
