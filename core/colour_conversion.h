#pragma once

#include "channel_reading.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// Red in bits 0-7, green in 8-15, blue in 16-23, top byte 0.
using ColourWord = std::uint32_t;

struct ConversionResult {
    bool ok = false;
    Channel failedChannel = Channel::R;  // when !ok
    std::string message;                 // when !ok
    ColourWord colour = 0;               // when ok
    std::string kText, cText, mText, yText;
};

// The letter and the message of each channel, in checking order.
struct ChannelInfo {
    Channel channel;
    std::string_view letter;
    std::string_view message;
};
inline constexpr ChannelInfo kChannels[] = {
#define CHANNEL(letter, message) {Channel::letter, #letter, message},
#include "channels.def"
#undef CHANNEL
};

// red + 256 * green + 65536 * blue. Each component is clamped to 0..255 first.
ColourWord PackColour(int red, int green, int blue) noexcept;

// The colour's red, green and blue, from 0 to 255: PackColour taken apart.
std::array<int, 3> Channels(ColourWord colour) noexcept;

// The pattern ".000": the value's 15-significant-digit decimal form rounded to
// three places, halves away from zero, with no digit before the separator when
// the integer part is 0 (0.5 -> ".500", 100 -> "100.000").
std::string FormatThousandths(double value, std::string_view decimalSeparator = ".");

// Checks R, then G, then B, and stops at the first channel that is not
// acceptable; otherwise gives the colour word and the K, C, M, Y texts.
ConversionResult ConvertColour(std::string_view rText, std::string_view gText, std::string_view bText,
                               std::string_view decimalSeparator = ".");

}  // namespace quorvel
