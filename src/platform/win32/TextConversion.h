#pragma once

#include <string>
#include <string_view>

namespace win32 {

// UTF-8 (the core's text) to UTF-16 (the Windows API's text). Invalid UTF-8 sequences
// become U+FFFD; embedded NULs are kept.
std::wstring Utf8ToWide(std::string_view utf8);

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD; embedded NULs are kept.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace win32
