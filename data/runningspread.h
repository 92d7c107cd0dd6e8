#pragma once

#include <cmath>

// Count, extremes, mean and spread of a stream of values, one value at a
// time in constant time. The mean and the sum of squared deviations follow
// Welford's updates, which keep their precision when the values are large
// compared with their spread. Feeding the same values in the same order
// always gives the same doubles.
struct RunningSpread
{
    int count = 0;
    double mean = 0;
    double squares = 0;     // sum of squared deviations from the mean
    double minimum = 0;
    double maximum = 0;

    void add(double v)
    {
        ++count;
        if (count == 1) {
            mean = minimum = maximum = v;
            squares = 0;
            return;
        }
        const double delta = v - mean;
        mean += delta / count;
        squares += delta * (v - mean);
        if (v <= minimum)
            minimum = v;
        if (v > maximum)
            maximum = v;
    }

    // Sample standard deviation (n - 1); needs two values.
    bool hasDeviation() const { return count >= 2; }
    double standardDeviation() const { return hasDeviation() ? std::sqrt(std::fmax(squares, 0.0) / (count - 1)) : 0.0; }
};
