// Form1 in plain Win32: the window and its controls made from the shared
// design, kept at the window's DPI, with every user action handed to the
// shared controller and the controller's calls carried out on the controls.
//
// The file goes: creation and layout; DPI; keyboard and focus; paste; the
// window's messages; the controller's view of the window.
#include "form1.h"

#include "clipboard.h"
#include "control_classes.h"
#include "control_ids.h"
#include "dpi.h"
#include "fonts.h"
#include "wide_text.h"

#include <commctrl.h>
#include <objbase.h>
// The accessibility GUIDs are defined here rather than linked from libuuid,
// which brings every GUID Windows has.
#include <initguid.h>
#include <oleacc.h>

namespace quorvel::win32 {
namespace {

// Fixed size: no sizing border and no maximise box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
constexpr WORD kIconResource = 1;

SIZE ClientSize(int dpi)
{
    return {design::ToPixels(design::kClientArea.width, dpi), design::ToPixels(design::kClientArea.height, dpi)};
}

RECT FrameFor(int dpi) { return WindowRectForClient(ClientSize(dpi), kWindowStyle, kWindowExStyle, dpi); }

Form1::Fonts CreateFonts(int dpi)
{
    const LOGFONTW messageFont = FitLabelFont(MessageFontForDpi(dpi), dpi);
    return {CreateDesignedFont(design::kFieldFont, dpi), CreateDesignedFont(design::kButtonFont, dpi),
            CreateFontIndirectW(&messageFont)};
}

void DeleteFonts(const Form1::Fonts& fonts)
{
    for (HGDIOBJ font : {fonts.field, fonts.button, fonts.label})
        DeleteObject(font);
}

HICON LoadIconFor(HINSTANCE instance, int widthMetric, int heightMetric, int dpi)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         SystemMetricForDpi(widthMetric, dpi), SystemMetricForDpi(heightMetric, dpi),
                                         LR_DEFAULTCOLOR));
}

// The system's own words for an error code, in the user's language.
std::wstring SystemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Error " + std::to_wstring(error);
    LocalFree(text);
    return message;
}

bool IsEnterDown(const MSG& message) { return message.message == WM_KEYDOWN && message.wParam == VK_RETURN; }

// A key held down: its repeats have this bit set.
bool WasDown(const MSG& message) { return (message.lParam & (LPARAM{1} << 30)) != 0; }

// Inside the box's own message loop, the keys the box may not have are dropped.
LRESULT CALLBACK FilterKeysInBox(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message.message == WM_KEYDOWN &&
        !design::BoxTakesKey(IsEnterDown(message), WasDown(message)))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Ctrl+C or Ctrl+Insert, as an EDIT copies on either.
bool IsCopy(const MSG& message)
{
    return message.message == WM_KEYDOWN && (message.wParam == 'C' || message.wParam == VK_INSERT) &&
           GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
}

}  // namespace

bool IsEnterRepeat(const MSG& message) { return IsEnterDown(message) && WasDown(message); }

// ---- Creation and layout ------------------------------------------------------

Form1::Form1(HINSTANCE module)
    : instance(module)
{
    const INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    // Everything is made at once for the DPI the window will most likely get,
    // the primary monitor's; a window that lands elsewhere is laid out again.
    dpi = SystemDpi();
    fonts = CreateFonts(dpi);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconFor(instance, SM_CXICON, SM_CYICON, dpi);
    windowClass.hIconSm = LoadIconFor(instance, SM_CXSMICON, SM_CYSMICON, dpi);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kForm1ClassName;
    RegisterClassExW(&windowClass);

    const std::wstring caption = ToWide(design::kWindowCaption);
    const RECT frame = FrameFor(dpi);
    CreateWindowExW(kWindowExStyle, kForm1ClassName, caption.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!window) {
        creationError = GetLastError();
        return;
    }
    CreateControls();
    if (const int windowDpi = DpiForWindow(window); windowDpi != dpi) {
        ApplyDpi(windowDpi);
        const RECT scaled = FrameFor(dpi);
        SetWindowPos(window, nullptr, 0, 0, scaled.right - scaled.left, scaled.bottom - scaled.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    NameFieldsForScreenReaders();
    lastFocus = Control(*design::FocusOrder().front());
}

Form1::~Form1()
{
    if (window)
        DestroyWindow(window);
    DeleteFonts(fonts);
    DestroyIcon(bigIcon);
    DestroyIcon(smallIcon);
}

void Form1::Show(int showCommand)
{
    if (!window)
        return;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
}

int Form1::Run()
{
    if (!window) {
        MessageBoxW(nullptr, SystemMessage(creationError).c_str(), ToWide(design::kWindowCaption).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (HandleDialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void Form1::CreateControl(const design::ControlDesign& designed)
{
    const ControlClass windowClass = ClassFor(designed.role);
    const int id = ControlId(designed);
    const RECT rect = ToPixels(designed.rect, dpi);
    HWND control = CreateWindowExW(windowClass.exStyle, windowClass.name, ToWide(designed.caption).c_str(),
                                   windowClass.style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(designed)), FALSE);
    controls[design::IndexOf(designed)] = control;
}

// Each new child goes under those made before it. Made in tab order, then the
// labels, the controls stack so that Tab follows the design and every field
// lies over the label it overlaps.
void Form1::CreateControls()
{
    for (const design::ControlDesign* designed : design::FocusOrder())
        CreateControl(*designed);
    for (const design::ControlDesign& designed : design::kControls) {
        if (!design::TakesFocus(designed))
            CreateControl(designed);
    }

    for (const design::ControlDesign* input : design::kInputs)
        SendMessageW(Control(*input), EM_SETLIMITTEXT, design::kInputLengthLimit, 0);
    for (const design::ControlDesign* output : design::kOutputs)
        SendMessageW(Control(*output), EM_SETLIMITTEXT, 0, 0);  // 0: as long as an EDIT can be
    // The fields' own procedure is swapped rather than hooked with
    // SetWindowSubclass, whose lookup on every message is a round trip to the
    // server under Wine.
    for (const design::ControlDesign& designed : design::kControls) {
        if (designed.role != design::Role::Input && designed.role != design::Role::Output)
            continue;
        SetWindowLongPtrW(Control(designed), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Control(designed), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
    }
    command1.Attach(Control(design::kConvertButton));
    command1.SetFont(fonts.button);
}

// A field has no caption of its own; screen readers would otherwise guess its
// name from whatever control precedes it, which the stacking order above breaks.
void Form1::NameFieldsForScreenReaders()
{
    void* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                &services)))
        return;
    accessibility = static_cast<IAccPropServices*>(services);
    for (const design::ControlDesign& designed : design::kControls) {
        if (designed.names.empty())
            continue;
        const std::wstring name = ToWide(designed.caption);
        accessibility->SetHwndPropStr(Control(design::Control(designed.names)), static_cast<DWORD>(OBJID_CLIENT),
                                      CHILDID_SELF,
                                      PROPID_ACC_NAME, name.c_str());
    }
}

void Form1::ForgetScreenReaderNames()
{
    if (!accessibility)
        return;
    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            accessibility->ClearHwndProps(Control(design::Control(designed.names)), static_cast<DWORD>(OBJID_CLIENT),
                                          CHILDID_SELF,
                                          &PROPID_ACC_NAME, 1);
    }
    accessibility->ClearHwndProps(Control(design::kConvertButton), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  &PROPID_ACC_DESCRIPTION, 1);
    accessibility->Release();
    accessibility = nullptr;
}

HFONT Form1::FontFor(const design::ControlDesign& designed) const
{
    switch (designed.role) {
    case design::Role::Caption:
        return fonts.label;
    case design::Role::Convert:
        return fonts.button;
    case design::Role::Input:
    case design::Role::Output:
        return fonts.field;
    }
    design::Unreachable("a role with no font");
}

// The design of one of the window's own controls; null for any other window.
const design::ControlDesign* Form1::DesignOf(HWND control) const
{
    if (!control || GetParent(control) != window)
        return nullptr;
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(std::size(design::kControls)))
        return nullptr;
    return &design::kControls[index];
}

// ---- DPI ----------------------------------------------------------------------

void Form1::ApplyDpi(int newDpi)
{
    const Fonts previous = fonts;
    dpi = newDpi;
    fonts = CreateFonts(dpi);
    for (std::size_t i = 0; i < std::size(design::kControls); ++i) {
        const design::ControlDesign& designed = design::kControls[i];
        const RECT rect = ToPixels(designed.rect, dpi);
        SetWindowPos(controls[i], nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(designed)), TRUE);
    }
    command1.SetFont(fonts.button);
    DeleteFonts(previous);
    LoadIcons();
}

void Form1::LoadIcons()
{
    HICON newBigIcon = LoadIconFor(instance, SM_CXICON, SM_CYICON, dpi);
    HICON newSmallIcon = LoadIconFor(instance, SM_CXSMICON, SM_CYSMICON, dpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBigIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmallIcon));
    DestroyIcon(bigIcon);
    DestroyIcon(smallIcon);
    bigIcon = newBigIcon;
    smallIcon = newSmallIcon;
}

// ---- Keyboard and focus ---------------------------------------------------------

// Enter goes to the controller, with whether it is a held key's repeat
// (IsDialogMessageW would turn each repeat into another IDOK), and so does
// Copy. Tab and Shift+Tab move through the controls.
bool Form1::HandleDialogKey(MSG& message)
{
    const bool enter = IsEnterDown(message);
    const bool copy = !enter && IsCopy(message);
    if ((enter || copy) && (message.hwnd == window || IsChild(window, message.hwnd))) {
        if (const design::ControlDesign* focused = DesignOf(GetFocus())) {
            if (enter ? controller.EnterPressed(*focused, IsEnterRepeat(message)) : controller.CopyPressed(*focused))
                return true;
        }
    }
    return IsDialogMessageW(window, &message);
}

void Form1::RememberFocus(HWND control)
{
    if (DesignOf(control))
        lastFocus = control;
}

// ---- Paste ------------------------------------------------------------------------

LRESULT CALLBACK Form1::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    constexpr WPARAM kCtrlA = 0x01;  // the character Ctrl+A types
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(field, GWLP_USERDATA));
    switch (message) {
    case WM_CHAR:
        // Older EDIT controls, and Wine's, have no Ctrl+A of their own.
        if (wParam == kCtrlA) {
            SendMessageW(field, EM_SETSEL, 0, -1);
            return 0;
        }
        break;
    case WM_PASTE:  // Ctrl+V, Shift+Insert and the context menu's Paste all come here
        if (const design::ControlDesign* designed = form->DesignOf(field);
            designed && designed->role == design::Role::Input) {
            form->controller.Paste(*designed, ToUtf8(ClipboardText(form->window)));
            return 0;
        }
        break;
    }
    return CallWindowProcW(form->editProc, field, message, wParam, lParam);
}

// ---- The window's messages ---------------------------------------------------------

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* created = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        HandleCommand(HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.hwndItem != Control(design::kConvertButton))
            break;
        command1.Draw(item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        // Read-only EDITs ask here too; the outputs stay white, as fields.
        const design::ControlDesign* designed = DesignOf(reinterpret_cast<HWND>(lParam));
        if (!designed || designed->role != design::Role::Output)
            break;
        const auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus(GetFocus());
            return 0;
        }
        if (HIWORD(wParam) || !lastFocus)  // minimised
            break;
        SetFocus(lastFocus);
        return 0;
    case WM_SETFOCUS:
        if (!lastFocus)
            break;
        SetFocus(lastFocus);
        return 0;
    case WM_GETDPISCALEDSIZE: {
        const RECT frame = FrameFor(LOWORD(wParam));
        *reinterpret_cast<SIZE*>(lParam) = {frame.right - frame.left, frame.bottom - frame.top};
        return TRUE;
    }
    case WM_DPICHANGED: {
        ApplyDpi(LOWORD(wParam));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETNONCLIENTMETRICS)
            ApplyDpi(dpi);
        break;
    case WM_DESTROY:
        ForgetScreenReaderNames();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Form1::HandleCommand(int notification, HWND control)
{
    const design::ControlDesign* designed = DesignOf(control);
    if (!designed)
        return;  // IDOK and IDCANCEL from the dialog manager: Enter went to the controller already
    switch (notification) {
    case BN_CLICKED:
    case BN_DOUBLECLICKED:  // a quick second click is a press all the same
        if (designed->role == design::Role::Convert)
            controller.Command1Click();
        break;
    case BN_SETFOCUS:
    case EN_SETFOCUS:
        RememberFocus(control);
        break;
    case EN_MAXTEXT:  // typing past the input limit
        controller.TypedPastLimit(*designed);
        break;
    }
}

// ---- The controller's view of the window ---------------------------------------------

std::string Form1::Text(const design::ControlDesign& field) const { return ToUtf8(WindowText(Control(field))); }

std::size_t Form1::SelectionLength(const design::ControlDesign& input) const
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Control(input), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end - start;
}

// EM_REPLACESEL with TRUE: as typed, so Ctrl+Z takes it back.
void Form1::ReplaceSelection(const design::ControlDesign& input, std::string_view text)
{
    const std::wstring wide = ToWide(text);
    SendMessageW(Control(input), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Form1::ReplaceText(const design::ControlDesign& input, std::string_view text)
{
    SendMessageW(Control(input), EM_SETSEL, 0, -1);
    ReplaceSelection(input, text);
}

void Form1::SetOutput(const design::ControlDesign& output, std::string_view text)
{
    SetWindowTextW(Control(output), ToWide(text).c_str());
}

void Form1::SetFace(ColourWord colour) { command1.SetBackColor(colour); }

// The tooltip is made only now, so that a start pays nothing for it.
void Form1::DescribeFace(std::string_view text)
{
    std::wstring description = ToWide(text);
    HWND button = Control(design::kConvertButton);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = description.data();
    if (!faceTip) {
        const INITCOMMONCONTROLSEX tooltips{sizeof tooltips, ICC_BAR_CLASSES};
        InitCommonControlsEx(&tooltips);
        faceTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance, nullptr);
        SendMessageW(faceTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(faceTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (accessibility)
        accessibility->SetHwndPropStr(button, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                      description.c_str());
}

void Form1::SetClipboardText(std::string_view text) { PutOnClipboard(window, ToWide(text)); }

// Returns once the user has dismissed the box; until then the window takes no input.
void Form1::ShowError(std::string_view title, std::string_view message)
{
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, FilterKeysInBox, nullptr, GetCurrentThreadId());
    MessageBoxW(window, ToWide(message).c_str(), ToWide(title).c_str(), MB_OK);
    if (filter)
        UnhookWindowsHookEx(filter);
}

void Form1::Beep() { MessageBeep(MB_OK); }

std::string Form1::DecimalSeparator() const
{
    wchar_t separator[8] = {};
    if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, static_cast<int>(std::size(separator))))
        return ".";
    return ToUtf8(separator);
}

}  // namespace quorvel::win32
