#pragma once

#include <vector>

#include "hostsim/model/Curve.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

// One place where two curves meet. A point event has start == end on each curve; an overlap
// runs from start to end on the first curve, and the second curve's start and end are the
// matching places on it (its parameters may decrease when the curves run opposite ways).
struct IntersectionEvent {
    bool overlap = false;
    Vec3 aStart;
    Vec3 aEnd;
    Vec3 bStart;
    Vec3 bEnd;
    double aParamStart = 0.0;
    double aParamEnd = 0.0;
    double bParamStart = 0.0;
    double bParamEnd = 0.0;
};

// The point event where curve a at parameter s meets curve b at parameter t.
IntersectionEvent PointEvent(const Curve& a, double s, const Curve& b, double t);

// Every place where curve a comes within tolerance of curve b, in increasing order of the
// parameter on a. Straight pieces are met exactly (an overlap where a straight piece runs
// along another within tolerance for longer than the tolerance); interpolated pieces are
// flattened to find candidates, then refined by Newton's method on the true curves, so
// tangencies within tolerance count. Empty when they do not meet.
std::vector<IntersectionEvent> IntersectCurves(const Curve& a, const Curve& b, double tolerance);

}  // namespace hostsim
