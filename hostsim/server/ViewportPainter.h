#pragma once

#include <set>
#include <string>
#include <vector>

#include "hostsim/server/Viewports.h"
#include "hostsim/server/WinInclude.h"

namespace hostsim {

// The colours of the active viewport's name, drawn on a filled label as the host highlights it.
inline constexpr COLORREF kActiveTitleColor = RGB(255, 255, 255);
inline constexpr COLORREF kActiveTitleBackColor = RGB(40, 80, 160);

// Draws the viewports into `dc` (the whole width x height area): grey background, grid, world
// axes, the view name (white on a blue label for the active view), then the objects (curves as
// polylines, points as small squares), black, or yellow when selected or listed in `highlighted`.
void PaintViewports(HDC dc,
                    int widthPixels,
                    int heightPixels,
                    const std::vector<ViewTransform>& views,
                    ViewKind activeView,
                    const std::vector<DrawnObject>& objects,
                    const std::set<std::string>& highlighted);

}  // namespace hostsim
