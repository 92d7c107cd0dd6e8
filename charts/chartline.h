#pragma once

#include "charts/chartpoint.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPair>

class DMMChart;

// One polyline of the chart. Owns its points.
class ChartLine : public QObject
{
public:
    explicit ChartLine(DMMChart *chart, const QColor &colour);
    ~ChartLine() override;

    void deletePoints();

    QList<ChartPoint *> points;
    QList<QPair<int, int>> positions;   // (x, y) of the visible points; x from the plot's left
    QColor colour;
    double min = 0;
    double max = 0;
    double xScale = 0;
    double yScale = 0;
    DMMChart *chart = nullptr;
};
