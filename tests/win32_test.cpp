// The Win32 window's parts: sizes at a DPI, fonts, pastes through the window's
// own paste, Enter's repeats, and the window itself moving to another monitor's DPI
// (which needs a display: under Wine, an X server). Windows' own MulDiv is the
// reference for the DPI arithmetic.
#include "clipboard.h"
#include "colour_button.h"
#include "control_ids.h"
#include "dpi.h"
#include "fonts.h"
#include "form1.h"
#include "label_fit.h"
#include "wide_text.h"

#include "paste_rows.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

namespace quorvel::win32 {
namespace {

namespace design = quorvel::design;

// ---- Sizes at a DPI ----------------------------------------------------------

struct FontHeightRow {
    const char* name;
    int hundredthsOfPoint;
    int dpi;
    LONG height;
};

class FontHeightTest : public testing::TestWithParam<FontHeightRow> {};

TEST_P(FontHeightTest, IsTheNegativeGlyphHeight)
{
    const FontHeightRow& row = GetParam();
    EXPECT_EQ(FontHeight(row.hundredthsOfPoint, row.dpi), row.height);
}

INSTANTIATE_TEST_SUITE_P(Designed, FontHeightTest,
                         testing::Values(FontHeightRow{"FieldAt96", 1050, 96, -14},
                                         FontHeightRow{"ButtonAt96", 2175, 96, -29},
                                         FontHeightRow{"FieldAt120RoundsHalfUp", 1050, 120, -18},
                                         FontHeightRow{"ButtonAt144RoundsHalfUp", 2175, 144, -44},
                                         FontHeightRow{"FieldAt192", 1050, 192, -28},
                                         FontHeightRow{"ButtonAt192", 2175, 192, -58}),
                         RowName<FontHeightRow>);

TEST(FontHeight, RoundsAsMulDivDoesAtEveryDpi)
{
    for (int dpi = 72; dpi <= 480; ++dpi) {
        for (const design::FontDesign* font : {&design::kFieldFont, &design::kButtonFont}) {
            EXPECT_EQ(FontHeight(font->hundredthsOfPoint, dpi), -MulDiv(font->hundredthsOfPoint, dpi, 7200))
                << font->hundredthsOfPoint << " at " << dpi << " dpi";
        }
    }
}

// Every control at every DPI from 96 to 384, against Windows' own MulDiv.
TEST(Placement, EdgesRoundAsMulDivDoesAtEveryDpi)
{
    for (int dpi = 96; dpi <= 384; dpi += 8) {
        for (const design::ControlDesign& control : design::kControls) {
            const RECT rect = ToPixels(control.rect, dpi);
            const design::Twips& twips = control.rect;
            EXPECT_EQ(rect.left, MulDiv(twips.left, dpi, 1440)) << control.name << " at " << dpi;
            EXPECT_EQ(rect.top, MulDiv(twips.top, dpi, 1440)) << control.name << " at " << dpi;
            EXPECT_EQ(rect.right - rect.left, MulDiv(twips.width, dpi, 1440)) << control.name << " at " << dpi;
            EXPECT_EQ(rect.bottom - rect.top, MulDiv(twips.height, dpi, 1440)) << control.name << " at " << dpi;
        }
    }
}

// ---- Fonts -------------------------------------------------------------------

struct LabelFontRow {
    const char* name;
    int points;  // the system's message font
    int dpi;
};

class LabelFontTest : public testing::TestWithParam<LabelFontRow> {};

// However large the system's message font, every label's caption fits the part
// of the label left of its field; no caption is drawn larger than the system's size.
TEST_P(LabelFontTest, EveryCaptionFitsWhatShowsOfItsLabel)
{
    const LabelFontRow& row = GetParam();
    LOGFONTW system = MessageFontForDpi(row.dpi);
    system.lfHeight = -MulDiv(row.points, row.dpi, 72);
    const LOGFONTW fitted = FitLabelFont(system, row.dpi);
    EXPECT_LE(std::abs(fitted.lfHeight), std::abs(system.lfHeight));
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&fitted);
    const HGDIOBJ previous = SelectObject(dc, font);
    for (const design::ControlDesign& label : design::kControls) {
        if (label.names.empty())
            continue;
        EXPECT_LE(CaptionWidth(dc, label.caption), design::ToPixels(design::VisibleLabelTwips(label), row.dpi))
            << label.name;
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(SystemSizes, LabelFontTest,
                         testing::Values(LabelFontRow{"NinePoint", 9, 96}, LabelFontRow{"ElevenPoint", 11, 96},
                                         LabelFontRow{"TextMadeBigger", 16, 96},
                                         LabelFontRow{"ElevenPointAt192", 11, 192}),
                         RowName<LabelFontRow>);

// ---- Pastes into an input ---------------------------------------------------------

using design::paste_rows::PasteRow;

// The rows that paste into an empty field: a clipboard's text ends at its
// first null, and a full field's lengths are the controller test's.
std::vector<PasteRow> IntoAnEmptyField()
{
    std::vector<PasteRow> rows;
    for (const PasteRow& row : design::paste_rows::kPasteRows) {
        if (!row.fieldLength && !row.selectionLength && row.pasted.find('\0') == std::string::npos)
            rows.push_back(row);
    }
    return rows;
}

class FieldPasteTest : public testing::TestWithParam<PasteRow> {};

// The paste rule's rows into an empty G=, through the window's own paste
// (Ctrl+V, Shift+Insert and the context menu all send WM_PASTE) from a UTF-16
// clipboard: what R=, G= and B= then hold.
TEST_P(FieldPasteTest, FollowsThePasteRule)
{
    const PasteRow& row = GetParam();
    Form1 form(GetModuleHandleW(nullptr));
    ASSERT_NE(form.Window(), nullptr);
    ASSERT_TRUE(PutOnClipboard(nullptr, ToWide(row.pasted)));
    SendMessageW(GetDlgItem(form.Window(), ControlId(design::paste_rows::kPastedInto)), WM_PASTE, 0, 0);

    std::array<std::string, 3> expected = row.channels;
    if (row.kind != design::PastePlan::Kind::FillChannels)
        expected = {"", row.kind == design::PastePlan::Kind::IntoField ? row.text : "", ""};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const HWND input = GetDlgItem(form.Window(), ControlId(*design::kInputs[i]));
        EXPECT_EQ(ToUtf8(WindowText(input)), expected[i]) << design::kInputs[i]->name;
    }
}

INSTANTIATE_TEST_SUITE_P(Rule, FieldPasteTest, testing::ValuesIn(IntoAnEmptyField()), RowName<PasteRow>);

// ---- Enter held down ---------------------------------------------------------------

struct KeyRow {
    const char* name;
    UINT message;
    WPARAM key;
    LPARAM flags;
    bool repeat;
};

class EnterRepeatTest : public testing::TestWithParam<KeyRow> {};

TEST_P(EnterRepeatTest, OnlyARepeatedEnterIsDropped)
{
    const KeyRow& row = GetParam();
    MSG message{};
    message.message = row.message;
    message.wParam = row.key;
    message.lParam = row.flags;
    EXPECT_EQ(IsEnterRepeat(message), row.repeat);
}

constexpr LPARAM kEnterScanCode = 0x1C0001;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kExtended = LPARAM{1} << 24;  // the keypad's Enter

INSTANTIATE_TEST_SUITE_P(
    Keys, EnterRepeatTest,
    testing::Values(KeyRow{"FirstPress", WM_KEYDOWN, VK_RETURN, kEnterScanCode, false},
                    KeyRow{"AutoRepeat", WM_KEYDOWN, VK_RETURN, kEnterScanCode | kWasDown, true},
                    KeyRow{"KeypadFirstPress", WM_KEYDOWN, VK_RETURN, kEnterScanCode | kExtended, false},
                    KeyRow{"KeypadAutoRepeat", WM_KEYDOWN, VK_RETURN, kEnterScanCode | kExtended | kWasDown, true},
                    KeyRow{"Release", WM_KEYUP, VK_RETURN, kEnterScanCode | kWasDown | (LPARAM{1} << 31), false},
                    KeyRow{"SpaceHeld", WM_KEYDOWN, VK_SPACE, 0x390001 | kWasDown, false}),
    RowName<KeyRow>);

// ---- UTF-16 at the edge -------------------------------------------------------------

struct TextRow {
    const char* name;
    std::string utf8;
    std::wstring utf16;
};

class WideTextTest : public testing::TestWithParam<TextRow> {};

TEST_P(WideTextTest, ConvertsBothWays)
{
    const TextRow& row = GetParam();
    EXPECT_EQ(ToWide(row.utf8), row.utf16);
    EXPECT_EQ(ToUtf8(row.utf16), row.utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, WideTextTest,
                         testing::Values(TextRow{"Empty", "", L""}, TextRow{"Digits", "12.5", L"12.5"},
                                         TextRow{"ErrorMessage", "请输入正确的R色值", L"请输入正确的R色值"},
                                         TextRow{"OutsideTheBasicPlane", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
                                         TextRow{"EmbeddedNull", std::string("1\0" "2", 3), std::wstring(L"1\0" L"2", 3)}),
                         RowName<TextRow>);

TEST(WideText, AnUnpairedSurrogateBecomesTheReplacementCharacter)
{
    EXPECT_EQ(ToUtf8(L"1\xD800" L"2"), "1\xEF\xBF\xBD" "2");
}

// ---- How other programs find the controls ----------------------------------------------

struct IdRow {
    const char* name;
    std::string_view control;
    int id;
};

class ControlIdTest : public testing::TestWithParam<IdRow> {};

TEST_P(ControlIdTest, FollowsTheDesignOrder)
{
    EXPECT_EQ(ControlId(GetParam().control), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(Scheme, ControlIdTest,
                         testing::Values(IdRow{"Label1", "Label1", 100}, IdRow{"Text1", "Text1", 103},
                                         IdRow{"Text3", "Text3", 105}, IdRow{"Command1", "Command1", 106},
                                         IdRow{"Label7", "Label7", 110}, IdRow{"Text7", "Text7", 114},
                                         IdRow{"Unknown", "Text8", -1}),
                         RowName<IdRow>);

TEST(ControlId, NeverClashesWithTheDialogManagersCommands)
{
    // IsDialogMessageW sends IDOK for Enter and IDCANCEL for Esc.
    for (const design::ControlDesign& control : design::kControls) {
        EXPECT_GT(ControlId(control.name), IDCANCEL) << control.name;
    }
}

// ---- The window on a monitor of another DPI ----------------------------------------

// Windows suggests where the window goes and how large it is at the new DPI;
// the window takes that rectangle, and lays its controls out for the DPI.
TEST(DpiChange, TakesTheSuggestedRectangle)
{
    Form1 form(GetModuleHandleW(nullptr));
    ASSERT_NE(form.Window(), nullptr);
    constexpr int kNewDpi = 144;
    const RECT frame = WindowRectForClient(
        {design::ToPixels(design::kClientArea.width, kNewDpi), design::ToPixels(design::kClientArea.height, kNewDpi)},
        static_cast<DWORD>(GetWindowLongPtrW(form.Window(), GWL_STYLE)),
        static_cast<DWORD>(GetWindowLongPtrW(form.Window(), GWL_EXSTYLE)), kNewDpi);
    RECT suggested{37, 41, 37 + frame.right - frame.left, 41 + frame.bottom - frame.top};
    SendMessageW(form.Window(), WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi), reinterpret_cast<LPARAM>(&suggested));

    RECT placed{};
    GetWindowRect(form.Window(), &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    EXPECT_EQ(placed.right, suggested.right);
    EXPECT_EQ(placed.bottom, suggested.bottom);
    RECT field{};
    GetWindowRect(GetDlgItem(form.Window(), ControlId(*design::kInputs[0])), &field);
    const RECT designed = ToPixels(design::kInputs[0]->rect, kNewDpi);
    EXPECT_EQ(field.right - field.left, designed.right - designed.left) << "R= at 144 dpi";
}

// ---- The Windows it runs on ---------------------------------------------------------
// A 32-bit program on 64-bit Windows (WoW64) is told of a 32-bit processor by
// GetSystemInfo and of the real one by GetNativeSystemInfo, and finds 32-bit
// DLLs in System32, where 64-bit Windows keeps its own: Sysnative shows those.
// Which Windows a run stands for is the test's setting, not the program's guess.

struct WindowsRow {
    const char* name;
    BOOL wow64;
    WORD processorSeen;
    WORD nativeProcessor;
    WORD system32Machine;
    WORD sysnativeMachine;  // 0: there is no Sysnative
};

constexpr std::array kWindows{
    WindowsRow{"32-bit", FALSE, PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_ARCHITECTURE_INTEL, IMAGE_FILE_MACHINE_I386, 0},
    WindowsRow{"64-bit", FALSE, PROCESSOR_ARCHITECTURE_AMD64, PROCESSOR_ARCHITECTURE_AMD64, IMAGE_FILE_MACHINE_AMD64, 0},
    WindowsRow{"wow64", TRUE, PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_ARCHITECTURE_AMD64, IMAGE_FILE_MACHINE_I386,
               IMAGE_FILE_MACHINE_AMD64},
};

// The machine field of a PE file's header; 0 where there is no such file.
WORD MachineOf(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    std::array<unsigned char, 4096> head{};
    DWORD read = 0;
    ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr);
    CloseHandle(file);
    const auto header = static_cast<DWORD>(head[0x3c] | head[0x3d] << 8);
    if (read < 0x40 || header + 6 > read)
        return 0;
    return static_cast<WORD>(head[header + 4] | head[header + 5] << 8);
}

std::wstring WindowsFolder()
{
    std::array<wchar_t, MAX_PATH> folder{};
    return {folder.data(), GetWindowsDirectoryW(folder.data(), MAX_PATH)};
}

TEST(Windows, IsTheOneTheRunStandsFor)
{
    const char* expected = std::getenv("QUORVEL_EXPECTED_WINDOWS");
    if (!expected)
        GTEST_SKIP() << "QUORVEL_EXPECTED_WINDOWS (32-bit, 64-bit or wow64) is not set";
    const auto row = std::ranges::find_if(kWindows, [&](const WindowsRow& r) { return std::string(r.name) == expected; });
    ASSERT_NE(row, kWindows.end()) << expected;

    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(wow64, row->wow64);
    SYSTEM_INFO seen{};
    SYSTEM_INFO native{};
    GetSystemInfo(&seen);
    GetNativeSystemInfo(&native);
    EXPECT_EQ(seen.wProcessorArchitecture, row->processorSeen);
    EXPECT_EQ(native.wProcessorArchitecture, row->nativeProcessor);
    EXPECT_EQ(MachineOf(WindowsFolder() + L"\\System32\\kernel32.dll"), row->system32Machine);
    EXPECT_EQ(MachineOf(WindowsFolder() + L"\\Sysnative\\kernel32.dll"), row->sysnativeMachine);
}

}  // namespace
}  // namespace quorvel::win32
