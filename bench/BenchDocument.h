#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/model/ScriptApi.h"

namespace bench {

// The curves of the typical request: an XY curve crossing the negative-X side of the world Y
// axis and a YZ curve above it, both polylines as the pickers accept them.
struct TypicalCurves {
    std::string xyId;
    std::string yzId;
};

// Adds the typical request's line and two curves to the simulated document.
TypicalCurves AddTypicalCurves(hostsim::ScriptApi& api);

// Adds `count` point objects on the world Y axis between y = -40 and y = 40, where both
// curves of AddTypicalCurves lie across the probes. Returns their ids in document order.
std::vector<std::string> AddBasePoints(hostsim::ScriptApi& api, std::size_t count);

}  // namespace bench
