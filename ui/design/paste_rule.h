#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quorvel::design {

// What a paste into one of the R, G and B inputs puts where.
struct PastePlan {
    enum class Kind {
        IntoField,     // `text` goes in at the caret, as any paste does
        FillChannels,  // `channels` replace the whole of R, G and B, in that order
    };
    Kind kind = Kind::IntoField;
    std::string text;
    std::array<std::string, 3> channels;
};

// Decides what a pasted text (UTF-8) does. A single-line field never holds a
// line break: the line breaks at the ends go, and of several lines only the
// first non-empty one is kept. One spreadsheet row of exactly three cells
// ("128\t64\t32", a line break after it allowed) fills R, G and B. Every other
// character, control characters included, is kept as it is.
PastePlan PlanPaste(std::string_view pasted);

}  // namespace quorvel::design
