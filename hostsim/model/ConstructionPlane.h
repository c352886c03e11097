#pragma once

#include <optional>
#include <string_view>

#include "hostsim/model/Vec3.h"

namespace hostsim {

// The host's four standard viewports.
enum class ViewKind { Top, Front, Right, Perspective };

// Name of a viewport as the host shows it: "Top", "Front", "Right", "Perspective".
const char* ViewName(ViewKind kind);

// The viewport a name names (any letter case), or nothing.
std::optional<ViewKind> ParseViewName(std::string_view name);

// A construction plane: typed coordinates x, y, z mean origin + x xAxis + y yAxis + z normal.
struct ConstructionPlane {
    Vec3 origin;
    Vec3 xAxis;
    Vec3 yAxis;
    Vec3 normal;
};

// The construction plane of a standard viewport, as the host sets it up: Top and Perspective
// the world XY plane; Front x along world X, y along world Z, normal towards world -Y; Right
// x along world Y, y along world Z, normal along world X.
ConstructionPlane StandardPlane(ViewKind kind);

// The world point of coordinates typed in the plane.
Vec3 PlaneToWorld(const ConstructionPlane& plane, Vec3 typed);

}  // namespace hostsim
