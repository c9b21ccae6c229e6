#include "field_paste.h"

#include "form1_design.h"
#include "paste_rule.h"
#include "wide_text.h"

#include <algorithm>

namespace quorvel::win32 {
namespace {

bool Fits(std::size_t length) { return length <= static_cast<std::size_t>(design::kInputLengthLimit); }

}  // namespace

FieldPaste PlanFieldPaste(std::wstring_view pasted, std::size_t fieldLength, std::size_t selectionLength)
{
    const design::PastePlan plan = design::PlanPaste(ToUtf8(pasted));
    FieldPaste paste;
    if (plan.kind == design::PastePlan::Kind::FillChannels) {
        for (std::size_t i = 0; i < plan.channels.size(); ++i)
            paste.channels[i] = ToWide(plan.channels[i]);
        const bool allFit = std::all_of(paste.channels.begin(), paste.channels.end(),
                                        [](const std::wstring& cell) { return Fits(cell.size()); });
        paste.action = allFit ? FieldPaste::Action::FillChannels : FieldPaste::Action::Refuse;
        return paste;
    }
    paste.text = ToWide(plan.text);
    if (paste.text.empty())
        return paste;
    paste.action = Fits(fieldLength - selectionLength + paste.text.size()) ? FieldPaste::Action::Insert
                                                                          : FieldPaste::Action::Refuse;
    return paste;
}

}  // namespace quorvel::win32
