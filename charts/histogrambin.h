#pragma once

#include "charts/binrange.h"

#include <QColor>
#include <QRectF>

// How many of the values lie in one range.
struct HistogramBin
{
    BinRange *range = nullptr;
    int counted = 0;

    int count() const { return counted; }
    // Counts the values that fall in the range.
    void countAdded(const double *values, int n);
    void countAdded(double value);
};

// The bar drawn for one bin.
struct HistogramBar
{
    QRectF rect;
    HistogramBin *bin = nullptr;
    QColor colour;
};
