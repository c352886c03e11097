#pragma once

#include <string>
#include <string_view>

namespace win32 {

// UTF-8 (the core's text) to UTF-16 (the Windows API's text). Invalid UTF-8 sequences
// become U+FFFD; embedded NULs are kept.
std::wstring Utf8ToWide(std::string_view utf8);
// The same conversion in two steps, for callers that convert straight into memory of their
// own: the number of UTF-16 units `utf8` becomes (0 for empty text), then the conversion into
// `out`, which has room for exactly that many.
int Utf8WideLength(std::string_view utf8);
void Utf8ToWideInto(std::string_view utf8, wchar_t* out, int outLength);

// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD; embedded NULs are kept.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace win32
