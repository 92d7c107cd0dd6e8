#include "charts/chartline.h"

ChartLine::ChartLine(DMMChart *owner, const QColor &lineColour)
    : QObject(nullptr), colour(lineColour), chart(owner)
{
}

ChartLine::~ChartLine()
{
    deletePoints();
}

void ChartLine::deletePoints()
{
    qDeleteAll(points);
    points.clear();
}
