#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::win32 {

// What a paste into one of the R, G and B inputs does, by the shared paste
// rule, with lengths counted in UTF-16 units as an EDIT control counts them.
struct FieldPaste {
    enum class Action {
        Nothing,       // nothing to paste
        Insert,        // `text` replaces the selection
        FillChannels,  // `channels` replace the whole of R, G and B
        Refuse,        // the field could not hold it whole: nothing changes
    };
    Action action = Action::Nothing;
    std::wstring text;
    std::array<std::wstring, 3> channels;
};

FieldPaste PlanFieldPaste(std::wstring_view pasted, std::size_t fieldLength, std::size_t selectionLength);

}  // namespace quorvel::win32
