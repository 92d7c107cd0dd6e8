#include "charts/stepsearch.h"

#include <cmath>
#include <limits>

namespace StepSearch {

namespace {

// The power of two just above v (v > 0): the end of v's binade.
double binadeEnd(double v)
{
    int exponent = 0;
    std::frexp(v, &exponent);       // v = f * 2^exponent, 0.5 <= f < 1
    return std::ldexp(1.0, exponent);
}

} // namespace

qint64 accumulatedCount(double increment, double target)
{
    const qint64 saturated = std::numeric_limits<qint64>::max();
    double acc = increment;
    qint64 k = 1;
    // Inside one binade every rounded addition adds the same amount, except
    // possibly the first one (ties to even fix the parity after one step).
    // So after two additions that stay inside the binade the rest of the
    // binade is an arithmetic progression that can be jumped over; the
    // steps near the binade's end and near the target are taken one by one.
    int inBinadeSteps = 0;
    for (;;) {
        const double next = acc + increment;
        ++k;
        if (next >= target)
            return k;
        const double added = next - acc;        // exact: acc <= next <= 2 acc
        if (added <= 0)
            return saturated;                   // the sum no longer grows
        const double end = binadeEnd(acc);
        inBinadeSteps = next < end ? inBinadeSteps + 1 : 0;
        acc = next;
        if (inBinadeSteps < 2)
            continue;
        // Keep every jumped start point at least three increments below the
        // binade's end and every jumped sum two increments below the target.
        const double limit = std::fmin(end - 3 * increment - 3 * added,
                                       target - 2 * increment - 2 * added);
        if (!(limit > acc))
            continue;
        double jumps = std::floor((limit - acc) / added);
        while (jumps > 0 && acc + jumps * added > limit)
            jumps -= 1;
        if (jumps <= 0)
            continue;
        if (jumps > double(saturated - k))
            return saturated;
        acc += jumps * added;                   // exact: a multiple of the ulp
        k += qint64(jumps);
        inBinadeSteps = 0;
    }
}

double firstReachingStep(const double *list, int listSize, double unit,
                         double scale, double minPixels)
{
    for (int i = 0; i < listSize; ++i) {
        if (list[i] * scale >= minPixels)
            return list[i];
    }
    auto reaches = [&](double m) { return (unit * m) * scale >= minPixels; };
    double m = std::ceil(minPixels / (unit * scale));
    if (!(m >= 1))
        m = 1;
    // Beyond 2^52 consecutive multiples are no longer distinct doubles; the
    // estimate is as good as any candidate there.
    if (m > 4503599627370496.0) {
        for (int i = 0; i < 1000 && !reaches(m); ++i)
            m = std::nextafter(m, HUGE_VAL);
        return unit * m;
    }
    // The estimate is off by rounding only; the test is monotone in m.
    while (m > 1 && reaches(m - 1))
        m -= 1;
    while (!reaches(m))
        m += 1;
    return unit * m;
}

int clampToInt(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(v);
}

} // namespace StepSearch
