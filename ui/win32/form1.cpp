#include "form1.h"

#include "control_classes.h"
#include "control_ids.h"
#include "dpi.h"
#include "field_paste.h"
#include "fonts.h"
#include "wide_text.h"

#include <commctrl.h>
#include <objbase.h>
// The accessibility GUIDs are defined here rather than linked from libuuid,
// which brings every GUID Windows has.
#include <initguid.h>
#include <oleacc.h>

#include <cwchar>

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

const design::ControlDesign* DesignOf(HWND control)
{
    const int index = GetDlgCtrlID(control) - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(std::size(design::kControls)))
        return nullptr;
    return &design::kControls[index];
}

std::string UserDecimalSeparator()
{
    wchar_t separator[8] = {};
    if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, static_cast<int>(std::size(separator))))
        return ".";
    return ToUtf8(separator);
}

std::wstring ClipboardText(HWND owner)
{
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Bounded by the block's size, in case another program left out the final null.
            text.assign(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Holding Enter down must not press the button again and again, nor close the
// box that the first press brought up: the key's repeats are dropped.
LRESULT CALLBACK DropEnterRepeatsInBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && IsEnterRepeat(*reinterpret_cast<const MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

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

}  // namespace

bool IsEnterRepeat(const MSG& message)
{
    constexpr LPARAM kWasDown = LPARAM{1} << 30;
    return message.message == WM_KEYDOWN && message.wParam == VK_RETURN && (message.lParam & kWasDown);
}

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
    if (!window)
        return;
    CreateControls();
    if (const int windowDpi = DpiForWindow(window); windowDpi != dpi) {
        ApplyDpi(windowDpi);
        const RECT scaled = FrameFor(dpi);
        SetWindowPos(window, nullptr, 0, 0, scaled.right - scaled.left, scaled.bottom - scaled.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    NameFieldsForScreenReaders();
    lastFocus = Control(design::FocusOrder().front()->name);
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
    ShowWindow(window, showCommand);
    UpdateWindow(window);
}

int Form1::Run()
{
    if (!window)
        return 1;
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (HandleDialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// Tab and Shift+Tab move through the controls, and Enter comes back as IDOK,
// once per press.
bool Form1::HandleDialogKey(MSG& message)
{
    if (IsEnterRepeat(message) && (message.hwnd == window || IsChild(window, message.hwnd)))
        return true;
    return IsDialogMessageW(window, &message);
}

void Form1::CreateControl(const design::ControlDesign& designed)
{
    const ControlClass windowClass = ClassFor(designed.role);
    const int id = ControlId(designed.name);
    const RECT rect = ToPixels(designed.rect, dpi);
    HWND control = CreateWindowExW(windowClass.exStyle, windowClass.name, ToWide(designed.caption).c_str(),
                                   windowClass.style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(designed)), FALSE);
    controls[static_cast<std::size_t>(id - kFirstControlId)] = control;
}

// Each new child goes under those made before it. Made in tab order, then the
// labels, the controls stack so that Tab follows the design and every field
// lies over the label it overlaps.
void Form1::CreateControls()
{
    for (const design::ControlDesign* designed : design::FocusOrder())
        CreateControl(*designed);
    for (const design::ControlDesign& designed : design::kControls) {
        if (!design::TakesFocus(designed.kind))
            CreateControl(designed);
    }

    for (std::string_view name : design::kInputs)
        SendMessageW(Control(name), EM_SETLIMITTEXT, design::kInputLengthLimit, 0);
    for (std::string_view name : design::kOutputs)
        SendMessageW(Control(name), EM_SETLIMITTEXT, 0, 0);  // 0: as long as an EDIT can be
    // The fields' own procedure is swapped rather than hooked with
    // SetWindowSubclass, whose lookup on every message is a round trip to the
    // server under Wine.
    for (std::size_t i = 0; i < std::size(design::kControls); ++i) {
        if (design::kControls[i].kind != design::ControlKind::TextField)
            continue;
        SetWindowLongPtrW(controls[i], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(controls[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc)));
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
        accessibility->SetHwndPropStr(Control(designed.names), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      PROPID_ACC_NAME, name.c_str());
    }
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
        break;
    }
    return fonts.field;
}

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

HWND Form1::Control(std::string_view name) const
{
    return controls[static_cast<std::size_t>(ControlId(name) - kFirstControlId)];
}

bool Form1::IsInput(HWND control) const
{
    const design::ControlDesign* designed = control ? DesignOf(control) : nullptr;
    return designed && designed->role == design::Role::Input && GetParent(control) == window;
}

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
        HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
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
            if (HWND focus = GetFocus(); focus && IsChild(window, focus))
                lastFocus = focus;
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
        if (accessibility) {
            for (const design::ControlDesign& designed : design::kControls) {
                if (!designed.names.empty())
                    accessibility->ClearHwndProps(Control(designed.names), static_cast<DWORD>(OBJID_CLIENT),
                                                  CHILDID_SELF, &PROPID_ACC_NAME, 1);
            }
            accessibility->Release();
            accessibility = nullptr;
        }
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Form1::HandleCommand(int id, int notification, HWND control)
{
    HWND button = Control(design::kConvertButton);
    if (id == IDOK) {
        // Enter, from IsDialogMessageW: it presses 转 from the inputs and the
        // button itself, and does nothing in the outputs.
        HWND focus = GetFocus();
        if (IsInput(focus) || focus == button)
            Command1Click();
        return;
    }
    if (control == button) {
        // A quick second click arrives as a double click; it is a press all the same.
        if (notification == BN_CLICKED || notification == BN_DOUBLECLICKED)
            Command1Click();
        else if (notification == BN_SETFOCUS)
            lastFocus = control;
        return;
    }
    if (notification == EN_SETFOCUS)
        lastFocus = control;
    else if (notification == EN_MAXTEXT && IsInput(control))
        MessageBeep(MB_OK);
}

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
        if (form->IsInput(field)) {
            form->Paste(field);
            return 0;
        }
        break;
    }
    return CallWindowProcW(form->editProc, field, message, wParam, lParam);
}

void Form1::Paste(HWND field)
{
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
    const FieldPaste paste = PlanFieldPaste(ClipboardText(window), static_cast<std::size_t>(GetWindowTextLengthW(field)),
                                            selectionEnd - selectionStart);
    switch (paste.action) {
    case FieldPaste::Action::Nothing:
        break;
    case FieldPaste::Action::Refuse:
        MessageBeep(MB_OK);
        break;
    case FieldPaste::Action::Insert:
        SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(paste.text.c_str()));
        break;
    case FieldPaste::Action::FillChannels:
        FillChannels(paste.channels);
        break;
    }
}

// A pasted row replaces R, G and B as if each had been typed; nothing converts
// until the button is pressed.
void Form1::FillChannels(const std::array<std::wstring, 3>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        HWND input = Control(design::kInputs[i]);
        SendMessageW(input, EM_SETSEL, 0, -1);
        SendMessageW(input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(cells[i].c_str()));
    }
}

void Form1::Command1Click()
{
    std::array<std::string, 3> channels;
    for (std::size_t i = 0; i < channels.size(); ++i)
        channels[i] = ToUtf8(WindowText(Control(design::kInputs[i])));
    const ConversionResult result = ConvertColour(channels[0], channels[1], channels[2], UserDecimalSeparator());
    if (result.ok) {
        ShowConversion(result);
        return;
    }
    // Returns once the user has dismissed the box; until then the window takes no input.
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, DropEnterRepeatsInBox, nullptr, GetCurrentThreadId());
    MessageBoxW(window, ToWide(result.message).c_str(), ToWide(design::kErrorTitle).c_str(), MB_OK);
    if (filter)
        UnhookWindowsHookEx(filter);
}

void Form1::ShowConversion(const ConversionResult& result)
{
    command1.SetBackColor(result.colour);
    const std::string* texts[] = {&result.kText, &result.cText, &result.mText, &result.yText};
    for (std::size_t i = 0; i < design::kOutputs.size(); ++i)
        SetWindowTextW(Control(design::kOutputs[i]), ToWide(*texts[i]).c_str());
}

}  // namespace quorvel::win32
