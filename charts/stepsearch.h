#pragma once

#include <QtGlobal>

#include <cmath>

// Step searches of the chart axes, computed without walking the candidates
// one by one so that a tiny scale cannot freeze a paint. Every function
// returns exactly what the plain candidate walk would return.
namespace StepSearch {

// The number of additions k (k >= 2) after which a running sum that starts
// at `increment` and grows by `increment` each time first reaches `target`.
// The sum is rounded after each addition exactly as the plain loop rounds it.
// Preconditions: increment > 0 and finite, increment < target, target finite.
// Saturates at the largest qint64 when the rounded sum can never reach it.
qint64 accumulatedCount(double increment, double target);

// The first candidate s of `list` (ascending) with s * scale >= minPixels;
// failing that, the first of unit, 2 unit, 3 unit, ... that qualifies.
// Preconditions: scale > 0 and finite, minPixels and unit > 0 and finite.
double firstReachingStep(const double *list, int listSize, double unit,
                         double scale, double minPixels);

// Truncation toward zero of a pixel coordinate that saturates instead of
// overflowing (NaN gives 0); the same as int(v) for ordinary coordinates.
// Inline: the chart's line asks for it many times per pixel column.
inline int truncateToPixel(double v)
{
    const double bound = 16777216.0;   // far outside any picture, inside Qt's fixed point
    if (std::isnan(v))
        return 0;
    if (v > bound)
        return int(bound);
    if (v < -bound)
        return -int(bound);
    return int(v);
}

// Saturating conversion of a non-negative count.
int clampToInt(double v);

} // namespace StepSearch
