#pragma once

#include "form1_design.h"

#include <windows.h>

// The window is laid out in twips and points and drawn at its monitor's DPI.
// The per-monitor functions came with Windows 10; they are looked up when the
// program starts, and on older Windows the system DPI stands in for them.
namespace quorvel::win32 {

inline constexpr int kDefaultDpi = 96;

// The primary monitor's DPI, as it was when the user signed in.
int SystemDpi();
int DpiForWindow(HWND window);

// The window rectangle, at the origin, that gives the client area that size.
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);

int SystemMetricForDpi(int index, int dpi);

// The system's message font, sized for the DPI.
LOGFONTW MessageFontForDpi(int dpi);

// A rectangle of the design in pixels.
constexpr RECT ToPixels(const design::Twips& twips, int dpi)
{
    const int left = design::ToPixels(twips.left, dpi);
    const int top = design::ToPixels(twips.top, dpi);
    return {left, top, left + design::ToPixels(twips.width, dpi), top + design::ToPixels(twips.height, dpi)};
}

// A LOGFONT height for a size in hundredths of a point: negative, so that it
// is the glyphs' height rather than the cell's, and rounded as MulDiv rounds.
constexpr LONG FontHeight(int hundredthsOfPoint, int dpi)
{
    constexpr int kHundredthsPerInch = 7200;
    return -((hundredthsOfPoint * dpi + kHundredthsPerInch / 2) / kHundredthsPerInch);
}

}  // namespace quorvel::win32
