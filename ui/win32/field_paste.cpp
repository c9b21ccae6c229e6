#include "field_paste.h"

#include "paste_rule.h"
#include "wide_text.h"

namespace quorvel::win32 {

FieldPaste PlanFieldPaste(std::wstring_view pasted, std::size_t fieldLength, std::size_t selectionLength)
{
    const design::PastePlan plan = design::PlanPaste(ToUtf8(pasted), fieldLength, selectionLength);
    FieldPaste paste;
    switch (plan.kind) {
    case design::PastePlan::Kind::Refuse:
        paste.action = FieldPaste::Action::Refuse;
        break;
    case design::PastePlan::Kind::FillChannels:
        paste.action = FieldPaste::Action::FillChannels;
        for (std::size_t i = 0; i < plan.channels.size(); ++i)
            paste.channels[i] = ToWide(plan.channels[i]);
        break;
    case design::PastePlan::Kind::IntoField:
        paste.text = ToWide(plan.text);
        paste.action = paste.text.empty() ? FieldPaste::Action::Nothing : FieldPaste::Action::Insert;
        break;
    }
    return paste;
}

}  // namespace quorvel::win32
