#pragma once

#include "form1_design.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel::win32 {

// The designed font at the DPI, with the designed face's name.
LOGFONTW DesignedLogFont(const design::FontDesign& designed, int dpi);

// The designed font where its face is installed, else the first installed of
// its fallbacks, else whatever Windows maps the designed face to.
HFONT CreateDesignedFont(const design::FontDesign& designed, int dpi);

// How wide a caption is in the font selected into the device context, in pixels.
int CaptionWidth(HDC dc, std::string_view caption);

// The labels' font: the system's message font, made smaller only as far as
// every label's caption then fits the part of the label that shows at the DPI.
LOGFONTW FitLabelFont(LOGFONTW messageFont, int dpi);

// The face Windows actually chose for the font.
std::wstring FaceOf(HFONT font);

}  // namespace quorvel::win32
