#pragma once

#include "form1_design.h"

#include <windows.h>
#include <commctrl.h>

namespace quorvel::win32 {

// The Windows control that plays each role of the design, and its styles.
struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

constexpr ControlClass ClassFor(design::Role role)
{
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    constexpr DWORD kField = kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    switch (role) {
    case design::Role::Caption:
        return {WC_STATICW, kChild | SS_LEFT | SS_NOPREFIX, 0};
    case design::Role::Input:
        return {WC_EDITW, kField, WS_EX_CLIENTEDGE};
    case design::Role::Output:
        return {WC_EDITW, kField | ES_READONLY, WS_EX_CLIENTEDGE};
    case design::Role::Convert:
        // BS_NOTIFY for BN_SETFOCUS, so the window knows where focus was.
        return {WC_BUTTONW, kChild | WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY, 0};
    }
    design::Unreachable("a role with no control class");
}

}  // namespace quorvel::win32
