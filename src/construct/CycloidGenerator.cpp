#include "construct/CycloidGenerator.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace construct {
namespace {

// English names behind "_", so that a Rhino in any language knows them, and every point behind
// "w", so that it is read in world coordinates whatever construction plane is active.
constexpr std::string_view kCommandStart = "-_InterpCrv ";
constexpr char kWorldPrefix = 'w';
constexpr std::string_view kCommandEnd = "_Enter";
constexpr int kSignificantDigits = 15;

// Plain form for decimal exponents in [kLowestPlainExponent, kSignificantDigits - 1], the same
// switch as the 15-digit "general" number format.
constexpr int kLowestPlainExponent = -4;

const char* RefusalText(StepRefusal reason) {
    switch (reason) {
        case StepRefusal::Zero:
            return "the step is 0, so the angle would never advance";
        case StepRefusal::NotANumber:
            return "the step is not a number";
        case StepRefusal::TooManySamples:
            return "the step is so small that the curve would have too many samples";
    }
    return "the step is refused";
}

double EndDegrees(bool bothSides) {
    return bothSides ? 360.0 : 180.0;
}

// Squares summed in the order x, y, z, the first two before the third.
double Distance(const common::HostPoint& from, const common::HostPoint& to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double dz = to.z - from.z;
    return std::sqrt((dx * dx + dy * dy) + dz * dz);
}

// An upper bound of the sample count of an accepted step, for reserving storage.
std::size_t SampleCountBound(double stepDegrees, bool bothSides) {
    if (!(stepDegrees > 0)) {
        return 0;
    }
    const double bound = EndDegrees(bothSides) / stepDegrees + 2;
    return bound >= static_cast<double>(kMaxCycloidSamples) ? kMaxCycloidSamples : static_cast<std::size_t>(bound);
}

// Runs visit(x, z) for every sample in order; y is p.y for all of them. The angle advances by
// repeated addition, so the sample count and the last angle follow the accumulated rounding
// (0.3 never reaches 180 exactly, 2.5 does).
template <typename Visit>
void ForEachSample(const common::HostPoint& p,
                   const common::HostPoint& xyHit,
                   const common::HostPoint& yzHit,
                   double stepDegrees,
                   bool bothSides,
                   Visit&& visit) {
    if (const auto refusal = RefusalOfStep(stepDegrees, bothSides)) {
        throw StepRefused(*refusal);
    }
    const double advance = Distance(p, xyHit) / kCycloidPi;
    const double radius = Distance(p, yzHit) / 2;
    const double endDegrees = EndDegrees(bothSides);
    const bool forward = stepDegrees >= 0;
    for (double tDegrees = 0; forward ? tDegrees <= endDegrees : tDegrees >= endDegrees; tDegrees += stepDegrees) {
        const double thetaRadians = (tDegrees * kCycloidPi) / 180;
        const double x = (advance * thetaRadians - radius * std::sin(thetaRadians)) + xyHit.x;
        const double z = radius - radius * std::cos(thetaRadians);
        visit(x, z);
    }
}

// Significant digits of a finite nonzero value, without leading zeros, and the decimal
// exponent of the first one.
struct DecimalDigits {
    char digits[24];
    int count = 0;
    int exponent = 0;
};

// Reads what std::to_chars writes in scientific form after the sign: "d[.ddd]e±dd[d]".
void ParseScientific(const char* in, const char* end, DecimalDigits& decimal) {
    decimal.digits[0] = *in++;
    decimal.count = 1;
    if (*in == '.') {
        ++in;
        while (*in != 'e') {
            decimal.digits[decimal.count++] = *in++;
        }
    }
    ++in;
    const bool negativeExponent = *in++ == '-';
    int exponent = 0;
    while (in != end) {
        exponent = exponent * 10 + (*in++ - '0');
    }
    decimal.exponent = negativeExponent ? -exponent : exponent;
}

void DropTrailingZeros(DecimalDigits& decimal) {
    while (decimal.count > 1 && decimal.digits[decimal.count - 1] == '0') {
        --decimal.count;
    }
}

// Rounds the shortest round-trip digits of a normal double to 15 significant digits. That
// equals rounding the exact binary value unless the 16 digits end in a lone 5: a 15-digit
// rounding midpoint lying between the value and its shortest digits would itself be a shorter
// or closer round-trip form. Up to 15 shortest digits are already the 15-digit rounding, since
// every 15-digit decimal survives the trip through a normal double. Returns false for the lone
// 5, where only the exact value decides.
bool RoundShortestDigits(DecimalDigits& decimal) {
    if (decimal.count <= kSignificantDigits) {
        return true;
    }
    if (decimal.count == kSignificantDigits + 1 && decimal.digits[kSignificantDigits] == '5') {
        return false;
    }
    const bool up = decimal.digits[kSignificantDigits] >= '5';
    decimal.count = kSignificantDigits;
    if (up) {
        int i = kSignificantDigits - 1;
        while (i >= 0 && decimal.digits[i] == '9') {
            --i;
        }
        if (i < 0) {
            decimal.digits[0] = '1';
            decimal.count = 1;
            ++decimal.exponent;
        } else {
            ++decimal.digits[i];
            decimal.count = i + 1;
        }
    }
    DropTrailingZeros(decimal);
    return true;
}

// The largest 15-digit decimal that is still a finite double: 1.79769313486231E+308.
constexpr char kLargestDigits[] = "179769313486231";
constexpr int kLargestExponent = 308;

// Magnitudes from about 1.797693134862315E+308 up to the largest double round to
// 1.79769313486232E+308, which lies beyond the double range and which the host cannot read;
// those are written rounded toward zero instead, still with 15 digits.
void KeepWithinDoubleRange(DecimalDigits& decimal) {
    if (decimal.exponent != kLargestExponent) {
        return;
    }
    for (int i = 0; i < kSignificantDigits; ++i) {
        const char digit = i < decimal.count ? decimal.digits[i] : '0';
        if (digit != kLargestDigits[i]) {
            if (digit > kLargestDigits[i]) {
                std::memcpy(decimal.digits, kLargestDigits, kSignificantDigits);
                decimal.count = kSignificantDigits;
            }
            return;
        }
    }
}

char* WriteDigits(char* out, const char* digits, int count) {
    std::memcpy(out, digits, static_cast<std::size_t>(count));
    return out + count;
}

char* WriteZeros(char* out, int count) {
    for (int i = 0; i < count; ++i) {
        *out++ = '0';
    }
    return out;
}

char* WriteLayout(char* out, bool negative, const DecimalDigits& decimal) {
    if (negative) {
        *out++ = '-';
    }
    const int exponent = decimal.exponent;
    const int count = decimal.count;
    if (exponent < kLowestPlainExponent || exponent >= kSignificantDigits) {
        *out++ = decimal.digits[0];
        if (count > 1) {
            *out++ = '.';
            out = WriteDigits(out, decimal.digits + 1, count - 1);
        }
        *out++ = 'E';
        *out++ = exponent < 0 ? '-' : '+';
        int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100) {
            *out++ = static_cast<char>('0' + magnitude / 100);
            magnitude %= 100;
        }
        *out++ = static_cast<char>('0' + magnitude / 10);
        *out++ = static_cast<char>('0' + magnitude % 10);
        return out;
    }
    if (exponent < 0) {
        *out++ = '.';
        out = WriteZeros(out, -exponent - 1);
        return WriteDigits(out, decimal.digits, count);
    }
    const int integerDigits = exponent + 1;
    if (count <= integerDigits) {
        out = WriteDigits(out, decimal.digits, count);
        return WriteZeros(out, integerDigits - count);
    }
    out = WriteDigits(out, decimal.digits, integerDigits);
    *out++ = '.';
    return WriteDigits(out, decimal.digits + integerDigits, count - integerDigits);
}

}  // namespace

StepRefused::StepRefused(StepRefusal reason) : std::runtime_error(RefusalText(reason)), reason_(reason) {}

CoordinateNotFinite::CoordinateNotFinite() : std::runtime_error("a coordinate of the curve is not finite") {}

std::optional<StepRefusal> RefusalOfStep(double stepDegrees, bool bothSides) {
    if (std::isnan(stepDegrees)) {
        return StepRefusal::NotANumber;
    }
    if (stepDegrees == 0) {
        return StepRefusal::Zero;
    }
    if (stepDegrees < 0) {
        return std::nullopt;
    }
    // For a subnormal step the quotient is infinite, which is refused as well.
    if (EndDegrees(bothSides) / stepDegrees + 2 > static_cast<double>(kMaxCycloidSamples)) {
        return StepRefusal::TooManySamples;
    }
    return std::nullopt;
}

std::vector<common::HostPoint> CycloidSamples(const common::HostPoint& p,
                                              const common::HostPoint& xyHit,
                                              const common::HostPoint& yzHit,
                                              double stepDegrees,
                                              bool bothSides) {
    std::vector<common::HostPoint> samples;
    samples.reserve(SampleCountBound(stepDegrees, bothSides));
    ForEachSample(p, xyHit, yzHit, stepDegrees, bothSides, [&](double x, double z) {
        samples.push_back(common::HostPoint{x, p.y, z});
    });
    return samples;
}

std::string CycloidCommandText(const std::vector<common::HostPoint>& samples) {
    std::string text;
    text.reserve(kCommandStart.size() + samples.size() * (3 * kMaxCoordinateTextLength + 4) + kCommandEnd.size());
    text.append(kCommandStart);
    char sampleText[3 * kMaxCoordinateTextLength + 4];
    for (const common::HostPoint& sample : samples) {
        char* out = sampleText;
        *out++ = kWorldPrefix;
        out = WriteCoordinateText(out, sample.x);
        *out++ = ',';
        out = WriteCoordinateText(out, sample.y);
        *out++ = ',';
        out = WriteCoordinateText(out, sample.z);
        *out++ = ' ';
        text.append(sampleText, out);
    }
    text.append(kCommandEnd);
    return text;
}

std::string CycloidCommandTextFor(const common::HostPoint& p,
                                  const common::HostPoint& xyHit,
                                  const common::HostPoint& yzHit,
                                  double stepDegrees,
                                  bool bothSides) {
    // y is the same for every sample, so its text is written once.
    if (!std::isfinite(p.y)) {
        throw CoordinateNotFinite();
    }
    char yText[kMaxCoordinateTextLength];
    const auto yLength = static_cast<std::size_t>(WriteCoordinateText(yText, p.y) - yText);

    std::string text;
    text.reserve(kCommandStart.size() +
                 SampleCountBound(stepDegrees, bothSides) * (2 * kMaxCoordinateTextLength + yLength + 4) +
                 kCommandEnd.size());
    text.append(kCommandStart);
    char sampleText[3 * kMaxCoordinateTextLength + 4];
    ForEachSample(p, xyHit, yzHit, stepDegrees, bothSides, [&](double x, double z) {
        if (!std::isfinite(x) || !std::isfinite(z)) {
            throw CoordinateNotFinite();
        }
        char* out = sampleText;
        *out++ = kWorldPrefix;
        out = WriteCoordinateText(out, x);
        *out++ = ',';
        std::memcpy(out, yText, yLength);
        out += yLength;
        *out++ = ',';
        out = WriteCoordinateText(out, z);
        *out++ = ' ';
        text.append(sampleText, out);
    });
    text.append(kCommandEnd);
    return text;
}

std::string CoordinateText(double value) {
    char buffer[kMaxCoordinateTextLength];
    return std::string(buffer, WriteCoordinateText(buffer, value));
}

char* WriteCoordinateText(char* out, double value) {
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    if (std::isnan(value)) {
        // Whatever its sign bit, so that no "-nan" appears.
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    if (std::isinf(value)) {
        return std::to_chars(out, out + kMaxCoordinateTextLength, value).ptr;
    }
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);

    // The shortest round-trip digits are much cheaper to get than a 15-digit rounding and
    // give it directly for normal doubles, except in one case (see RoundShortestDigits).
    char scientific[32];
    DecimalDigits decimal;
    if (std::isnormal(magnitude)) {
        const auto shortest =
            std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific);
        ParseScientific(scientific, shortest.ptr, decimal);
        if (RoundShortestDigits(decimal)) {
            KeepWithinDoubleRange(decimal);
            return WriteLayout(out, negative, decimal);
        }
    }
    const auto rounded = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                       std::chars_format::scientific, kSignificantDigits - 1);
    ParseScientific(scientific, rounded.ptr, decimal);
    DropTrailingZeros(decimal);
    KeepWithinDoubleRange(decimal);
    return WriteLayout(out, negative, decimal);
}

}  // namespace construct
