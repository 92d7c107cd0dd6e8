#include "charts/axisfit.h"

#include <algorithm>

namespace AxisFit {

namespace {
// A walk that got this far has a font or a title rule it cannot satisfy.
constexpr int MostGrowth = 100000;
} // namespace

int bottomMargin(int form, int fh, int labelTop, int titleShift)
{
    // Each pixel of margin moves the title down by about half a pixel, so
    // the walk ends within a few font heights.
    const int start = std::max(form, 0);
    for (int margin = start; margin < start + MostGrowth; ++margin) {
        const int titleTop = titleShift + fh + (margin - fh) / 2;
        if (titleTop >= labelTop + fh + TitleGap && titleTop + fh <= margin)
            return margin;
    }
    return start + MostGrowth;
}

int leftMargin(int form, int fh, int labelWidth, int labelInset,
               const std::function<int(int margin)> &titleX)
{
    const int start = std::max(form, 0);
    for (int margin = start; margin < start + MostGrowth; ++margin) {
        const int x = titleX(margin);
        if (x >= 1 && x + fh + TitleGap <= margin - labelInset - labelWidth)
            return margin;
    }
    return start + MostGrowth;
}

} // namespace AxisFit
