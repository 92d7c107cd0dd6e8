#pragma once

#include "charts/binrange.h"

#include <QColor>
#include <QList>
#include <QRectF>

// The values of one range. `values` shares the histogram's list of all values.
struct HistogramBin
{
    QList<double> values;
    BinRange *range = nullptr;
    QList<double> counted;      // values in the range, in the order added

    int count() const { return counted.size(); }
    // Rebuilds `counted` from `values`.
    void recount();
    // Appends those of `added` that fall in the range (the values already
    // counted are not looked at again).
    void countAdded(const QList<double> &added);
    void countAdded(double value);
};

// The bar drawn for one bin.
struct HistogramBar
{
    QRectF rect;
    HistogramBin *bin = nullptr;
    QColor colour;
};
