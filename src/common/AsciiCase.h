#pragma once

#include <algorithm>
#include <string_view>

namespace common {

// Letter case folded in the ASCII range only, whatever the locale: host object ids and
// executable names are compared so. Other bytes, UTF-8 ones included, stay as they are.
constexpr char FoldAscii(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the two texts are equal once folded.
constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace common
