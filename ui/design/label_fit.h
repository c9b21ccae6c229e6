#pragma once

// A label's caption is never cut: the part of a label that shows is what lies
// left of the field it names, and the caption is drawn at the largest size that
// fits there.

#include "form1_design.h"

namespace quorvel::design {

// The width that shows of a label that names a field, in twips: the field lies
// over the rest.
inline int VisibleLabelTwips(const ControlDesign& label) { return Control(label.names).rect.left - label.rect.left; }

// The largest size from `preferred` down to 1 at which `fits(size)` holds; 1 if none does.
template <typename Fits>
int LargestFittingSize(int preferred, Fits fits)
{
    for (int size = preferred; size > 1; --size) {
        if (fits(size))
            return size;
    }
    return 1;
}

}  // namespace quorvel::design
