#include "colour_conversion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace quorvel {
namespace {

constexpr int kSignificantDigits = 15;

// Adds one to a string of decimal digits.
void IncrementDecimal(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The digits of |value| rounded to thousandths, by way of its 15-digit form;
// empty when that rounds to zero.
std::string ThousandthsDigits(double magnitude)
{
    // "d.dddddddddddddde+XX": one digit, the point, fourteen digits, the exponent.
    std::array<char, 32> scientific{};
    const char* const end = std::to_chars(scientific.data(), scientific.data() + scientific.size(), magnitude,
                                          std::chars_format::scientific, kSignificantDigits - 1)
                                .ptr;
    std::array<char, kSignificantDigits> significand{};
    significand[0] = scientific[0];
    std::copy_n(scientific.data() + 2, kSignificantDigits - 1, significand.data() + 1);
    const char* exponentText = scientific.data() + kSignificantDigits + 2;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, end, exponent);

    // Digit i of the significand stands for 10^(exponent - i); thousandths are at i = exponent + 3.
    const int kept = exponent + 4;
    std::string thousandths;
    if (kept > 0) {
        thousandths.assign(significand.data(), static_cast<std::size_t>(std::min(kept, kSignificantDigits)));
        if (kept > kSignificantDigits)
            thousandths.append(static_cast<std::size_t>(kept - kSignificantDigits), '0');
    }
    const bool roundUp = kept >= 0 && kept < kSignificantDigits && significand[static_cast<std::size_t>(kept)] >= '5';
    if (roundUp)
        IncrementDecimal(thousandths);
    return thousandths;
}

double CmyPercentage(double channelValue) { return (1.0 - channelValue / 255.0) * 100.0; }

}  // namespace

ColourWord PackColour(int red, int green, int blue) noexcept
{
    const auto byte = [](int component) { return static_cast<ColourWord>(std::clamp(component, 0, 255)); };
    return byte(red) + 256u * byte(green) + 65536u * byte(blue);
}

std::array<int, 3> Channels(ColourWord colour) noexcept
{
    return {static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
            static_cast<int>((colour >> 16) & 0xFFu)};
}

std::string FormatThousandths(double value, std::string_view decimalSeparator)
{
    if (!std::isfinite(value)) {
        std::array<char, 8> buffer{};
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
        return std::string(buffer.data(), written.ptr);
    }

    const std::string digits = ThousandthsDigits(std::fabs(value));
    const std::size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string_view significant = std::string_view(digits).substr(first);
    const std::string_view integerPart = significant.substr(0, std::max<std::size_t>(significant.size(), 3) - 3);
    const std::size_t fractionZeros = significant.size() < 3 ? 3 - significant.size() : 0;

    std::string text;
    text.reserve(1 + integerPart.size() + decimalSeparator.size() + 3);
    if (value < 0 && !significant.empty())
        text += '-';
    text += integerPart;
    text += decimalSeparator;
    text.append(fractionZeros, '0');
    text += significant.substr(integerPart.size());
    return text;
}

ConversionResult ConvertColour(std::string_view rText, std::string_view gText, std::string_view bText,
                               std::string_view decimalSeparator)
{
    const std::array<std::string_view, 3> texts{rText, gText, bText};
    std::array<double, 3> values{};
    ConversionResult result;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const ChannelReading reading = ReadChannel(texts[i], decimalSeparator);
        if (!reading.acceptable) {
            result.failedChannel = kChannels[i].channel;
            result.message = kChannels[i].message;
            return result;
        }
        values[i] = reading.value;
    }

    result.ok = true;
    result.colour = PackColour(RoundHalfEven(values[0]), RoundHalfEven(values[1]), RoundHalfEven(values[2]));
    result.kText.assign(1, '0');  // a fixed text, never formatted
    result.cText = FormatThousandths(CmyPercentage(values[0]), decimalSeparator);
    result.mText = FormatThousandths(CmyPercentage(values[1]), decimalSeparator);
    result.yText = FormatThousandths(CmyPercentage(values[2]), decimalSeparator);
    return result;
}

}  // namespace quorvel
