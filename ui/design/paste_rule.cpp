#include "paste_rule.h"

#include "form1_design.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace quorvel::design {
namespace {

constexpr std::string_view kLineBreaks = "\r\n";
constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text, std::string_view characters)
{
    const std::size_t first = text.find_first_not_of(characters);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(characters) - first + 1);
}

// The first line that is not empty; a single-line field never holds a line break.
std::string_view FirstLine(std::string_view pasted)
{
    const std::string_view trimmed = Trim(pasted, kLineBreaks);
    return trimmed.substr(0, trimmed.find_first_of(kLineBreaks));
}

bool Fits(std::size_t units) { return units <= static_cast<std::size_t>(kInputLengthLimit); }

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

// A number from 0 to max written wholly in digits of the given base, with no sign.
std::optional<int> WholeNumber(std::string_view digits, int base, int max)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > static_cast<unsigned>(max))
        return std::nullopt;
    return static_cast<int>(value);
}

// #RRGGBB, or #RGB with each digit doubled.
std::optional<ColourWord> HexColour(std::string_view text)
{
    if (text.empty() || text.front() != '#' || (text.size() != 7 && text.size() != 4))
        return std::nullopt;
    const std::size_t width = text.size() == 7 ? 2 : 1;
    std::array<int, 3> channels{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<int> value = WholeNumber(text.substr(1 + i * width, width), 16, 255);
        if (!value)
            return std::nullopt;
        channels[i] = width == 1 ? *value * 17 : *value;
    }
    return PackColour(channels[0], channels[1], channels[2]);
}

// rgb(R, G, B) or rgb(R G B), as CSS writes it, with whole numbers only.
std::optional<ColourWord> CssColour(std::string_view text)
{
    const std::string lower = Lower(text);
    constexpr std::string_view kOpening = "rgb(";
    if (!lower.starts_with(kOpening) || !lower.ends_with(')'))
        return std::nullopt;
    std::string_view inside = std::string_view(lower).substr(kOpening.size(), lower.size() - kOpening.size() - 1);
    const bool commas = inside.find(',') != std::string_view::npos;
    std::array<int, 3> channels{};
    for (std::size_t i = 0; i < 3; ++i) {
        inside = Trim(inside, kBlanks);
        const std::size_t end = commas ? inside.find(',') : inside.find_first_of(kBlanks);
        const bool last = i == 2;
        if ((end == std::string_view::npos) != last)
            return std::nullopt;
        const std::optional<int> value = WholeNumber(Trim(inside.substr(0, end), kBlanks), 10, 255);
        if (!value)
            return std::nullopt;
        channels[i] = *value;
        if (!last)
            inside.remove_prefix(end + (commas ? 1 : 0));
    }
    return PackColour(channels[0], channels[1], channels[2]);
}

PastePlan Fill(std::array<std::string, 3> channels)
{
    if (!std::all_of(channels.begin(), channels.end(), [](const std::string& cell) { return Fits(Utf16Length(cell)); }))
        return {PastePlan::Kind::Refuse, {}, {}};
    return {PastePlan::Kind::FillChannels, {}, std::move(channels)};
}

}  // namespace

std::array<std::string, 3> ChannelTexts(ColourWord colour)
{
    const std::array<int, 3> channels = Channels(colour);
    return {std::to_string(channels[0]), std::to_string(channels[1]), std::to_string(channels[2])};
}

std::size_t Utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (const char byte : utf8) {
        const auto value = static_cast<unsigned char>(byte);
        if ((value & 0xC0) != 0x80)  // not a continuation byte; four-byte ones start at 0xF0
            units += value >= 0xF0 ? 2 : 1;
    }
    return units;
}

PastePlan PlanPaste(std::string_view pasted, std::size_t fieldLength, std::size_t selectionLength)
{
    const std::string_view line = FirstLine(pasted);
    const std::string_view blanksTrimmed = Trim(line, kBlanks);
    std::optional<ColourWord> colour = HexColour(blanksTrimmed);
    if (!colour)
        colour = CssColour(blanksTrimmed);
    if (colour)
        return Fill(ChannelTexts(*colour));

    if (line.find('\t') != std::string_view::npos) {
        // A spreadsheet row of three cells fills R, G and B; any other line
        // with tabs would show as a number the field does not hold.
        if (std::count(line.begin(), line.end(), '\t') != 2)
            return {PastePlan::Kind::Refuse, {}, {}};
        const std::size_t firstTab = line.find('\t');
        const std::size_t secondTab = line.find('\t', firstTab + 1);
        return Fill({std::string(line.substr(0, firstTab)),
                     std::string(line.substr(firstTab + 1, secondTab - firstTab - 1)),
                     std::string(line.substr(secondTab + 1))});
    }

    if (!line.empty() && !Fits(fieldLength - selectionLength + Utf16Length(line)))
        return {PastePlan::Kind::Refuse, {}, {}};
    return {PastePlan::Kind::IntoField, std::string(line), {}};
}

}  // namespace quorvel::design
