#pragma once

#include <optional>
#include <string>
#include <vector>

#include "HostDocument.h"
#include "common/HostPoint.h"

namespace driver {

// Where the tool's generator says one curve must lie: the base point, the two probe hits as
// the driver computes them from the document's own geometry, and the samples.
struct CurveExpectation {
    std::string pointId;
    common::HostPoint p;
    common::HostPoint xyHit;
    common::HostPoint yzHit;
    std::vector<common::HostPoint> samples;
};

// The point where the segment from `from` to `to` meets a curve drawn as straight pieces
// through `vertices` (a line or polyline of the document), within `tolerance`; the first
// piece in the curve's order that meets it counts. Nothing when it misses.
std::optional<common::HostPoint> ProbeHit(const common::HostPoint& from,
                                          const common::HostPoint& to,
                                          const std::vector<common::HostPoint>& vertices,
                                          double tolerance = 1e-6);

// The expected curve of every list row that names a point object of `document` (rows that
// name anything else are skipped, as the run skips them), using the XY and YZ curves of the
// document, the step and the both-sides flag. Throws std::runtime_error when a curve is
// missing, is not made of straight pieces, or a probe misses it.
std::vector<CurveExpectation> ExpectedCurves(const HostDocument& document,
                                             const std::vector<std::string>& listRows,
                                             const std::string& xyId,
                                             const std::string& yzId,
                                             double stepDegrees,
                                             bool bothSides);

// Compares the created curves (in the order they were added) with the expectations, point
// by point within `tolerance` model units. Empty when they agree; otherwise a readable account
// of what was expected and what the document holds.
std::string CompareCurves(const std::vector<CurveExpectation>& expected,
                          const std::vector<const HostObject*>& created,
                          double tolerance = 1e-7);

// "(x, y, z)" with enough digits to tell values apart.
std::string PointText(const common::HostPoint& p);

}  // namespace driver
