#include "common/NumberText.h"

#include <cmath>

namespace common {

std::string HexCodeText(std::uint32_t code) {
    constexpr std::size_t kDigitCount = 8;
    char digits[kDigitCount];
    const auto result = std::to_chars(digits, digits + sizeof digits, code, 16);
    std::string text = "0x";
    text.append(kDigitCount - static_cast<std::size_t>(result.ptr - digits), '0');
    for (const char* digit = digits; digit != result.ptr; ++digit) {
        // to_chars writes the letters in lower case.
        text.push_back(*digit >= 'a' ? static_cast<char>(*digit - 'a' + 'A') : *digit);
    }
    return text;
}

std::string NumberText(double value) {
    constexpr double kLargestPlain = 1e15;
    char buffer[32];
    const bool plain = value == std::trunc(value) && std::fabs(value) < kLargestPlain;
    const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace common
