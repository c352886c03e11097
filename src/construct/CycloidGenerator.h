#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/HostPoint.h"

namespace construct {

// The divisor of the angle conversion and of the advance factor: the double nearest to this
// 15-digit decimal, about 3.1e-15 below the double nearest to pi. Exact pi is used nowhere.
inline constexpr double kCycloidPi = 3.14159265358979;

// The most samples one curve may have. A step whose sample count could exceed it is refused
// before sampling, so a tiny step can neither hang the run nor build a text of gigabytes.
inline constexpr std::size_t kMaxCycloidSamples = 1'000'000;

// Why a step cannot be sampled.
enum class StepRefusal {
    Zero,            // 0 or -0: the angle would never advance
    NotANumber,      // NaN: no loop test can hold or fail sensibly
    TooManySamples,  // positive but so small that one curve would exceed kMaxCycloidSamples
};

// Thrown by CycloidSamples and CycloidCommandTextFor for a step that RefusalOfStep refuses.
class StepRefused : public std::runtime_error {
  public:
    explicit StepRefused(StepRefusal reason);
    StepRefusal Reason() const noexcept { return reason_; }

  private:
    StepRefusal reason_;
};

// Thrown by CycloidCommandTextFor when a coordinate of the curve is not finite: a probe hit so
// far from the point (beyond about 1e154) that the distance overflows, or a coordinate the host
// gave as an infinity or NaN. The host's command line cannot read such a number.
class CoordinateNotFinite : public std::runtime_error {
  public:
    CoordinateNotFinite();
};

// Returns why sampling with stepDegrees cannot be done, or nullopt when it can. A negative step
// (also -infinity) is accepted: it gives no samples at all. The sample count is bounded from
// (end angle / step) + 2, which covers the drift of the accumulated angle, so an accepted step
// never gives more than kMaxCycloidSamples samples; a step of 0.001 (360,001 samples for both
// sides) is accepted.
std::optional<StepRefusal> RefusalOfStep(double stepDegrees, bool bothSides);

// The samples of one curtate cycloid arch in the plane y = p.y, in order of increasing angle:
// the span is the distance from p to xyHit, the height the distance from p to yzHit. The angle
// runs from 0 to 180 degrees (360 with bothSides) by repeated addition of stepDegrees. Empty for
// a negative step. Throws StepRefused when RefusalOfStep refuses the step.
std::vector<common::HostPoint> CycloidSamples(const common::HostPoint& p,
                                              const common::HostPoint& xyHit,
                                              const common::HostPoint& yzHit,
                                              double stepDegrees,
                                              bool bothSides);

// The host command that draws an interpolated curve through the samples: "-_InterpCrv ", then
// "wx,y,z " per sample (world coordinates, whatever construction plane is active), then "_Enter"
// (English names, known to a Rhino in any language). Never fails; an empty list gives
// "-_InterpCrv _Enter".
std::string CycloidCommandText(const std::vector<common::HostPoint>& samples);

// The same text as CycloidCommandText(CycloidSamples(...)), written while sampling without
// building the sample list. Throws StepRefused when RefusalOfStep refuses the step, and
// CoordinateNotFinite when a sample's coordinate is an infinity or NaN.
std::string CycloidCommandTextFor(const common::HostPoint& p,
                                  const common::HostPoint& xyHit,
                                  const common::HostPoint& yzHit,
                                  double stepDegrees,
                                  bool bothSides);

// The text of one coordinate as the host's command line reads it: rounded to at most 15
// significant digits, trailing zeros and a trailing "." dropped, "." as decimal point whatever
// the locale, "-" for negative values and no "+", no 0 before the point below 1 (".25", "-.5").
// Plain when the decimal exponent of the rounded value lies in [-4, 14], that is for magnitudes
// from 1E-04 up to below 1E+15; otherwise exponent form: the mantissa, "E", the exponent's sign
// and at least two digits ("-4.9737991503207E-14", "1E+15"). Zero and -0 give "0"; infinities
// give "inf" / "-inf" and NaN gives "nan" (only reachable from coordinates near the double range).
// A magnitude above 1.79769313486231E+308, whose 15-digit rounding would lie beyond the double
// range and could not be read back, is written as that value (rounded toward zero).
std::string CoordinateText(double value);

// The longest text CoordinateText can return ("-1.23456789012345E-308").
inline constexpr std::size_t kMaxCoordinateTextLength = 22;

// Writes CoordinateText(value) at out, which must have room for kMaxCoordinateTextLength
// characters; returns the end of what was written. No terminating zero.
char* WriteCoordinateText(char* out, double value);

}  // namespace construct
