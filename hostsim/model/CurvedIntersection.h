#pragma once

#include <vector>

#include "hostsim/model/CurveChords.h"
#include "hostsim/model/Intersection.h"

namespace hostsim {

// Intersection where an interpolated piece takes part: candidates from the chords, refined
// on the true curves.

// Chords sa of a and sb of b that come within tolerance (plus their slack) give candidates,
// refined by Newton's method on the two pieces; each that ends within tolerance is a point event.
void MeetCurved(const Curve& a,
                const Segment& sa,
                const Curve& b,
                const Segment& sb,
                double tolerance,
                std::vector<IntersectionEvent>& events);

// Where an interpolated piece runs along the other curve within tolerance, its candidates
// refine to a row of separate points; when the curves stay within tolerance between two
// neighbouring events, join them into one overlap, as the host reports such stretches.
std::vector<IntersectionEvent> JoinRunsAlongEachOther(const Curve& a,
                                                      const Curve& b,
                                                      std::vector<IntersectionEvent> events,
                                                      double tolerance);

}  // namespace hostsim
