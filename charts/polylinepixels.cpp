#include "charts/polylinepixels.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The stroker's directions and caps.
enum : int {
    TopToBottom = 1,
    BottomToTop = 2,
    LeftToRight = 4,
    RightToLeft = 8,
    VerticalMask = 3,
    HorizontalMask = 12,
};
enum : int { CapBegin = 1, CapEnd = 2 };

int swapCaps(int caps)
{
    return ((caps & CapBegin) << 1) | ((caps & CapEnd) >> 1);
}

// a / b in 16.16 fixed point, truncated as the stroker does.
int fixedDiv(int a, int b)
{
    if (std::abs(a) > 0x7fff)
        return int((qint64(a) * 65536) / b);
    return (a * 65536) / b;
}

} // namespace

void PolylinePixels::add(int x, int top, int bottom)
{
    // Pixels outside the picture are dropped, as the stroker's clip does.
    if (x < 0 || x >= m_width)
        return;
    top = std::max(top, 0);
    bottom = std::min(bottom, m_height - 1);
    if (top > bottom)
        return;
    const std::size_t c = std::size_t(x);
    int &t = m_top[c], &b = m_bottom[c];
    if (t > b) {
        t = top;
        b = bottom;
    } else if (top <= b + 1 && bottom >= t - 1) {
        t = std::min(t, top);
        b = std::max(b, bottom);
    } else {
        m_split[c] = 1;
        m_extra.push_back(Span{x, top, bottom});
    }
}

// One segment, as the aliased line stroker draws it, with its state carried
// from the segment before. Coordinates are whole pixels; the stroker works
// in 26.6 fixed point and steps along the longer axis in 16.16.
void PolylinePixels::stroke(int px1, int py1, int px2, int py2, int caps)
{
    int x1 = px1 * 64, y1 = py1 * 64, x2 = px2 * 64, y2 = py2 * 64;
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    QPoint last = m_lastPixel;
    bool hasLast = m_hasLast;

    if (dx < dy) {
        int dir = TopToBottom;
        bool swapped = false;
        if (y1 > y2) {
            swapped = true;
            std::swap(y1, y2);
            std::swap(x1, x2);
            caps = swapCaps(caps);
            dir = BottomToTop;
        }
        const int xinc = fixedDiv(x2 - x1, y2 - y1);
        int x = x1 * 1024;
        if ((m_lastDir ^ VerticalMask) == dir)
            caps |= swapped ? CapEnd : CapBegin;
        if (caps & CapBegin) {
            y1 -= 32;
            x -= xinc >> 1;
        }
        if (caps & CapEnd)
            y2 += 32;
        int y = (y1 + 32) >> 6;
        int ys = (y2 + 32) >> 6;
        const int round = xinc > 0 ? 32 : 0;
        if ((caps & CapBegin) && m_hasLast && m_lastPixel.y() == y + 1)
            ++y;
        if (y != ys) {
            x += ((y * 64) + round - y1) * xinc >> 6;
            QPoint first(x >> 16, y);
            last = QPoint((x + (ys - y - 1) * xinc) >> 16, ys - 1);
            hasLast = true;
            if (swapped)
                std::swap(first, last);
            const bool axisAligned = std::abs(xinc) < (1 << 14);
            if (m_hasLast) {
                const int ddx = std::abs(m_lastPixel.x() - first.x()), ddy = std::abs(m_lastPixel.y() - first.y());
                if (first == m_lastPixel) {
                    if (swapped) {
                        --ys;
                    } else {
                        ++y;
                        x += xinc;
                    }
                } else if (m_lastDir != dir
                           && ((axisAligned && m_lastAxisAligned && ddx != 0 && ddy != 0) || ddx > 1 || ddy > 1)) {
                    if (swapped) {
                        ++ys;
                    } else {
                        --y;
                        x -= xinc;
                    }
                } else if (m_lastDir == dir && ddx <= 1 && ddy > 1) {
                    x += xinc >> 1;
                    last.setX(swapped ? x >> 16 : (x + (ys - y - 1) * xinc) >> 16);
                }
            }
            m_lastDir = dir;
            m_lastAxisAligned = axisAligned;
            // At least one pixel, then on while below ys.
            const int end = std::max(ys, y + 1);
            if (xinc == 0) {
                add(x >> 16, y, end - 1);
            } else {
                // A steep join: the rows it keeps to one column, worked out
                // from the step instead of stepping.
                while (y < end) {
                    const int column = x >> 16;
                    const int rows = xinc > 0 ? ((column + 1) * 65536 - x + xinc - 1) / xinc
                                              : (x - column * 65536) / -xinc + 1;
                    const int n = std::min(rows, end - y);
                    add(column, y, y + n - 1);
                    y += n;
                    x += n * xinc;
                }
            }
        }
    } else {
        if (!dx)
            return;
        int dir = LeftToRight;
        bool swapped = false;
        if (x1 > x2) {
            swapped = true;
            std::swap(x1, x2);
            std::swap(y1, y2);
            caps = swapCaps(caps);
            dir = RightToLeft;
        }
        const int yinc = fixedDiv(y2 - y1, x2 - x1);
        int y = y1 * 1024;
        if ((m_lastDir ^ HorizontalMask) == dir)
            caps |= swapped ? CapEnd : CapBegin;
        if (caps & CapBegin) {
            x1 -= 32;
            y -= yinc >> 1;
        }
        if (caps & CapEnd)
            x2 += 32;
        int x = (x1 + 32) >> 6;
        int xs = (x2 + 32) >> 6;
        const int round = yinc > 0 ? 32 : 0;
        if ((caps & CapBegin) && m_hasLast && m_lastPixel.x() == x + 1)
            ++x;
        if (x != xs) {
            y += ((x * 64) + round - x1) * yinc >> 6;
            QPoint first(x, y >> 16);
            last = QPoint(xs - 1, (y + (xs - x - 1) * yinc) >> 16);
            hasLast = true;
            if (swapped)
                std::swap(first, last);
            const bool axisAligned = std::abs(yinc) < (1 << 14);
            if (m_hasLast) {
                const int ddx = std::abs(m_lastPixel.x() - first.x()), ddy = std::abs(m_lastPixel.y() - first.y());
                if (first == m_lastPixel) {
                    if (swapped) {
                        --xs;
                    } else {
                        ++x;
                        y += yinc;
                    }
                } else if (m_lastDir != dir
                           && ((axisAligned && m_lastAxisAligned && ddx != 0 && ddy != 0) || ddx > 1 || ddy > 1)) {
                    if (swapped) {
                        ++xs;
                    } else {
                        --x;
                        y -= yinc;
                    }
                } else if (m_lastDir == dir && ddx <= 1 && ddy > 1) {
                    y += yinc >> 1;
                    last.setY(swapped ? y >> 16 : (y + (xs - x - 1) * yinc) >> 16);
                }
            }
            m_lastDir = dir;
            m_lastAxisAligned = axisAligned;
            const int end = std::max(xs, x + 1);
            for (; x < end; ++x, y += yinc)
                add(x, y >> 16, y >> 16);
        }
    }
    m_lastPixel = last;
    m_hasLast = hasLast;
}

bool PolylinePixels::trace(const QPoint *v, int count, const QSize &size)
{
    reset(QSize());
    // Outside the picture the stroker clips in floating point, and a line
    // that ends where it starts is closed: neither is followed here.
    if (count < 2 || v[0] == v[count - 1] || size.isEmpty())
        return false;
    const unsigned w = unsigned(size.width()), h = unsigned(size.height());
    for (int i = 0; i < count; ++i) {
        if (unsigned(v[i].x()) >= w || unsigned(v[i].y()) >= h)
            return false;
    }
    reset(size);
    m_hasLast = false;
    m_lastDir = 0;
    m_lastAxisAligned = false;
    for (int i = 1; i < count; ++i)
        stroke(v[i - 1].x(), v[i - 1].y(), v[i].x(), v[i].y(), (i == 1 ? CapBegin : 0) | (i == count - 1 ? CapEnd : 0));

    // Columns the line left and came back to: all their spans, merged.
    if (!m_extra.empty()) {
        for (int x = 0; x < m_width; ++x) {
            if (m_split[std::size_t(x)])
                m_extra.push_back(Span{x, m_top[std::size_t(x)], m_bottom[std::size_t(x)]});
        }
        std::sort(m_extra.begin(), m_extra.end(), [](const Span &a, const Span &b) {
            return a.x != b.x ? a.x < b.x : a.top < b.top;
        });
        std::vector<Span> merged;
        for (const Span &s : m_extra) {
            if (!merged.empty() && merged.back().x == s.x && s.top <= merged.back().bottom + 1)
                merged.back().bottom = std::max(merged.back().bottom, s.bottom);
            else
                merged.push_back(s);
        }
        m_extra.clear();
        for (std::size_t i = 0; i < merged.size();) {
            // One column's spans; its top and bottom become their hull.
            std::size_t j = i + 1;
            while (j < merged.size() && merged[j].x == merged[i].x)
                ++j;
            const std::size_t c = std::size_t(merged[i].x);
            m_top[c] = merged[i].top;
            m_bottom[c] = merged[j - 1].bottom;
            m_split[c] = j - i > 1;
            if (j - i > 1)
                m_extra.insert(m_extra.end(), merged.begin() + std::ptrdiff_t(i), merged.begin() + std::ptrdiff_t(j));
            i = j;
        }
    }
    return true;
}

void PolylinePixels::reset(const QSize &size)
{
    m_width = std::max(size.width(), 0);
    m_height = std::max(size.height(), 0);
    m_top.assign(std::size_t(m_width), 0);
    m_bottom.assign(std::size_t(m_width), -1);
    m_split.assign(std::size_t(m_width), 0);
    m_extra.clear();
}

void PolylinePixels::fill(QImage *picture, QRgb colour, const QRect &clip) const
{
    const QRect area = clip & QRect(0, 0, std::min(m_width, picture->width()), std::min(m_height, picture->height()));
    if (area.isEmpty())
        return;
    uchar *bits = picture->bits();
    const qsizetype stride = picture->bytesPerLine();
    auto column = [&](int x, int top, int bottom) {
        top = std::max(top, area.top());
        bottom = std::min(bottom, area.bottom());
        if (top > bottom)
            return;
        uchar *p = bits + top * stride + x * 4;
        for (int y = top; y <= bottom; ++y, p += stride)
            *reinterpret_cast<QRgb *>(p) = colour;
    };
    for (int x = area.left(); x <= area.right(); ++x) {
        const std::size_t c = std::size_t(x);
        if (!m_split[c] && m_top[c] <= m_bottom[c])
            column(x, m_top[c], m_bottom[c]);
    }
    for (const Span &s : m_extra) {
        if (s.x >= area.left() && s.x <= area.right())
            column(s.x, s.top, s.bottom);
    }
}
