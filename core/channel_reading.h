#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

enum class Channel { R, G, B };

// The verdict on one channel's text.
struct ChannelReading {
    std::string text;         // the text as typed
    bool numeric = false;     // the whole text, blanks aside, is a number
    double value = 0.0;       // the nearest double; meaningful only when numeric
    bool acceptable = false;  // numeric and 0 <= value <= 255
};

// Reads one channel's text (UTF-8). A number is an optional sign, digits with at
// most one decimal separator and at least one digit, and an optional exponent
// ("e" or "E", optional sign, digits). Blanks (space, tab, U+00A0, U+3000) may
// surround it. Anything else is not numeric. Runs in time linear in the text's
// length, reads no locale or global state, and never throws on bad input.
ChannelReading ReadChannel(std::string_view text, std::string_view decimalSeparator = ".");

// The nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the 16-bit range saturate at its ends; NaN gives 0.
std::int16_t RoundHalfEven(double value) noexcept;

}  // namespace quorvel
