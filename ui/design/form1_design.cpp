#include "form1_design.h"

#include <algorithm>

namespace quorvel::design {

const ControlDesign& Control(std::string_view name)
{
    const auto* found = std::find_if(std::begin(kControls), std::end(kControls),
                                     [name](const ControlDesign& control) { return control.name == name; });
    if (found == std::end(kControls))
        Unreachable("a control name that the design does not have");
    return *found;
}

std::array<const ControlDesign*, kFocusableCount> FocusOrder()
{
    std::array<const ControlDesign*, kFocusableCount> order{};
    auto next = order.begin();
    for (const ControlDesign& control : kControls) {
        if (TakesFocus(control))
            *next++ = &control;
    }
    std::sort(order.begin(), order.end(),
              [](const ControlDesign* a, const ControlDesign* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

}  // namespace quorvel::design
