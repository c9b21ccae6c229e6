#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Windows speaks UTF-16; the core and the design speak UTF-8. These convert
// at the edge.
namespace quorvel::win32 {

std::wstring ToWide(std::string_view utf8);

// Unpaired surrogates become U+FFFD, as they do anywhere Windows converts.
std::string ToUtf8(std::wstring_view utf16);

// A window's text: a control's caption or a field's content.
std::wstring WindowText(HWND window);

}  // namespace quorvel::win32
