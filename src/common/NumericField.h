#pragma once

#include <string_view>

namespace common {

// Reads a panel text as a number: its longest leading number, with every space, tab and line
// feed in the text ignored, wherever it stands ("1 2 . 5" reads 12.5). A carriage return is
// not ignored: like any other character it ends the number ("1\r2" reads 1).
//   - decimal: optional "+" or "-", digits, optional "." and digits, optional exponent ("E" or
//     "e", optional sign, digits). "." is the decimal separator whatever the locale. Reading
//     stops at the first character that does not fit, and an exponent without digits is not
//     part of the number ("5e" and "5e+" read 5, "12abc" reads 12).
//   - "&H" or "&O" (either case) at the start: the hexadecimal or octal digits that follow, read
//     as an unsigned integer ("&HFFFF" reads 65535, "&O17" reads 15, "&H" alone reads 0).
// Returns 0 for a text without a leading number (empty, only blanks, a letter first, ".", "-").
// A number beyond the range of a double ("1e999", "-1e999", a 300-digit hexadecimal number)
// also reads as 0, so neither an infinity nor NaN is ever returned; one too small for a double
// ("1e-400") reads as 0 as well, while subnormal values are kept. A zero result is +0, also
// for "-0".
double ReadNumericField(std::string_view text);

}  // namespace common
