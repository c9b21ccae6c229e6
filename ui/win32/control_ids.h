#pragma once

// How Form1 can be found from outside, by a test or an accessibility tool.
//
// The window's class is kForm1ClassName and its caption design::kWindowCaption.
// Every control's ID is design::kFirstControlId plus its index in design::kControls:
// Label1..Label3 are 100..102, Text1..Text3 103..105, Command1 106,
// Label4..Label7 107..110 and Text4..Text7 111..114. Labels are STATIC controls
// whose window text is their caption, the fields are EDIT controls whose text
// is their content, and Command1 is an owner-drawn BUTTON captioned 转. The
// error box is a standard message box owned by the window, titled
// design::kErrorTitle.

#include "form1_design.h"

#include <cstddef>
#include <string_view>

namespace quorvel::win32 {

inline constexpr wchar_t kForm1ClassName[] = L"Quorvel.Form1";
using design::kFirstControlId;

constexpr int ControlId(const design::ControlDesign& control)
{
    return kFirstControlId + static_cast<int>(design::IndexOf(control));
}

// The ID of the control of that name, or -1 when no control has the name.
constexpr int ControlId(std::string_view name)
{
    for (const design::ControlDesign& control : design::kControls) {
        if (control.name == name)
            return ControlId(control);
    }
    return -1;
}

}  // namespace quorvel::win32
