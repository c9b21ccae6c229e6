#include "channel_reading.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace quorvel {
namespace {

struct ReadingRow {
    const char* name;
    std::string text;
    std::string separator;
    bool numeric;
    bool acceptable;
    double value;  // checked when numeric
};

void PrintTo(const ReadingRow& row, std::ostream* os) { *os << '"' << row.text << "\" sep \"" << row.separator << '"'; }

class ReadChannelTest : public testing::TestWithParam<ReadingRow> {};

TEST_P(ReadChannelTest, GivesTheVerdictAndValue)
{
    const ReadingRow& row = GetParam();
    const ChannelReading reading = ReadChannel(row.text, row.separator);
    EXPECT_EQ(reading.text, row.text);
    EXPECT_EQ(reading.numeric, row.numeric);
    EXPECT_EQ(reading.acceptable, row.acceptable);
    if (row.numeric) {
        EXPECT_EQ(reading.value, row.value);
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

const ReadingRow kAcceptedForms[] = {
    {"Zero", "0", ".", true, true, 0.0},
    {"Top", "255", ".", true, true, 255.0},
    {"Fraction", "12.5", ".", true, true, 12.5},
    {"TrailingSeparator", "12.", ".", true, true, 12.0},
    {"LeadingSeparator", ".5", ".", true, true, 0.5},
    {"Exponent", "1e2", ".", true, true, 100.0},
    {"UpperExponent", "2.55E2", ".", true, true, 255.0},
    {"ExponentPlus", "1e+2", ".", true, true, 100.0},
    {"ExponentMinus", "2500e-1", ".", true, true, 250.0},
    {"SeparatorThenExponent", "1.e1", ".", true, true, 10.0},
    {"PlusSign", "+7", ".", true, true, 7.0},
    {"MinusZero", "-0", ".", true, true, 0.0},
    {"MinusZeroFraction", "-0.000", ".", true, true, 0.0},
    {"LeadingZeros", "007", ".", true, true, 7.0},
    {"NearestDouble", "0.1", ".", true, true, 0.1},
    {"ManyFractionDigits", "254.99999999999999999999", ".", true, true, 255.0},
};
INSTANTIATE_TEST_SUITE_P(AcceptedForms, ReadChannelTest, testing::ValuesIn(kAcceptedForms), RowName<ReadingRow>);

const ReadingRow kRejectedForms[] = {
    {"Empty", "", ".", false, false, 0},
    {"Letters", "abc", ".", false, false, 0},
    {"TrailingLetter", "12a", ".", false, false, 0},
    {"InnerBlank", "1 2", ".", false, false, 0},
    {"TwoSeparators", "1.2.3", ".", false, false, 0},
    {"SeparatorOnly", ".", ".", false, false, 0},
    {"SignOnly", "-", ".", false, false, 0},
    {"TwoSigns", "--1", ".", false, false, 0},
    {"SignAfterBlank", "- 1", ".", false, false, 0},
    {"ExponentWithoutDigits", "1e", ".", false, false, 0},
    {"ExponentSignOnly", "1e+", ".", false, false, 0},
    {"ExponentWithoutMantissa", "e5", ".", false, false, 0},
    {"SeparatorInExponent", "1e2.5", ".", false, false, 0},
    {"Infinity", "inf", ".", false, false, 0},
    {"NotANumber", "nan", ".", false, false, 0},
    {"HexFloat", "0x1p3", ".", false, false, 0},
    {"DigitGrouping", "1,000", ".", false, false, 0},
    {"FullWidthDigits", "\xEF\xBC\x91\xEF\xBC\x92", ".", false, false, 0},
    {"EmbeddedNul", std::string("12\0", 3), ".", false, false, 0},
    {"InvalidUtf8", "12\xFF", ".", false, false, 0},
    {"Newline", "12\n", ".", false, false, 0},
};
INSTANTIATE_TEST_SUITE_P(RejectedForms, ReadChannelTest, testing::ValuesIn(kRejectedForms), RowName<ReadingRow>);

const ReadingRow kBlanks[] = {
    {"Spaces", " 12 ", ".", true, true, 12.0},
    {"Tabs", "\t12\t", ".", true, true, 12.0},
    {"NoBreakSpace", "\xC2\xA0" "12\xC2\xA0", ".", true, true, 12.0},
    {"IdeographicSpace", "\xE3\x80\x80" "12\xE3\x80\x80", ".", true, true, 12.0},
    {"MixedBlanks", " \t\xE3\x80\x80 1.5 \xC2\xA0\t", ".", true, true, 1.5},
    {"BlanksOnly", " \t\xE3\x80\x80", ".", false, false, 0},
    {"BlankAfterSign", "+ 1", ".", false, false, 0},
    {"TruncatedIdeographicSpace", "\xE3\x80" "12", ".", false, false, 0},
};
INSTANTIATE_TEST_SUITE_P(Blanks, ReadChannelTest, testing::ValuesIn(kBlanks), RowName<ReadingRow>);

const ReadingRow kSeparators[] = {
    {"CommaFraction", "12,5", ",", true, true, 12.5},
    {"CommaRejectsFullStop", "12.5", ",", false, false, 0},
    {"CommaLeading", ",5", ",", true, true, 0.5},
    {"CommaTwice", "1,2,3", ",", false, false, 0},
    {"FullStopRejectsComma", "12,5", ".", false, false, 0},
    {"ArabicSeparator", "12\xD9\xAB" "5", "\xD9\xAB", true, true, 12.5},
    {"ArabicSeparatorHalf", "12\xD9" "5", "\xD9\xAB", false, false, 0},
    {"EmptySeparatorMeansFullStop", "12.5", "", true, true, 12.5},
};
INSTANTIATE_TEST_SUITE_P(Separators, ReadChannelTest, testing::ValuesIn(kSeparators), RowName<ReadingRow>);

const ReadingRow kRange[] = {
    {"SmallestFraction", "0.0001", ".", true, true, 0.0001},
    {"JustAboveTop", "255.0001", ".", true, false, 255.0001},
    {"NextWhole", "256", ".", true, false, 256.0},
    {"JustBelowZero", "-0.1", ".", true, false, -0.1},
    {"Negative", "-5", ".", true, false, -5.0},
    {"TooLarge", "1e400", ".", true, false, kInf},
    {"TooLargeNegative", "-1e400", ".", true, false, -kInf},
    {"TooSmall", "1e-400", ".", true, true, 0.0},
    {"TooSmallNegative", "-1e-400", ".", true, true, 0.0},
    {"Subnormal", "5e-324", ".", true, true, std::numeric_limits<double>::denorm_min()},
    {"LargestDouble", "1.7976931348623157e308", ".", true, false, std::numeric_limits<double>::max()},
    {"JustPastLargestDouble", "1.8e308", ".", true, false, kInf},
};
INSTANTIATE_TEST_SUITE_P(Range, ReadChannelTest, testing::ValuesIn(kRange), RowName<ReadingRow>);

// Either side of where the reader stops multiplying doubles: 15 digits and
// 10^22 are exact in a double, 16 and more digits or 10^23 are not, and each
// of the outer rows reads one unit in the last place off if multiplied.
// Expected values: the exact decimal rounded to nearest with Python's
// fractions.Fraction, written as hex floats.
const ReadingRow kFastPathEdges[] = {
    {"FifteenDigitsTimesTenTo22", "341727233806069e22", ".", true, false, 0x1.4912446660c78p+121},
    {"FifteenDigitsOverTenTo22", "844110200328629e-22", ".", true, true, 0x1.6a8ae5e5dafdfp-24},
    {"FifteenDigitsTimesTenTo23", "341727233806069e23", ".", true, false, 0x1.9b56d57ff8f96p+124},
    {"FifteenDigitsOverTenTo23", "844110200328629e-23", ".", true, true, 0x1.2208b7eb1597fp-27},
    {"SixteenDigits", "9.533868620643363", ".", true, true, 0x1.311573a540c39p+3},
    {"SeventeenDigits", "26.279436091707983", ".", true, true, 0x1.a47891fab3535p+4},
    {"NineteenDigits", "75.06357398861841998", ".", true, true, 0x1.2c41198a27f83p+6},
};
INSTANTIATE_TEST_SUITE_P(FastPathEdges, ReadChannelTest, testing::ValuesIn(kFastPathEdges), RowName<ReadingRow>);

// 1 + 2^-53 written out exactly: halfway between 1 and the next double.
const std::string kHalfwayAfterOne = "1.00000000000000011102230246251565404236316680908203125";

// odd * 2^-power written out exactly, as the digits of odd * 5^power and "e-power".
std::string OddOverPowerOfTwo(std::uint64_t odd, int power)
{
    std::string digits = std::to_string(odd);
    for (int i = 0; i < power; ++i) {
        int carry = 0;
        for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
            const int product = (*digit - '0') * 5 + carry;
            *digit = static_cast<char>('0' + product % 10);
            carry = product / 10;
        }
        if (carry != 0)
            digits.insert(digits.begin(), static_cast<char>('0' + carry));
    }
    return digits + "e-" + std::to_string(power);
}

const ReadingRow kLongTexts[] = {
    {"LeadingZeros", std::string(100'000, '0') + "12", ".", true, true, 12.0},
    {"TrailingFractionZeros", "12." + std::string(100'000, '0'), ".", true, true, 12.0},
    {"LongExponent", "1e" + std::string(5'000, '0') + "2", ".", true, true, 100.0},
    {"HugeExponent", "1e" + std::string(5'000, '9'), ".", true, false, kInf},
    {"HugeNegativeExponent", "1e-" + std::string(5'000, '9'), ".", true, true, 0.0},
    {"ZeroWithHugeExponent", "0e" + std::string(5'000, '9'), ".", true, true, 0.0},
    {"ManyDigitsScaledDown", "1" + std::string(5'000, '0') + "e-4998", ".", true, true, 100.0},
    {"ExactHalfwayRoundsToEven", kHalfwayAfterOne + std::string(2'000, '0'), ".", true, true, 1.0},
    {"DigitFarPastHalfwayRoundsUp", kHalfwayAfterOne + std::string(2'000, '0') + "1", ".", true, true,
     std::nextafter(1.0, 2.0)},
    // 124 digits, halfway between 0x1.4484bfeebc2a1p-100 and the even 0x1.4484bfeebc2a2p-100.
    {"HalfwayNearTenToMinus30RoundsToEven", OddOverPowerOfTwo(11417981541647683, 153), ".", true, true,
     0x1.4484bfeebc2a2p-100},
    // 768 digits, halfway between 0x1.0000000000001p-1022 and the even 0x1.0000000000002p-1022:
    // as long as a halfway point between two doubles gets.
    {"SmallestNormalHalfwayRoundsToEven", OddOverPowerOfTwo(9007199254740995, 1075), ".", true, true,
     0x1.0000000000002p-1022},
};
INSTANTIATE_TEST_SUITE_P(LongTexts, ReadChannelTest, testing::ValuesIn(kLongTexts), RowName<ReadingRow>);

TEST(ReadChannel, MinusZeroKeepsItsSignButIsAcceptable)
{
    const ChannelReading reading = ReadChannel("-0");
    EXPECT_TRUE(reading.acceptable);
    EXPECT_TRUE(std::signbit(reading.value));
}

struct RoundingRow {
    const char* name;
    double value;
    std::int16_t expected;
};

class RoundHalfEvenTest : public testing::TestWithParam<RoundingRow> {};

TEST_P(RoundHalfEvenTest, RoundsToNearestWithHalvesToEven)
{
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected) << GetParam().value;
}

const RoundingRow kRoundingRows[] = {
    {"Zero", 0.0, 0},
    {"HalfToZero", 0.5, 0},
    {"OneAndHalfToTwo", 1.5, 2},
    {"TwoAndHalfToTwo", 2.5, 2},
    {"TwelveAndHalf", 12.5, 12},
    {"ThirteenAndHalf", 13.5, 14},
    {"TopHalfDown", 254.5, 254},
    {"TopHalfUp", 253.5, 254},
    {"JustBelowHalf", 0.49999999999999994, 0},
    {"JustAboveHalf", 254.50000000000003, 255},
    {"Top", 255.0, 255},
    {"BelowWhole", 127.4, 127},
    {"AboveWhole", 127.6, 128},
    {"NegativeHalf", -0.5, 0},
    {"NegativeOneAndHalf", -1.5, -2},
    {"SaturatesHigh", 1e9, 32767},
    {"SaturatesLow", -1e9, -32768},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), 0},
};
INSTANTIATE_TEST_SUITE_P(Rows, RoundHalfEvenTest, testing::ValuesIn(kRoundingRows), RowName<RoundingRow>);

}  // namespace
}  // namespace quorvel
