#include "charts/binrange.h"

#include <cfloat>

QList<BinRange *> standardThicknessRanges()
{
    QList<BinRange *> ranges;
    ranges << new BinRange(-DBL_MAX, 0);
    for (int lower = 0; lower < 2000; lower += 250)
        ranges << new BinRange(lower, lower + 250);
    ranges << new BinRange(2000, DBL_MAX);
    return ranges;
}

QList<BinRange *> milThicknessRanges()
{
    QList<BinRange *> ranges = standardThicknessRanges();
    auto toMils = [](double um) { return um == -DBL_MAX || um == DBL_MAX ? um : um / 25.4; };
    for (BinRange *range : ranges) {
        range->lower = toMils(range->lower);
        range->upper = toMils(range->upper);
    }
    return ranges;
}
