#include "paste_rule.h"

#include "form1_design.h"

#include <algorithm>

namespace quorvel::design {
namespace {

constexpr std::string_view kLineBreaks = "\r\n";

std::string_view TrimLineBreaks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kLineBreaks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kLineBreaks) - first + 1);
}

bool Fits(std::size_t units) { return units <= static_cast<std::size_t>(kInputLengthLimit); }

}  // namespace

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
    const std::string_view trimmed = TrimLineBreaks(pasted);
    const bool oneLine = trimmed.find_first_of(kLineBreaks) == std::string_view::npos;

    PastePlan plan;
    if (oneLine && std::count(trimmed.begin(), trimmed.end(), '\t') == 2) {
        plan.kind = PastePlan::Kind::FillChannels;
        const std::size_t firstTab = trimmed.find('\t');
        const std::size_t secondTab = trimmed.find('\t', firstTab + 1);
        plan.channels = {std::string(trimmed.substr(0, firstTab)),
                         std::string(trimmed.substr(firstTab + 1, secondTab - firstTab - 1)),
                         std::string(trimmed.substr(secondTab + 1))};
        if (!std::all_of(plan.channels.begin(), plan.channels.end(),
                         [](const std::string& cell) { return Fits(Utf16Length(cell)); }))
            return {PastePlan::Kind::Refuse, {}, {}};
        return plan;
    }
    // With its ends trimmed, the text's first line is its first non-empty one.
    plan.text = std::string(trimmed.substr(0, trimmed.find_first_of(kLineBreaks)));
    if (!plan.text.empty() && !Fits(fieldLength - selectionLength + Utf16Length(plan.text)))
        return {PastePlan::Kind::Refuse, {}, {}};
    return plan;
}

}  // namespace quorvel::design
