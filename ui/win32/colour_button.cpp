#include "colour_button.h"

#include "form1_controller.h"
#include "form1_design.h"
#include "wide_text.h"

#include <vssym32.h>

#include <string>

namespace quorvel::win32 {
namespace {

// A dotted rectangle in one colour, one pixel on and one off, inside `rect`.
void DrawDottedRect(HDC dc, const RECT& rect, COLORREF colour)
{
    const LOGBRUSH brush{BS_SOLID, colour, 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
    const HGDIOBJ previousPen = SelectObject(dc, pen);
    const HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

}  // namespace

void ColourButton::Attach(HWND attached)
{
    button = attached;
    theme = OpenThemeData(button, L"BUTTON");
    // Swapped, like the fields' procedure, rather than hooked with SetWindowSubclass.
    SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    buttonProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
}

void ColourButton::SetBackColor(ColourWord colour)
{
    back = colour;
    InvalidateRect(button, nullptr, FALSE);
    UpdateWindow(button);
}

LRESULT CALLBACK ColourButton::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& button = *reinterpret_cast<ColourButton*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_MOUSEMOVE:
        if (!button.hot) {
            button.hot = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
            InvalidateRect(window, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        button.hot = false;
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_THEMECHANGED:
        CloseThemeData(button.theme);
        button.theme = OpenThemeData(window, L"BUTTON");
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        CloseThemeData(button.theme);
        button.theme = nullptr;
        button.button = nullptr;
        break;
    }
    return CallWindowProcW(button.buttonProc, window, message, wParam, lParam);
}

void ColourButton::DrawPlainFace(HDC dc, const RECT& rect, UINT state, COLORREF& caption) const
{
    const bool pressed = state & ODS_SELECTED;
    if (theme) {
        const int themeState = pressed ? PBS_PRESSED : hot ? PBS_HOT : (state & ODS_FOCUS) ? PBS_DEFAULTED : PBS_NORMAL;
        if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, themeState)) {
            RECT behind = rect;
            DrawThemeParentBackground(button, dc, &behind);
        }
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, themeState, &rect, nullptr);
        if (FAILED(GetThemeColor(theme, BP_PUSHBUTTON, themeState, TMT_TEXTCOLOR, &caption)))
            caption = GetSysColor(COLOR_BTNTEXT);
        return;
    }
    RECT face = rect;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    caption = GetSysColor(COLOR_BTNTEXT);
}

void ColourButton::Draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;

    COLORREF caption = 0;
    if (back) {
        // The border shows the press; the face inside it is exactly the colour,
        // whatever the focus or the mouse.
        RECT face = rect;
        DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
        HBRUSH brush = CreateSolidBrush(*back);
        FillRect(dc, &face, brush);
        DeleteObject(brush);
        caption = design::CaptionColourOn(*back);  // a ColourWord is laid out as a COLORREF
    } else {
        DrawPlainFace(dc, rect, item.itemState, caption);
    }

    // A themed face shows the press itself; the others move the caption.
    RECT text = rect;
    if (pressed && (back || !theme))
        OffsetRect(&text, 1, 1);
    const HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, caption);
    const std::wstring label = WindowText(item.hwndItem);
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = rect;
        InflateRect(&focus, -design::kFocusInset, -design::kFocusInset);
        // On a coloured face the dots take the caption's colour: the usual
        // inverted dots vanish on mid greys.
        if (back)
            DrawDottedRect(dc, focus, caption);
        else
            DrawFocusRect(dc, &focus);
    }
}

}  // namespace quorvel::win32
