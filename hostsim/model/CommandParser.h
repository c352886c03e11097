#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "hostsim/model/Vec3.h"

namespace hostsim {

// Reads the scripted interpolated-curve command: the command name "InterpCrv" in any letter
// case with any leading "_" and "-" marks, then points "x,y,z" or "x,y" (z = 0, the
// construction plane being world XY), separated by blanks (spaces, tabs, line feeds), then
// "Enter", after which only blanks may follow. Returns the points in world coordinates (there
// may be fewer than two), or nothing when the text is another command, lacks "Enter" or holds
// a word it cannot read. Linear in the length of the text.
std::optional<std::vector<Vec3>> ParseInterpCrvCommand(std::string_view text);

}  // namespace hostsim
