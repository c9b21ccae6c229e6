#include "colour_conversion.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace quorvel {
namespace {

struct FormatRow {
    const char* name;
    double value;
    const char* separator;
    const char* expected;
};

class FormatThousandthsTest : public testing::TestWithParam<FormatRow> {};

TEST_P(FormatThousandthsTest, WritesThePattern)
{
    const FormatRow& row = GetParam();
    EXPECT_EQ(FormatThousandths(row.value, row.separator), row.expected) << row.value;
}

const FormatRow kFormatRows[] = {
    {"Zero", 0.0, ".", ".000"},
    {"NegativeZero", -0.0, ".", ".000"},
    {"Hundred", 100.0, ".", "100.000"},
    {"RoundsDown", 49.80392156862745, ".", "49.804"},
    {"CarriesIntoWhole", 19.999999999999996, ".", "20.000"},
    {"NoLeadingZero", 0.39215686274509665, ".", ".392"},
    {"HalfThousandthUp", 0.0005, ".", ".001"},
    {"JustBelowHalfThousandth", 0.00049999, ".", ".000"},
    {"HalfAwayFromZero", 95.0625, ".", "95.063"},
    {"FifteenDigitFormDecides", 0.0045, ".", ".005"},
    {"CarriesIntoHundred", 99.9995, ".", "100.000"},
    {"TrailingZerosKept", 0.5, ".", ".500"},
    {"TinyValue", 1e-300, ".", ".000"},
    {"LargeValue", 1e20, ".", "100000000000000000000.000"},
    {"NoGrouping", 1234.5678, ".", "1234.568"},
    {"Negative", -1.5, ".", "-1.500"},
    {"NegativeRoundingToZero", -0.0001, ".", ".000"},
    {"Comma", 95.09803921568627, ",", "95,098"},
    {"MultiByteSeparator", 0.25, "\xD9\xAB", "\xD9\xAB" "250"},
};
INSTANTIATE_TEST_SUITE_P(Rows, FormatThousandthsTest, testing::ValuesIn(kFormatRows), RowName<FormatRow>);

TEST(PackColour, PlacesRedGreenBlueInTheLowThreeBytes)
{
    EXPECT_EQ(PackColour(0, 0, 0), 0u);
    EXPECT_EQ(PackColour(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(PackColour(0, 255, 0), 0x00FF00u);
    EXPECT_EQ(PackColour(0, 0, 255), 0xFF0000u);
    EXPECT_EQ(PackColour(255, 255, 255), 16777215u);
    EXPECT_EQ(PackColour(128, 64, 32), 0x204080u);
    EXPECT_EQ(PackColour(300, -4, 256), 0xFF00FFu) << "components are clamped to a byte";
    EXPECT_EQ(Channels(0x204080u), (std::array<int, 3>{128, 64, 32})) << "and taken apart again";
}

struct SuccessRow {
    const char* name;
    const char* r;
    const char* g;
    const char* b;
    const char* separator;
    ColourWord colour;
    const char* c;
    const char* m;
    const char* y;
};

class ConvertColourSuccessTest : public testing::TestWithParam<SuccessRow> {};

TEST_P(ConvertColourSuccessTest, GivesColourAndTexts)
{
    const SuccessRow& row = GetParam();
    const ConversionResult result = ConvertColour(row.r, row.g, row.b, row.separator);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.colour, row.colour);
    EXPECT_EQ(result.kText, "0");
    EXPECT_EQ(result.cText, row.c);
    EXPECT_EQ(result.mText, row.m);
    EXPECT_EQ(result.yText, row.y);
}

const SuccessRow kSuccessRows[] = {
    {"Black", "0", "0", "0", ".", 0, "100.000", "100.000", "100.000"},
    {"White", "255", "255", "255", ".", 16777215, ".000", ".000", ".000"},
    {"PureRed", "255", "0", "0", ".", 255, ".000", "100.000", "100.000"},
    {"Brown", "128", "64", "32", ".", 0x204080, "49.804", "74.902", "87.451"},
    {"NearHalves", "204", "1", "254", ".", 0xFE01CC, "20.000", "99.608", ".392"},
    {"FractionRoundsEvenForColourOnly", "12.5", "0", "0", ".", 12, "95.098", "100.000", "100.000"},
    {"CommaLocale", "12,5", "0", "0", ",", 12, "95,098", "100,000", "100,000"},
    {"BlanksAndExponent", " 1e2 ", "\xE3\x80\x80" "2.55E2", "-0", ".", 0x00FF64, "60.784", ".000", "100.000"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ConvertColourSuccessTest, testing::ValuesIn(kSuccessRows), RowName<SuccessRow>);

struct FailureRow {
    const char* name;
    const char* r;
    const char* g;
    const char* b;
    Channel channel;
    const char* message;
};

class ConvertColourFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(ConvertColourFailureTest, NamesTheFirstBadChannel)
{
    const FailureRow& row = GetParam();
    const ConversionResult result = ConvertColour(row.r, row.g, row.b);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedChannel, row.channel);
    EXPECT_EQ(result.message, row.message);
    EXPECT_EQ(result.colour, 0u);
    EXPECT_TRUE(result.cText.empty());
}

const FailureRow kFailureRows[] = {
    {"AllEmpty", "", "", "", Channel::R, "请输入正确的R色值"},
    {"GreenOutOfRangeBeforeBadBlue", "10", "300", "abc", Channel::G, "请输入正确的G色值"},
    {"NegativeBlue", "100", "100", "-5", Channel::B, "请输入正确的B色值"},
    {"RedAboveTop", "255.0001", "0", "0", Channel::R, "请输入正确的R色值"},
    {"RedTooLarge", "1e400", "0", "0", Channel::R, "请输入正确的R色值"},
    {"GreenNotNumeric", "0", "1 2", "", Channel::G, "请输入正确的G色值"},
    {"BlueBlanksOnly", "0", "0", "   ", Channel::B, "请输入正确的B色值"},
    {"RedWrongSeparator", "12,5", "0", "0", Channel::R, "请输入正确的R色值"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ConvertColourFailureTest, testing::ValuesIn(kFailureRows), RowName<FailureRow>);

// C, M or Y for a whole channel value, by exact integer arithmetic: the
// thousandths of 100 * (255 - v) / 255, rounded (no whole value is a tie).
std::string ReferencePercentage(int channelValue)
{
    const int thousandths = (200'000 * (255 - channelValue) + 255) / 510;
    const int whole = thousandths / 1000;
    const std::string fraction = std::to_string(1000 + thousandths % 1000).substr(1);
    return (whole == 0 ? "" : std::to_string(whole)) + "." + fraction;
}

TEST(ConvertColourSweep, EveryWholeValueOfEachChannelMatchesTheIntegerReference)
{
    for (int channel = 0; channel < 3; ++channel) {
        for (int v = 0; v <= 255; ++v) {
            std::string texts[3] = {"0", "0", "0"};
            texts[channel] = std::to_string(v);
            const ConversionResult result = ConvertColour(texts[0], texts[1], texts[2]);
            ASSERT_TRUE(result.ok) << v;
            const std::string* outputs[3] = {&result.cText, &result.mText, &result.yText};
            EXPECT_EQ(*outputs[channel], ReferencePercentage(v)) << "channel " << channel << " value " << v;
            EXPECT_EQ(result.colour, static_cast<ColourWord>(v) << (8 * channel)) << v;
        }
    }
}

// Parses ".000"-pattern text into thousandths, or -1 if it does not match.
int ParseThousandths(const std::string& text)
{
    const std::size_t point = text.find('.');
    if (point == std::string::npos || text.size() - point != 4 || (point > 0 && text[0] == '0'))
        return -1;
    int thousandths = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == point)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return -1;
        thousandths = thousandths * 10 + (text[i] - '0');
    }
    return thousandths;
}

TEST(ConvertColourSweep, EveryThousandthFrom0To255KeepsThePatternAndRoundsTheByteHalfToEven)
{
    for (int k = 0; k <= 255'000; ++k) {
        const int whole = k / 1000;
        const int fraction = k % 1000;
        const std::string text = std::to_string(whole) + "." + std::to_string(1000 + fraction).substr(1);
        const ConversionResult result = ConvertColour(text, "0", "0");
        ASSERT_TRUE(result.ok) << text;

        const int c = ParseThousandths(result.cText);
        ASSERT_GE(c, 0) << text << " gave " << result.cText;
        ASSERT_LE(c, 100'000) << text;
        // 100 * (255 - v) / 255 in thousandths is 100000 * (255000 - k) / 255000; the
        // 15-digit rounding may move a tie by one thousandth at most.
        const int exactTimes255 = 100 * (255'000 - k);
        ASSERT_LE(std::abs(c * 255 - exactTimes255), 255) << text << " gave " << result.cText;

        const bool tieToOdd = fraction == 500 && whole % 2 == 1;
        const int expectedByte = fraction > 500 || tieToOdd ? whole + 1 : whole;
        ASSERT_EQ(result.colour, static_cast<ColourWord>(expectedByte)) << text;
    }
}

}  // namespace
}  // namespace quorvel
