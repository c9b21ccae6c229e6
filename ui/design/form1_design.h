#pragma once

// Form1 as it was designed, with no toolkit in sight: every control's name,
// kind, caption, rectangle and tab index, the client area and the two fonts.
// The Qt window and the Win32 window both build themselves from this.

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <string_view>

namespace quorvel::design {

// Lengths are in twips, 1/1440 inch, as the window was laid out.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

enum class ControlKind { CaptionLabel, TextField, PushButton };

// What a control is for: a label, one of the R/G/B inputs, one of the K/C/M/Y
// outputs, or the convert button.
enum class Role { Caption, Input, Output, Convert };

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    Role role;
    std::string_view caption;  // UTF-8; empty for text fields
    Twips rect;                // from the client area's top-left corner
    int tabIndex;
    std::string_view names = {};  // a label's field, which it names for screen readers
};

inline constexpr std::string_view kFormName = "Form1";
inline constexpr std::string_view kWindowCaption = "Quorvel";
inline constexpr std::string_view kErrorTitle = "错误";
inline constexpr Twips kClientArea{0, 0, 4680, 3090};

// In the order the controls were placed, which is also their order of creation.
inline constexpr ControlDesign kControls[] = {
    {"Label1", ControlKind::CaptionLabel, Role::Caption, "R=", {360, 600, 375, 255}, 0, "Text1"},
    {"Label2", ControlKind::CaptionLabel, Role::Caption, "G=", {360, 1200, 375, 255}, 1, "Text2"},
    {"Label3", ControlKind::CaptionLabel, Role::Caption, "B=", {360, 1800, 375, 255}, 2, "Text3"},
    {"Text1", ControlKind::TextField, Role::Input, "", {600, 480, 1095, 390}, 3},
    {"Text2", ControlKind::TextField, Role::Input, "", {600, 1080, 1095, 390}, 4},
    {"Text3", ControlKind::TextField, Role::Input, "", {600, 1680, 1095, 390}, 5},
    {"Command1", ControlKind::PushButton, Role::Convert, "转", {2040, 480, 735, 1815}, 6},
    {"Label4", ControlKind::CaptionLabel, Role::Caption, "K=", {3120, 480, 375, 255}, 7, "Text4"},
    {"Label5", ControlKind::CaptionLabel, Role::Caption, "C=", {3120, 1080, 375, 255}, 8, "Text5"},
    {"Label6", ControlKind::CaptionLabel, Role::Caption, "M=", {3120, 1680, 375, 255}, 9, "Text6"},
    {"Label7", ControlKind::CaptionLabel, Role::Caption, "Y=", {3120, 2280, 375, 255}, 10, "Text7"},
    {"Text4", ControlKind::TextField, Role::Output, "", {3360, 360, 1095, 390}, 11},
    {"Text5", ControlKind::TextField, Role::Output, "", {3360, 960, 1095, 390}, 12},
    {"Text6", ControlKind::TextField, Role::Output, "", {3360, 1560, 1095, 390}, 13},
    {"Text7", ControlKind::TextField, Role::Output, "", {3360, 2160, 1095, 390}, 14},
};

// The inputs in channel order (R, G, B) and the outputs in K, C, M, Y order.
inline constexpr std::array<std::string_view, 3> kInputs{"Text1", "Text2", "Text3"};
inline constexpr std::array<std::string_view, 4> kOutputs{"Text4", "Text5", "Text6", "Text7"};
inline constexpr std::string_view kConvertButton = "Command1";

// Windows character sets, by their numbers in a LOGFONT.
enum class CharacterSet : unsigned char { Western = 0, GB2312 = 134 };

struct FontDesign {
    std::string_view face;
    int hundredthsOfPoint;  // 1050 is 10.5 pt
    int weight;             // 400 regular, 700 bold
    CharacterSet characterSet;
    // Faces with the same metrics or the same hand, for systems without the
    // designed one, best first.
    std::span<const std::string_view> fallbacks;
};

inline constexpr std::string_view kSerifFallbacks[] = {"Liberation Serif", "Tinos", "Times"};
inline constexpr std::string_view kKaiTiFallbacks[] = {"KaiTi_GB2312", "KaiTi",    "楷体",
                                                      "AR PL UKai CN", "STKaiti", "Kaiti SC"};

// All seven text fields.
inline constexpr FontDesign kFieldFont{"Times New Roman", 1050, 400, CharacterSet::Western, kSerifFallbacks};
// Command1. The labels and the window use the platform's default font.
inline constexpr FontDesign kButtonFont{"楷体_GB2312", 2175, 700, CharacterSet::GB2312, kKaiTiFallbacks};

// The longest text an input takes: a paste that would make it longer is refused
// whole rather than cut into a different number. Windows' EDIT, under Wine at
// least, measures its whole line again on every change and every paint, in time
// that grows with the square of the line's length; at this length either window
// takes a paste, even a row of three such cells, well within a second
// (bench/win32_long_paste.py, quorvel_paste_bench).
inline constexpr int kInputLengthLimit = 8192;

inline constexpr int kTwipsPerInch = 1440;

// A length in twips as pixels at the given dots per inch, rounded to nearest.
constexpr int ToPixels(int twips, int dpi) { return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch; }

// Labels show text only; everything else can be tabbed to.
constexpr bool TakesFocus(ControlKind kind) { return kind != ControlKind::CaptionLabel; }

// The control of that name; the name must be one of kControls'.
const ControlDesign& Control(std::string_view name);

inline constexpr std::size_t kFocusableCount =
    static_cast<std::size_t>(std::count_if(std::begin(kControls), std::end(kControls),
                                           [](const ControlDesign& control) { return TakesFocus(control.kind); }));

// The controls that take focus, in tab-index order.
std::array<const ControlDesign*, kFocusableCount> FocusOrder();

}  // namespace quorvel::design
