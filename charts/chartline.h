#pragma once

#include "charts/chartlayout.h"
#include "charts/chartseries.h"
#include "charts/columnvertices.h"

#include <QColor>

// One polyline of the chart with its own copy of the readings.
class ChartLine
{
public:
    explicit ChartLine(const QColor &colour);

    void deletePoints();

    ChartSeries points;
    ChartPositions positions;           // the visible points' x from the plot's left
    ColumnMemo columns;                 // what the last drawing found per pixel column
    QColor colour;
    double min = 0;
    double max = 0;
    double xScale = 0;
    double yScale = 0;
};
