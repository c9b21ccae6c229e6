// The floors for Quorvel.exe's start-up, built with the same flags: a bare
// Win32 window with a client area of Form1's size and nothing in it, and, built
// with FORM1_CONTROLS, the same window holding Form1's fifteen controls under
// Quorvel.exe's manifest, with nothing else of Quorvel (no fonts, icons, COM or
// subclassing).
#include <windows.h>

#include "form1_design.h"

#ifdef FORM1_CONTROLS
#include "control_classes.h"
#include "dpi.h"
#include "wide_text.h"
constexpr wchar_t kTitle[] = L"Controls";
#else
constexpr wchar_t kTitle[] = L"Minimal";
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    namespace design = quorvel::design;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"Minimal";
    RegisterClassW(&windowClass);

    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, design::ToPixels(design::kClientArea.width, dpi), design::ToPixels(design::kClientArea.height, dpi)};
    AdjustWindowRect(&frame, style, FALSE);
    const HWND window = CreateWindowW(L"Minimal", kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                      nullptr);
#ifdef FORM1_CONTROLS
    namespace win32 = quorvel::win32;
    for (const design::ControlDesign& designed : design::kControls) {
        const win32::ControlClass controlClass = win32::ClassFor(designed.role);
        const RECT rect = win32::ToPixels(designed.rect, dpi);
        CreateWindowExW(controlClass.exStyle, controlClass.name, win32::ToWide(designed.caption).c_str(),
                        controlClass.style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, window,
                        nullptr, instance, nullptr);
    }
#endif
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
