#pragma once

#include "colour_conversion.h"

#include <windows.h>
#include <uxtheme.h>

#include <optional>

namespace quorvel::win32 {

// Command1: an owner-drawn BUTTON whose face can be painted in one exact
// colour. Until a colour is set it is drawn as Windows draws any push button,
// themed where themes are on.
class ColourButton {
public:
    ColourButton() = default;
    ColourButton(const ColourButton&) = delete;
    ColourButton& operator=(const ColourButton&) = delete;

    // Takes over drawing and hover tracking of a BS_OWNERDRAW button.
    void Attach(HWND button);

    void SetFont(HFONT captionFont) { font = captionFont; }
    // Paints the face in the colour (red in the low byte) before returning.
    void SetBackColor(ColourWord colour);

    // WM_DRAWITEM, as the parent receives it.
    void Draw(const DRAWITEMSTRUCT& item) const;

private:
    static LRESULT CALLBACK Subclass(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    void DrawPlainFace(HDC dc, const RECT& rect, UINT state, COLORREF& caption) const;

    HWND button = nullptr;
    WNDPROC buttonProc = nullptr;  // the BUTTON class's own, under Subclass
    HTHEME theme = nullptr;
    HFONT font = nullptr;  // not owned
    bool hot = false;
    std::optional<COLORREF> back;  // none until the first colour is set
};

}  // namespace quorvel::win32
