#include "common/NumericField.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace common {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of c as a digit of the given base (8 or 16), or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (IsDigit(c)) {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// An unsigned integer in base 8 or 16 from the start of digits. Summed in double precision:
// exact up to 2^53, and beyond the double range it becomes infinite, which the caller maps to 0.
double ReadRadixInteger(std::string_view digits, int base) {
    double value = 0;
    for (const char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        value = value * base + digit;
    }
    return value;
}

// The length of the longest leading decimal number of text (no blanks in it), 0 when there is
// none. A lone sign, a lone "." or an exponent without digits is not a number.
std::size_t LeadingNumberLength(std::string_view text) {
    std::size_t i = 0;
    const auto skipDigits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = skipDigits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    const std::size_t mantissaEnd = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (skipDigits() == 0) {
            return mantissaEnd;
        }
    }
    return i;
}

}  // namespace

double ReadNumericField(std::string_view text) {
    std::string cleaned;
    cleaned.reserve(text.size());
    for (const char c : text) {
        if (!IsBlank(c)) {
            cleaned.push_back(c);
        }
    }

    double value = 0;
    if (cleaned.size() >= 2 && cleaned[0] == '&' && (cleaned[1] == 'H' || cleaned[1] == 'h')) {
        value = ReadRadixInteger(std::string_view(cleaned).substr(2), 16);
    } else if (cleaned.size() >= 2 && cleaned[0] == '&' && (cleaned[1] == 'O' || cleaned[1] == 'o')) {
        value = ReadRadixInteger(std::string_view(cleaned).substr(2), 8);
    } else {
        std::size_t length = LeadingNumberLength(cleaned);
        const char* first = cleaned.data();
        // std::from_chars takes no "+" sign.
        if (length > 0 && *first == '+') {
            ++first;
            --length;
        }
        if (length == 0) {
            return 0;
        }
        const auto [end, error] = std::from_chars(first, first + length, value);
        if (error != std::errc() || end != first + length) {
            return 0;
        }
    }
    if (!std::isfinite(value) || value == 0) {
        return 0;
    }
    return value;
}

}  // namespace common
