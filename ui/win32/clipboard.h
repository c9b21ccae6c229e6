#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The clipboard's Unicode text, as the window pastes and copies it.
namespace quorvel::win32 {

// The clipboard's text; empty when it holds none or another program has it open.
std::wstring ClipboardText(HWND owner);

// Puts the text on the clipboard in place of what it held; false if it could not.
bool PutOnClipboard(HWND owner, std::wstring_view text);

}  // namespace quorvel::win32
