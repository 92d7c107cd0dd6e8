#pragma once

#include <QList>

// One value range of the histogram: left-open, right-closed.
struct BinRange
{
    double lower = 0;   // exclusive
    double upper = 0;   // inclusive

    BinRange() = default;
    BinRange(double lowerBound, double upperBound) : lower(lowerBound), upper(upperBound) {}

    // NaN never belongs; +infinity neither, since no upper bound exceeds DBL_MAX.
    bool contains(double x) const { return x > lower && x <= upper; }
};

// The ten thickness ranges of the main window, bottom row first: "-OL",
// (0,250] ... (1750,2000], "OL". The caller owns the returned ranges.
QList<BinRange *> standardThicknessRanges();

// The same ten ranges for readings in mils: every finite edge divided by
// 25.4 micrometres per mil. The caller owns the returned ranges.
QList<BinRange *> milThicknessRanges();
