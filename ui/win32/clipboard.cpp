#include "clipboard.h"

#include <cstring>
#include <cwchar>

namespace quorvel::win32 {

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

bool PutOnClipboard(HWND owner, std::wstring_view text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!block)
        return false;
    auto* copy = static_cast<wchar_t*>(GlobalLock(block));
    std::memcpy(copy, text.data(), text.size() * sizeof(wchar_t));
    copy[text.size()] = L'\0';
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool put = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    if (!put)
        GlobalFree(block);  // the clipboard owns it only once it is set
    return put;
}

}  // namespace quorvel::win32
