#pragma once

#include "colour_button.h"
#include "colour_conversion.h"
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
// placed from the shared design at the window's DPI. control_ids.h tells how
// to find it and its controls from outside.
class Form1 {
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

    HWND Window() const { return window; }
    void Show(int showCommand);

    // Runs the message loop until the window is closed; returns the exit code.
    int Run();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HandleCommand(int id, int notification, HWND control);
    bool HandleDialogKey(MSG& message);

    void CreateControl(const design::ControlDesign& designed);
    void CreateControls();
    void NameFieldsForScreenReaders();
    HFONT FontFor(const design::ControlDesign& designed) const;
    void ApplyDpi(int newDpi);
    void LoadIcons();

    HWND Control(std::string_view name) const;
    bool IsInput(HWND control) const;

    // The convert action: reads R, G and B, then shows the colour and K, C, M
    // and Y, or a modal box naming the first bad channel.
    void Command1Click();
    void ShowConversion(const ConversionResult& result);
    void Paste(HWND field);
    void FillChannels(const std::array<std::wstring, 3>& cells);

    HINSTANCE instance;
    HWND window = nullptr;
    std::array<HWND, std::size(design::kControls)> controls{};
    ColourButton command1;
    WNDPROC editProc = nullptr;  // the EDIT class's own, under FieldProc
    HWND lastFocus = nullptr;  // given back when the window is activated again
    int dpi = 96;
    Fonts fonts;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    IAccPropServices* accessibility = nullptr;
};

}  // namespace quorvel::win32
