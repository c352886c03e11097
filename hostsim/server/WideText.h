#pragma once

#include <string>
#include <string_view>

namespace hostsim {

// UTF-16 text of a UTF-8 string; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

// UTF-8 text of a UTF-16 string; unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace hostsim
