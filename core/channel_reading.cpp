#include "channel_reading.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace quorvel {
namespace {

// Blanks allowed around a number: space, tab, no-break space, ideographic space.
constexpr std::string_view kBlanks[] = {" ", "\t", "\xC2\xA0", "\xE3\x80\x80"};

std::string_view TrimBlanks(std::string_view text)
{
    bool trimmed = true;
    while (trimmed) {
        trimmed = false;
        for (std::string_view blank : kBlanks) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
            }
        }
    }
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number in the form sign, significant digits, power of ten:
// value = digits * 10^exponent, digits without leading or trailing zeros.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

// Far beyond any exponent a double can use, and far from int64 overflow.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

// Applies the numeric grammar to a text with its blanks already removed.
std::optional<DecimalNumber> ParseNumber(std::string_view s, std::string_view separator)
{
    DecimalNumber number;
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        number.negative = s[pos] == '-';
        ++pos;
    }

    bool sawDigit = false;
    bool sawSeparator = false;
    std::int64_t fractionDigits = 0;
    while (pos < s.size()) {
        if (IsDigit(s[pos])) {
            sawDigit = true;
            if (!number.digits.empty() || s[pos] != '0')
                number.digits.push_back(s[pos]);
            if (sawSeparator)
                ++fractionDigits;
            ++pos;
        } else if (!sawSeparator && s.substr(pos).starts_with(separator)) {
            sawSeparator = true;
            pos += separator.size();
        } else {
            break;
        }
    }
    if (!sawDigit)
        return std::nullopt;

    std::int64_t writtenExponent = 0;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        bool negativeExponent = false;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            negativeExponent = s[pos] == '-';
            ++pos;
        }
        if (pos == s.size() || !IsDigit(s[pos]))
            return std::nullopt;
        for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
            if (writtenExponent < kExponentCap)
                writtenExponent = writtenExponent * 10 + (s[pos] - '0');
        }
        if (negativeExponent)
            writtenExponent = -writtenExponent;
    }
    if (pos != s.size())
        return std::nullopt;

    std::size_t significant = number.digits.find_last_not_of('0');
    std::int64_t trailingZeros = 0;
    if (significant != std::string::npos) {
        trailingZeros = static_cast<std::int64_t>(number.digits.size() - significant - 1);
        number.digits.resize(significant + 1);
    } else {
        number.digits.clear();
    }
    number.exponent = writtenExponent - fractionDigits + trailingZeros;
    return number;
}

// A double is decided by its first 768 significant digits and whether any
// digit after them is non-zero, so longer texts are cut with a sticky 1.
constexpr std::size_t kDecisiveDigits = 800;

// Up to 15 digits times a power of ten up to 10^22 is one exact product or
// quotient of two doubles, so it rounds correctly without a decimal parser.
std::optional<double> ExactProduct(const DecimalNumber& number)
{
    constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::int64_t kLargestExactPower = 22;
    if (number.digits.size() > 15 || number.exponent > kLargestExactPower || number.exponent < -kLargestExactPower)
        return std::nullopt;

    std::uint64_t significand = 0;
    for (char digit : number.digits)
        significand = significand * 10 + static_cast<std::uint64_t>(digit - '0');
    const double magnitude = static_cast<double>(significand);
    const double power = kPowersOfTen[static_cast<std::size_t>(number.exponent < 0 ? -number.exponent : number.exponent)];
    const double value = number.exponent < 0 ? magnitude / power : magnitude * power;
    return number.negative ? -value : value;
}

double ToDouble(DecimalNumber number)
{
    const double zero = number.negative ? -0.0 : 0.0;
    const double infinity =
        number.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    if (number.digits.empty())
        return zero;

    const auto digitCount = static_cast<std::int64_t>(number.digits.size());
    const std::int64_t leadingPower = number.exponent + digitCount - 1;
    if (leadingPower > 309)
        return infinity;
    if (leadingPower < -325)
        return zero;

    if (const std::optional<double> exact = ExactProduct(number))
        return *exact;

    if (number.digits.size() > kDecisiveDigits + 1) {
        number.exponent += digitCount - static_cast<std::int64_t>(kDecisiveDigits + 1);
        number.digits.resize(kDecisiveDigits);
        number.digits.push_back('1');
    }

    std::string normalised = number.negative ? "-" : "";
    normalised += number.digits;
    normalised += 'e';
    normalised += std::to_string(number.exponent);

    double value = 0.0;
    const auto [end, error] = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value);
    if (error == std::errc::result_out_of_range)
        return leadingPower > 0 ? infinity : zero;
    return value;
}

}  // namespace

ChannelReading ReadChannel(std::string_view text, std::string_view decimalSeparator)
{
    if (decimalSeparator.empty())
        decimalSeparator = ".";

    ChannelReading reading;
    reading.text = std::string(text);
    const std::optional<DecimalNumber> number = ParseNumber(TrimBlanks(text), decimalSeparator);
    if (!number)
        return reading;

    reading.numeric = true;
    reading.value = ToDouble(*number);
    reading.acceptable = !(reading.value < 0.0) && !(reading.value > 255.0);
    return reading;
}

std::int16_t RoundHalfEven(double value) noexcept
{
    if (std::isnan(value))
        return 0;
    if (value >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (value <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();

    const double lower = std::floor(value);
    const double fraction = value - lower;  // exact for doubles of this size
    const auto lowerInteger = static_cast<std::int16_t>(lower);
    const bool roundUp = fraction > 0.5 || (fraction == 0.5 && lowerInteger % 2 != 0);
    return static_cast<std::int16_t>(roundUp ? lowerInteger + 1 : lowerInteger);
}

}  // namespace quorvel
