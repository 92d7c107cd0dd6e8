#pragma once

#include <functional>

// How far the margins of the histogram and the time chart grow so that the
// texts around their plots fit in the font in use. Both widgets place their
// titles alike: the value title rotated left of the value labels, the other
// title under the tick labels. A margin never shrinks below the form's
// value, so wherever that value already fits, nothing moves.
namespace AxisFit {

// Pixels kept free between the value title and the widest value label, and
// between the tick labels and the title under them.
constexpr int TitleGap = 3;

// The least bottom margin, not below `form`, that holds tick labels one font
// height `fh` high starting `labelTop` pixels below the plot and, under them,
// the title one font height high, which the widgets place
// titleShift + fh + (margin - fh) / 2 pixels below the plot.
int bottomMargin(int form, int fh, int labelTop, int titleShift);

// The least left margin, not below `form`, at which the rotated title (one
// font height wide, its left edge at titleX(margin)) leaves the first pixel
// column blank and ends TitleGap pixels left of the widest value label,
// `labelWidth` wide, which ends `labelInset` pixels left of the plot.
int leftMargin(int form, int fh, int labelWidth, int labelInset,
               const std::function<int(int margin)> &titleX);

} // namespace AxisFit
