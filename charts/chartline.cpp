#include "charts/chartline.h"

ChartLine::ChartLine(const QColor &lineColour) : colour(lineColour)
{
}

void ChartLine::deletePoints()
{
    points.clear();
}
