#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace picking {

// The click actions of the three pick buttons. Each hides the status label, lets the user
// pick one curve in the host (filter 4) and, when the curve passes the button's tests, writes
// its id as the whole text of the button's field. A cancelled pick changes nothing and shows
// nothing. A host error passes to the caller as common::HostError.

// Command5 "Pick Line": takes any picked curve into Text5.
void PickLine(host::HostScript& script, common::PanelSurface& panel);

// Command6 "Pick XY curve": a curve that is not a planar curve is passed over silently; a
// planar one outside the world XY plane gives "Selected curve is not in the XY plane".
// Otherwise the id goes into Text1.
void PickXyCurve(host::HostScript& script, common::PanelSurface& panel);

// Command7 "Pick YZ curve": only the in-plane test decides; a curve outside the world YZ
// plane gives "Selected curve is not in the YZ plane". Otherwise the id goes into Text2.
void PickYzCurve(host::HostScript& script, common::PanelSurface& panel);

}  // namespace picking
