#pragma once

#include "charts/polylinepixels.h"

#include <QImage>
#include <QRect>
#include <QVector>

#include <functional>

class QPainter;

// The chart's picture under the selection and the read-out: the background,
// the data line over it, and what is painted over the line (the limit
// lines). An update repaints only the pixels whose content changed: the
// rows a column of the line gained or lost, and the areas painted over the
// line where those lie or where that painting moved. Nothing is copied
// whole unless the background itself changed.
class ChartPicture
{
public:
    using Paint = std::function<void(QPainter &)>;

    const QImage &image() const { return m_image; }

    // The picture of `background` with `line` in `colour` (opaque) and what
    // `paintOver` paints, which stays inside `overAreas`. The background
    // differs from the last update's everywhere when `backgroundChanged`,
    // else inside `backgroundChanges`. Takes the line's pixels and hands
    // back those it drew before, for reuse; no line: the one drawn before.
    void update(const QImage &background, bool backgroundChanged, const QVector<QRect> &backgroundChanges,
                PolylinePixels *line, QRgb colour, const QVector<QRect> &overAreas, const Paint &paintOver);
    // The picture of `background` with whatever `paint` paints: a line the
    // pixels cannot follow. The next update starts from the background.
    void paint(const QImage &background, const Paint &paint);
    void clear();

private:
    void copyBackground(const QImage &background);
    void repaintArea(const QImage &background, const QRect &area, const Paint &paintOver);

    QImage m_image;
    PolylinePixels m_line;          // the line as drawn, when m_known
    QRgb m_colour = 0;
    QVector<QRect> m_overAreas;
    bool m_known = false;
};
