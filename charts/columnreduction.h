#pragma once

#include <QPoint>
#include <QVector>

// Thins a polyline whose vertices ascend in x so that each pixel column
// keeps at most ten vertices, for drawing with a one-pixel aliased pen.
//
// Inside one column the line only runs up and down, so the segments between
// the column's first and last moves cover exactly the pixels between the
// column's lowest and highest vertex. Kept in their original order are:
// - the column's vertices up to the end of its first move and from the
//   start of its second-to-last move (the line stroker decides the pixels
//   at the column's borders, and the line's end cap, from the segment
//   before each segment; both keep their neighbours),
// - the lowest and highest vertex in between.
// Runs of one repeated vertex shrink to two copies: a zero-length segment
// draws nothing but still counts as the line's first or last segment.
class ColumnReducer
{
public:
    explicit ColumnReducer(QVector<QPoint> *out) : m_out(out) {}
    ~ColumnReducer() { finish(); }

    void add(const QPoint &p);
    void finish();

private:
    void flush();

    QVector<QPoint> *m_out;
    QVector<QPoint> m_run;      // the current column's vertices
};

QVector<QPoint> reduceByColumn(const QVector<QPoint> &vertices);

// Drops the repeats of a vertex inside a polyline, for drawing with a
// one-pixel aliased pen: a zero-length segment draws nothing and leaves the
// line stroker as it was, except as the line's first or last segment, which
// carry its end caps. Those two stay.
void dropRepeatedVertices(QVector<QPoint> *vertices);
