// The generator's command text read back by the simulated host's command parser. For finite
// inputs and a step that gives at most a couple of thousand samples, the parser must find
// exactly the samples, each coordinate equal to the sample rounded to 15 significant digits;
// the streamed text must equal the text built from the sample list; a refused step must throw
// StepRefused; a curve with a coordinate beyond the double range must be refused by the
// streamed text (CoordinateNotFinite) and, written from the sample list, by the host rather
// than drawn wrongly. The raw input doubles, which reach every corner of the double
// range (subnormals, extremes), are also written as coordinates and read back one by one.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/HostPoint.h"
#include "construct/CycloidGenerator.h"
#include "hostsim/model/CommandParser.h"
#include "hostsim/model/TextScan.h"

namespace {

// Samples per curve the target accepts; smaller steps are left to the unit tests.
constexpr double kMaxSamples = 2000;

// Input layout: nine doubles (P, H1, H2), the step, then one byte whose low bit is "both sides".
constexpr std::size_t kInputSize = 10 * sizeof(double) + 1;

double DoubleAt(const std::uint8_t* data, std::size_t index) {
    double value = 0;
    std::memcpy(&value, data + index * sizeof(double), sizeof(double));
    return value;
}

// The largest 15-digit decimal within the double range; a magnitude that rounds beyond it is
// written as this, rounded toward zero.
constexpr double kLargest15Digits = 1.79769313486231E+308;

// The value rounded to 15 significant digits, as the host reads the coordinate back.
double RoundedTo15Digits(double value) {
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double rounded = 0;
    const auto read = std::from_chars(buffer, written.ptr, rounded);
    if (read.ec == std::errc::result_out_of_range && std::fabs(value) > kLargest15Digits) {
        return std::copysign(kLargest15Digits, value);
    }
    if (read.ec != std::errc() || read.ptr != written.ptr) {
        __builtin_trap();
    }
    return rounded;
}

// Equal as the host sees it: -0 and +0 are both written "0".
bool SameCoordinate(double parsed, double sample) {
    return parsed == RoundedTo15Digits(sample);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kInputSize) {
        return 0;
    }
    double inputs[10];
    for (std::size_t i = 0; i < 10; ++i) {
        inputs[i] = DoubleAt(data, i);
        if (!std::isfinite(inputs[i]) && i < 9) {
            return 0;
        }
    }
    for (std::size_t i = 0; i < 10; ++i) {
        if (std::isfinite(inputs[i])) {
            const std::optional<double> read = hostsim::ParseNumber(construct::CoordinateText(inputs[i]));
            if (!read || !SameCoordinate(*read, inputs[i])) {
                __builtin_trap();
            }
        }
    }
    const common::HostPoint p{inputs[0], inputs[1], inputs[2]};
    const common::HostPoint xyHit{inputs[3], inputs[4], inputs[5]};
    const common::HostPoint yzHit{inputs[6], inputs[7], inputs[8]};
    const double stepDegrees = inputs[9];
    const bool bothSides = (data[10 * sizeof(double)] & 1) != 0;
    const double endDegrees = bothSides ? 360.0 : 180.0;

    if (construct::RefusalOfStep(stepDegrees, bothSides)) {
        // A refused step is refused before any sampling, by both entry points.
        if (!(std::isnan(stepDegrees) || stepDegrees == 0 || stepDegrees > 0)) {
            __builtin_trap();
        }
        try {
            (void)construct::CycloidSamples(p, xyHit, yzHit, stepDegrees, bothSides);
            __builtin_trap();
        } catch (const construct::StepRefused&) {
        }
        return 0;
    }
    if (stepDegrees > 0 && endDegrees / stepDegrees + 2 > kMaxSamples) {
        return 0;
    }

    const std::vector<common::HostPoint> samples = construct::CycloidSamples(p, xyHit, yzHit, stepDegrees, bothSides);
    const std::string text = construct::CycloidCommandText(samples);
    if (stepDegrees < 0 && !samples.empty()) {
        __builtin_trap();
    }

    bool allFinite = true;
    for (const common::HostPoint& sample : samples) {
        allFinite = allFinite && std::isfinite(sample.x) && std::isfinite(sample.y) && std::isfinite(sample.z);
    }
    const std::optional<std::vector<hostsim::Vec3>> parsed = hostsim::ParseInterpCrvCommand(text);
    if (!allFinite) {
        // The streamed text refuses a coordinate that is not finite; written from the sample
        // list, "inf" and "nan" are no numbers to the host: the command is refused as a whole.
        try {
            (void)construct::CycloidCommandTextFor(p, xyHit, yzHit, stepDegrees, bothSides);
            __builtin_trap();
        } catch (const construct::CoordinateNotFinite&) {
        }
        if (parsed) {
            __builtin_trap();
        }
        return 0;
    }
    if (text != construct::CycloidCommandTextFor(p, xyHit, yzHit, stepDegrees, bothSides)) {
        __builtin_trap();
    }
    if (!parsed || parsed->size() != samples.size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const hostsim::Vec3& point = (*parsed)[i];
        if (!SameCoordinate(point.x, samples[i].x) || !SameCoordinate(point.y, samples[i].y) ||
            !SameCoordinate(point.z, samples[i].z)) {
            __builtin_trap();
        }
    }
    return 0;
}
