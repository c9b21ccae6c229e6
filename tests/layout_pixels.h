#pragma once

// Form1's layout table in pixels at 96 dots per inch, as the table gives them:
// an outside reference for the design and for the windows that render it.

#include <string_view>

namespace quorvel::layout_pixels {

struct PixelRect {
    std::string_view name;
    int left;
    int top;
    int width;
    int height;
};

inline constexpr PixelRect kAt96[] = {
    {"Label1", 24, 40, 25, 17},   {"Label2", 24, 80, 25, 17},   {"Label3", 24, 120, 25, 17},
    {"Text1", 40, 32, 73, 26},    {"Text2", 40, 72, 73, 26},    {"Text3", 40, 112, 73, 26},
    {"Command1", 136, 32, 49, 121},
    {"Label4", 208, 32, 25, 17},  {"Label5", 208, 72, 25, 17},  {"Label6", 208, 112, 25, 17},
    {"Label7", 208, 152, 25, 17}, {"Text4", 224, 24, 73, 26},   {"Text5", 224, 64, 73, 26},
    {"Text6", 224, 104, 73, 26},  {"Text7", 224, 144, 73, 26},
};
inline constexpr int kClientWidth = 312;
inline constexpr int kClientHeight = 206;

}  // namespace quorvel::layout_pixels
