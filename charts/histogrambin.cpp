#include "charts/histogrambin.h"

void HistogramBin::recount()
{
    counted.clear();
    if (!range || values.isEmpty())
        return;
    for (double x : qAsConst(values)) {
        if (range->contains(x))
            counted.append(x);
    }
}

void HistogramBin::countAdded(const QList<double> &added)
{
    if (!range)
        return;
    for (double x : added) {
        if (range->contains(x))
            counted.append(x);
    }
}

void HistogramBin::countAdded(double value)
{
    if (range && range->contains(value))
        counted.append(value);
}
