#pragma once

#include "charts/chartlayout.h"
#include "charts/minmaxindex.h"

#include <QPoint>
#include <QRect>
#include <QVector>

#include <vector>

// Whether appendThinnedVertices applies: the pixel row of a vertex must be a
// monotone function of its value, which a positive, finite scale gives.
bool thinsWithIndex(const ChartAxes &axes);

// What thinning a line found out about each pixel column: where the column's
// first two runs of readings on one row end, where its last two begin, and
// what lies in between. Facts about the values and the rows, so they stay
// true while the values (only ever appended to) and the value scale stay:
// the next rebuild checks them instead of searching again. With many
// readings a new one moves a column's range by a reading at most and seldom
// changes its runs.
struct ColumnMemo
{
    // Readings first..last on pixel row y.
    struct Run
    {
        int first = 0, last = -1, y = 0;
    };
    struct Column
    {
        int first = -1, last = -1;          // the column's readings; first < 0: nothing known
        Run one, two;                       // its first two runs,
        Run nextToEnd, end;                 // its last two,
        int thirdY = 0;                     // the row of the third run from the end
        bool thirdLong = false;             // and whether it holds more than one reading;
        int from = 0, to = -1;              // the readings in between,
        int top = 0, bottom = 0;            // their highest and lowest row,
        bool bottomFirst = false;           // and which of the two the line reaches first
    };
    const MinMaxIndex *values = nullptr;
    unsigned long long serial = 0;
    double zeroY = 0, yScale = 0;
    std::vector<Column> columns;            // by x from the plot's left
};

// Appends to `out` exactly the vertices that ColumnReducer keeps of the
// vertices of the readings first..last (as forEachChartVertex makes them),
// without visiting every reading. Each pixel column covers a contiguous range
// of readings, found by arithmetic; what the reducer keeps of a column (its
// vertices up to the end of its first move, its lowest and highest vertex,
// its vertices from the start of its second-to-last move) comes from the
// index, or from `memo` when it already knows. O(columns · log n).
// Requires thinsWithIndex(axes).
void appendThinnedVertices(const MinMaxIndex &values, int first, int last, const ChartAxes &axes,
                           const QRect &plot, QVector<QPoint> *out, ColumnMemo *memo = nullptr);
