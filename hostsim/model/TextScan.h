#pragma once

#include <optional>
#include <string_view>

namespace hostsim {

// Blank: space, tab, carriage return or line feed.
bool IsBlank(char c);

// Removes the next blank-separated word from text and returns it; empty when none is left.
std::string_view NextWord(std::string_view& text);

// The whole of text as a finite double: an optional sign, digits with an optional "." and
// fraction (".5" and "5." included), an optional exponent ("1E+15"). Nothing otherwise.
std::optional<double> ParseNumber(std::string_view text);

// Letter-case-insensitive comparison of ASCII texts.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace hostsim
