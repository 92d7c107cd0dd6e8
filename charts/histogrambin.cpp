#include "charts/histogrambin.h"

void HistogramBin::countAdded(const double *values, int n)
{
    if (!range)
        return;
    for (int i = 0; i < n; ++i) {
        if (range->contains(values[i]))
            ++counted;
    }
}

void HistogramBin::countAdded(double value)
{
    if (range && range->contains(value))
        ++counted;
}
