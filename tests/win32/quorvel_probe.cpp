// Reads Quorvel's window and its error box from outside, as the end-to-end
// tests need them under Wine: run in the same prefix (and so the same Wine
// server) as the program, it prints one JSON object on standard output.
//
//   quorvel_probe.exe
//
// {"window": WINDOW, "box": WINDOW, "decimal": the user locale's decimal separator},
// where WINDOW is null when no visible
// top-level window has that title, or
// {"client": {"x", "y", "width", "height"}   client area, origin in screen coordinates
//  "enabled", "visible", "owner": TITLE or null, "ownedByWindow": whether the owner is Quorvel's window,
//  "focus": the focused child's control ID or null,
//  "children": [{"class", "id", "text", "rect": {"x", "y", "width", "height"} relative to the client area,
//                "style", "visible", "enabled", "readOnly", "icon": a static's icon is set,
//                "limit": an edit's EM_GETLIMITTEXT, null for other controls}]}
//
// Every text travels by WM_GETTEXT, which Wine carries across processes; the
// children are in creation order.
#include <windows.h>

#include "form1_design.h"
#include "wide_text.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr UINT kReplyTimeoutMs = 3000;

std::string Quoted(const std::wstring& text)
{
    std::string json = "\"";
    for (const char c : quorvel::win32::ToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Rect(int x, int y, int width, int height)
{
    return "{\"x\": " + std::to_string(x) + ", \"y\": " + std::to_string(y) + ", \"width\": " +
           std::to_string(width) + ", \"height\": " + std::to_string(height) + "}";
}

// The window's text as its own thread answers WM_GETTEXT; empty if it does not answer.
std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied))
        return {};
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM found)
{
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

std::string DescribeChild(HWND parent, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    const std::wstring className = ClassOf(child);
    const bool isStatic = _wcsicmp(className.c_str(), L"Static") == 0;
    const bool isEdit = _wcsicmp(className.c_str(), L"Edit") == 0;
    bool icon = false;
    if (isStatic && (style & SS_TYPEMASK) == SS_ICON) {
        DWORD_PTR handle = 0;
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &handle);
        icon = handle != 0;
    }
    std::string limit = "null";
    if (isEdit) {
        DWORD_PTR characters = 0;
        if (SendMessageTimeoutW(child, EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &characters))
            limit = std::to_string(characters);
    }
    char styleText[16];
    std::snprintf(styleText, sizeof styleText, "%lu", static_cast<unsigned long>(style));
    return "{\"class\": " + Quoted(className) + ", \"id\": " + std::to_string(GetDlgCtrlID(child)) +
           ", \"text\": " + Quoted(TextOf(child)) +
           ", \"rect\": " + Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top) +
           ", \"style\": " + styleText + ", \"visible\": " + Bool(IsWindowVisible(child)) +
           ", \"enabled\": " + Bool(IsWindowEnabled(child)) + ", \"readOnly\": " + Bool(isEdit && (style & ES_READONLY)) +
           ", \"icon\": " + Bool(icon) + ", \"limit\": " + limit + "}";
}

std::string Describe(HWND window, HWND mainWindow)
{
    if (!window)
        return "null";
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    std::string focus = "null";
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus &&
        IsChild(window, thread.hwndFocus))
        focus = std::to_string(GetDlgCtrlID(thread.hwndFocus));

    const HWND owner = GetWindow(window, GW_OWNER);
    std::vector<HWND> all;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&all));
    std::string children;
    for (HWND child : all) {
        // EnumChildWindows walks grandchildren too; only the window's own controls count.
        if (GetParent(child) != window)
            continue;
        children += (children.empty() ? "" : ", ") + DescribeChild(window, child);
    }
    return "{\"client\": " + Rect(origin.x, origin.y, client.right, client.bottom) +
           ", \"enabled\": " + Bool(IsWindowEnabled(window)) + ", \"visible\": " + Bool(IsWindowVisible(window)) +
           ", \"owner\": " + (owner ? Quoted(TextOf(owner)) : std::string("null")) +
           ", \"ownedByWindow\": " + Bool(owner && owner == mainWindow) + ", \"focus\": " + focus +
           ", \"children\": [" + children + "]}";
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

// FindWindowW would also return a hidden window of that title (a box once closed).
BOOL CALLBACK MatchVisible(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<Search*>(search);
    if (IsWindowVisible(window) && TextOf(window) == wanted->title) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(std::string_view title)
{
    Search search{quorvel::win32::ToWide(title)};
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int main()
{
    namespace design = quorvel::design;
    // Lengths in the window's own pixels, as a screen reader reads them: to a
    // process that is not DPI-aware, Windows 10 and Wine 10 give another
    // process's window scaled to 96 dpi.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HWND window = FindVisible(design::kWindowCaption);
    const HWND box = FindVisible(design::kErrorTitle);
    wchar_t decimal[8] = {};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    const std::string json = "{\"window\": " + Describe(window, window) + ", \"box\": " + Describe(box, window) +
                             ", \"decimal\": " + Quoted(decimal) + "}\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), json.data(), static_cast<DWORD>(json.size()), &written, nullptr);
    return 0;
}
