#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

// The pixels that QPainter::drawPolyline lights for integer vertices with a
// one-pixel, solid, square-capped pen, no antialiasing and no transform, on
// a raster image: worked out segment by segment as the raster engine's
// line stroker steps (including how it drops and inserts the pixels where
// segments meet), and kept as vertical spans per pixel column.
//
// A chart line runs up and down within each pixel column, so its pixels
// there form one span, which is then filled with one write per pixel,
// however often the line crosses it.
class PolylinePixels
{
public:
    // Rows top..bottom of column x.
    struct Span
    {
        int x, top, bottom;
    };

    // Works out the pixels of the polyline `vertices` on a picture of
    // `size`. False when it does not apply (a vertex outside the picture,
    // a closed or single-vertex line): paint those with QPainter.
    bool trace(const QPoint *vertices, int count, const QSize &size);
    // No pixels on a picture of `size`.
    void reset(const QSize &size);

    // Sets the pixels inside `clip` to `colour` (an RGB32 or premultiplied
    // ARGB32 picture of the traced size).
    void fill(QImage *picture, QRgb colour, const QRect &clip) const;

    // The rows column x spans (top > bottom: none), and whether it has gaps;
    // fill() knows the spans of such a column.
    int top(int x) const { return m_top[std::size_t(x)]; }
    int bottom(int x) const { return m_bottom[std::size_t(x)]; }
    bool split(int x) const { return m_split[std::size_t(x)] != 0; }
    QSize size() const { return QSize(m_width, m_height); }

private:
    void add(int x, int top, int bottom);
    void stroke(int x1, int y1, int x2, int y2, int caps);

    int m_width = 0, m_height = 0;
    std::vector<int> m_top, m_bottom;
    std::vector<char> m_split;
    std::vector<Span> m_extra;
    // The stroker's state between segments.
    QPoint m_lastPixel;
    bool m_hasLast = false;
    int m_lastDir = 0;
    bool m_lastAxisAligned = false;
};
