#pragma once

// Form1 as it was designed, with no toolkit in sight: every control's name,
// role, caption, rectangle and tab index, the client area, the two fonts and
// the window's texts, all read from form1.def. The Qt window and the Win32
// window both build themselves from this.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <span>
#include <string_view>

namespace quorvel::design {

// Marks a branch the program can never take; taken all the same, it says
// why and ends the program rather than go on with a made-up value.
[[noreturn]] inline void Unreachable(const char* why)
{
    std::fprintf(stderr, "quorvel: unreachable: %s\n", why);
    std::abort();
}

// Lengths are in twips, 1/1440 inch, as the window was laid out.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// What a control is for: a label, one of the R/G/B inputs, one of the K/C/M/Y
// outputs, or the convert button.
enum class Role { Caption, Input, Output, Convert };

struct ControlDesign {
    std::string_view name;
    Role role;
    std::string_view caption;  // UTF-8; empty for text fields
    Twips rect;                // from the client area's top-left corner
    int tabIndex;
    std::string_view names;    // a label's field, which it names for screen readers; empty for the others
};

namespace detail {
// The data file writes "no field" as `-`.
constexpr std::string_view FieldNamed(std::string_view name) { return name == "-" ? std::string_view{} : name; }
}  // namespace detail

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

// Form1.def is read twice: once for the declarations each call makes (the
// texts, the client area, the first control ID, the input limit, and
// kFieldFont and kButtonFont), once for the controls' table. Each reading
// defines the calls it takes and leaves the others empty.
#define FORM1_TEXT(name, text) inline constexpr std::string_view name = text;
#define FORM1_CLIENT_AREA(width, height) inline constexpr Twips kClientArea{0, 0, width, height};
#define FORM1_FIRST_CONTROL_ID(id) inline constexpr int kFirstControlId = id;
// The longest text an input takes, in UTF-16 units (see form1.def for why).
#define FORM1_INPUT_LIMIT(characters) inline constexpr int kInputLengthLimit = characters;
#define FORM1_CONTROL(...)
#define FORM1_FONT(use, face, hundredths, weight, characterSet, ...)             \
    inline constexpr std::string_view k##use##Fallbacks[] = {__VA_ARGS__};        \
    inline constexpr FontDesign k##use##Font{face, hundredths, weight, CharacterSet::characterSet, k##use##Fallbacks};
#include "form1.def"
#undef FORM1_TEXT
#undef FORM1_CLIENT_AREA
#undef FORM1_FIRST_CONTROL_ID
#undef FORM1_INPUT_LIMIT
#undef FORM1_CONTROL
#undef FORM1_FONT

// In the order the controls were placed, which is also their order of creation.
inline constexpr ControlDesign kControls[] = {
#define FORM1_TEXT(...)
#define FORM1_CLIENT_AREA(...)
#define FORM1_FIRST_CONTROL_ID(...)
#define FORM1_INPUT_LIMIT(...)
#define FORM1_CONTROL(name, role, caption, left, top, width, height, tabIndex, names) \
    {#name, Role::role, caption, {left, top, width, height}, tabIndex, detail::FieldNamed(#names)},
#define FORM1_FONT(...)
#include "form1.def"
#undef FORM1_TEXT
#undef FORM1_CLIENT_AREA
#undef FORM1_FIRST_CONTROL_ID
#undef FORM1_INPUT_LIMIT
#undef FORM1_CONTROL
#undef FORM1_FONT
};

// Where a control stands in kControls; each window keeps its controls in that order.
constexpr std::size_t IndexOf(const ControlDesign& control)
{
    return static_cast<std::size_t>(&control - std::begin(kControls));
}

// The controls of a role, in the order they were placed.
template <Role role>
constexpr auto ControlsOf()
{
    constexpr auto count = static_cast<std::size_t>(std::count_if(
        std::begin(kControls), std::end(kControls), [](const ControlDesign& control) { return control.role == role; }));
    std::array<const ControlDesign*, count> found{};
    auto next = found.begin();
    for (const ControlDesign& control : kControls) {
        if (control.role == role)
            *next++ = &control;
    }
    return found;
}

// The inputs in channel order (R, G, B), the outputs in K, C, M, Y order, and the button.
inline constexpr auto kInputs = ControlsOf<Role::Input>();
inline constexpr auto kOutputs = ControlsOf<Role::Output>();
inline constexpr const ControlDesign& kConvertButton = *ControlsOf<Role::Convert>().front();
static_assert(kInputs.size() == 3 && kOutputs.size() == 4 && ControlsOf<Role::Convert>().size() == 1);

// How far inside the button's edge its focus rectangle is drawn, in pixels.
inline constexpr int kFocusInset = 4;

inline constexpr int kTwipsPerInch = 1440;

// A length in twips as pixels at the given dots per inch, rounded to nearest.
constexpr int ToPixels(int twips, int dpi) { return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch; }

// Labels show text only; everything else can be tabbed to.
constexpr bool TakesFocus(const ControlDesign& control) { return control.role != Role::Caption; }

// The control of that name; the name must be one of kControls'.
const ControlDesign& Control(std::string_view name);

inline constexpr std::size_t kFocusableCount =
    static_cast<std::size_t>(std::count_if(std::begin(kControls), std::end(kControls),
                                           [](const ControlDesign& control) { return TakesFocus(control); }));

// The controls that take focus, in tab-index order.
std::array<const ControlDesign*, kFocusableCount> FocusOrder();

}  // namespace quorvel::design
