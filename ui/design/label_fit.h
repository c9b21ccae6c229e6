#pragma once

// A label's caption is never cut: the part of a label that shows is what lies
// left of the field it names, and the caption is drawn at the largest size that
// fits there.

#include "form1_design.h"

#include <algorithm>

namespace quorvel::design {

// The width that shows of a label that names a field, in twips: the field lies
// over the rest.
inline int VisibleLabelTwips(const ControlDesign& label) { return Control(label.names).rect.left - label.rect.left; }

// The largest of the labels' captions' widths over what shows of each label
// at that dpi, as width(caption) measures them in pixels: 1 or less when every
// caption fits.
template <typename Width>
double CaptionOverflow(int dpi, Width width)
{
    double widest = 0;
    for (const ControlDesign& label : kControls) {
        if (!label.names.empty())
            widest = std::max(widest, width(label.caption) / double(ToPixels(VisibleLabelTwips(label), dpi)));
    }
    return widest;
}

// The largest size from `preferred` down to 1 at which every caption fits
// what shows of its label; 1 if none does. overflow(size) is CaptionOverflow
// at that size.
// Each size measured costs a font of its own, so the search starts where the
// overflow at `preferred` says the captions would just fit, were widths in
// proportion to sizes; hinting only ever makes small sizes wider.
template <typename Overflow>
int LargestFittingSize(int preferred, Overflow overflow)
{
    const double atPreferred = overflow(preferred);
    if (atPreferred <= 1.0)
        return preferred;
    for (int size = std::min(preferred - 1, static_cast<int>(preferred / atPreferred)); size > 1; --size) {
        if (overflow(size) <= 1.0)
            return size;
    }
    return 1;
}

}  // namespace quorvel::design
