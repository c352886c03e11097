// The numeric-field reader on arbitrary panel text: never a crash, never an infinity or NaN,
// zero only as +0, blanks anywhere ignored, and a character that can continue no number
// appended at the end changes nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/NumericField.h"

namespace {

bool IsFieldBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Same value, and the same sign of zero, or both NaN (never expected).
bool SameReading(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = common::ReadNumericField(text);
    if (!std::isfinite(value)) {
        __builtin_trap();
    }
    if (value == 0 && std::signbit(value)) {
        __builtin_trap();
    }

    std::string withoutBlanks;
    for (const char c : text) {
        if (!IsFieldBlank(c)) {
            withoutBlanks.push_back(c);
        }
    }
    if (!SameReading(common::ReadNumericField(withoutBlanks), value)) {
        __builtin_trap();
    }

    // "x" is neither a digit of any base, a sign, a point nor an exponent letter.
    std::string extended(text);
    extended.push_back('x');
    if (!SameReading(common::ReadNumericField(extended), value)) {
        __builtin_trap();
    }
    return 0;
}
