#include "paste_rule.h"

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

}  // namespace

PastePlan PlanPaste(std::string_view pasted)
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
        return plan;
    }
    // With its ends trimmed, the text's first line is its first non-empty one.
    plan.text = std::string(trimmed.substr(0, trimmed.find_first_of(kLineBreaks)));
    return plan;
}

}  // namespace quorvel::design
