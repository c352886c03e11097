#pragma once

#include <charconv>
#include <concepts>
#include <cstdint>
#include <string>

namespace common {

// Numbers written into messages, captions and logs, "." as decimal point whatever the
// locale. The cycloid command text has its own format (construct::CoordinateText).

// Decimal digits, "-" for a negative value: "42", "-5000".
template <std::integral Integer>
std::string IntegerText(Integer value) {
    char buffer[24];  // the 20 digits of a 64-bit value and a sign
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// An error or result code (an HRESULT, a system error code): "0x" and eight upper-case
// hexadecimal digits, "0x80004005", "0x00000005".
std::string HexCodeText(std::uint32_t code);

// A number as a user would type it: whole numbers below 1e15 in plain digits ("5000000",
// "-3"), others in their shortest form that reads back exactly ("2.5", "1e+300", "inf").
std::string NumberText(double value);

}  // namespace common
