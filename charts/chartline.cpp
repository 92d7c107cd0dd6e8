#include "charts/chartline.h"

ChartLine::ChartLine(DMMChart *owner, const QColor &lineColour)
    : QObject(nullptr), colour(lineColour), chart(owner)
{
}

void ChartLine::deletePoints()
{
    points.clear();
}
