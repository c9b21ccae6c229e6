#pragma once

#include "colour_button.h"
#include "colour_conversion.h"
#include "form1_controller.h"
#include "form1_design.h"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

struct IAccPropServices;

namespace quorvel::win32 {

// An auto-repeated Enter: the key was already down.
bool IsEnterRepeat(const MSG& message);

// The program's one window, as plain Win32: R, G and B inputs on the left, the
// convert button in the middle, the K, C, M and Y outputs on the right, all
// placed from the shared design at the window's DPI. Its messages become calls
// of the shared controller, which drives it back through Form1View.
// control_ids.h tells how to find it and its controls from outside.
class Form1 : private design::Form1View {
public:
    explicit Form1(HINSTANCE module);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    struct Fonts {
        HFONT field = nullptr;
        HFONT button = nullptr;
        HFONT label = nullptr;
    };

    // Null when the window could not be made; then Run says why.
    HWND Window() const { return window; }
    void Show(int showCommand);

    // Runs the message loop until the window is closed; returns the exit code.
    int Run();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleCommand(int notification, HWND control);

    void CreateControl(const design::ControlDesign& designed);
    void CreateControls();
    void NameFieldsForScreenReaders();
    void ForgetScreenReaderNames();
    HFONT FontFor(const design::ControlDesign& designed) const;
    void ApplyDpi(int newDpi);
    void LoadIcons();

    bool HandleDialogKey(MSG& message);
    void RememberFocus(HWND control);

    void Paste(HWND field);

    HWND Control(const design::ControlDesign& designed) const { return controls[design::IndexOf(designed)]; }
    const design::ControlDesign* DesignOf(HWND control) const;

    // Form1View
    std::string Text(const design::ControlDesign& field) const override;
    std::size_t SelectionLength(const design::ControlDesign& input) const override;
    void ReplaceSelection(const design::ControlDesign& input, std::string_view text) override;
    void ReplaceText(const design::ControlDesign& input, std::string_view text) override;
    void SetOutput(const design::ControlDesign& output, std::string_view text) override;
    void SetFace(ColourWord colour) override;
    void DescribeFace(std::string_view text) override;
    void SetClipboardText(std::string_view text) override;
    void ShowError(std::string_view title, std::string_view message) override;
    void Beep() override;
    std::string DecimalSeparator() const override;

    HINSTANCE instance;
    HWND window = nullptr;
    DWORD creationError = ERROR_SUCCESS;  // why there is no window, when there is none
    std::array<HWND, std::size(design::kControls)> controls{};  // in the design's order
    ColourButton command1;
    WNDPROC editProc = nullptr;  // the EDIT class's own, under FieldProc
    HWND lastFocus = nullptr;  // given back when the window is activated again
    int dpi = 96;
    Fonts fonts;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    IAccPropServices* accessibility = nullptr;
    HWND faceTip = nullptr;  // Command1's tooltip, made at the first good press
    design::Form1Controller controller{*this};
};

}  // namespace quorvel::win32
