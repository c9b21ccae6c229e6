#include "dpi.h"

namespace quorvel::win32 {
namespace {

template <typename Function>
Function* User32Function(const char* name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

struct PerMonitorFunctions {
    decltype(::GetDpiForWindow)* getDpiForWindow = User32Function<decltype(::GetDpiForWindow)>("GetDpiForWindow");
    decltype(::AdjustWindowRectExForDpi)* adjustWindowRectExForDpi =
        User32Function<decltype(::AdjustWindowRectExForDpi)>("AdjustWindowRectExForDpi");
    decltype(::GetSystemMetricsForDpi)* getSystemMetricsForDpi =
        User32Function<decltype(::GetSystemMetricsForDpi)>("GetSystemMetricsForDpi");
    decltype(::SystemParametersInfoForDpi)* systemParametersInfoForDpi =
        User32Function<decltype(::SystemParametersInfoForDpi)>("SystemParametersInfoForDpi");
};

const PerMonitorFunctions& PerMonitor()
{
    static const PerMonitorFunctions functions;
    return functions;
}

}  // namespace

int SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDefaultDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

int DpiForWindow(HWND window)
{
    if (PerMonitor().getDpiForWindow) {
        if (const UINT dpi = PerMonitor().getDpiForWindow(window))
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, int dpi)
{
    RECT rect{0, 0, client.cx, client.cy};
    if (PerMonitor().adjustWindowRectExForDpi)
        PerMonitor().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi));
    else
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

int SystemMetricForDpi(int index, int dpi)
{
    if (PerMonitor().getSystemMetricsForDpi)
        return PerMonitor().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

LOGFONTW MessageFontForDpi(int dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (PerMonitor().systemParametersInfoForDpi &&
        PerMonitor().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                                static_cast<UINT>(dpi)))
        return metrics.lfMessageFont;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
    return metrics.lfMessageFont;
}

}  // namespace quorvel::win32
