#pragma once

#include <vector>

#include "hostsim/model/Vec3.h"

namespace hostsim {

// True when one plane passes within tolerance of every point; collinear points (a line) and
// fewer than three points are planar. The plane is spanned by the first point, the point
// farthest from it and the point farthest from the line through those two.
bool IsPlanar(const std::vector<Vec3>& points, double tolerance);

// True when every point lies within tolerance of the plane through origin spanned by the two
// axes; false when the axes do not span a plane.
bool LiesInPlane(const std::vector<Vec3>& points, Vec3 origin, Vec3 xAxis, Vec3 yAxis, double tolerance);

}  // namespace hostsim
