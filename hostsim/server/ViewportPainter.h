#pragma once

#include <set>
#include <string>
#include <vector>

#include "hostsim/server/Viewports.h"
#include "hostsim/server/WinInclude.h"

namespace hostsim {

// Draws the viewports into `dc` (the whole width x height area): grey background, grid, world
// axes, the view name, then the objects (curves as polylines, points as small squares), black,
// or yellow when selected or listed in `highlighted`.
void PaintViewports(HDC dc,
                    int widthPixels,
                    int heightPixels,
                    const std::vector<ViewTransform>& views,
                    const std::vector<DrawnObject>& objects,
                    const std::set<std::string>& highlighted);

}  // namespace hostsim
