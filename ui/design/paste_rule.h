#pragma once

#include "colour_conversion.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::design {

// What a paste into one of the R, G and B inputs puts where.
struct PastePlan {
    enum class Kind {
        IntoField,     // `text` goes in at the caret, as any paste does; nothing when it is empty
        FillChannels,  // `channels` replace the whole of R, G and B, in that order
        Refuse,        // not something an input can hold whole: nothing changes
    };
    Kind kind = Kind::IntoField;
    std::string text;
    std::array<std::string, 3> channels;
};

// Decides what a pasted text (UTF-8) does to an input that holds fieldLength
// characters with selectionLength of them selected, both in UTF-16 units as
// both toolkits count a field's text. A single-line field never holds a line
// break: of the text's lines only the first non-empty one counts. That line,
// blanks at its ends aside, fills R, G and B with plain decimals when it is a
// colour as people copy one: #RRGGBB, #RGB, or CSS's rgb(R, G, B) or
// rgb(R G B) with whole numbers from 0 to 255. Otherwise a line with tabs
// fills R, G and B when it is a spreadsheet row of exactly three cells
// ("128\t64\t32"), and is refused whole when it is not. Any other line goes
// into the field as it is, control characters included. A paste that would
// leave an input longer than kInputLengthLimit is refused whole, never cut.
PastePlan PlanPaste(std::string_view pasted, std::size_t fieldLength = 0, std::size_t selectionLength = 0);

// A colour as the inputs show it: R, G and B in plain decimals.
std::array<std::string, 3> ChannelTexts(ColourWord colour);

// How many UTF-16 units the UTF-8 text takes: one a character, two for those
// past U+FFFF.
std::size_t Utf16Length(std::string_view utf8);

}  // namespace quorvel::design
