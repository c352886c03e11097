#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace construct {

// The click action of Command2 ("Create"): hides the status label, selects the line of Text5
// (blank-trimmed), divides the first object of the host's selection into (Text4 - 1) segments
// and adds a point object at every division point. The line of Text5 (read again) is
// unselected at the end in every case, also when a host call fails on the way (best effort).
//
// Nothing selected: no division and no message. A division answer that is not an array of
// points: the message "Could not divide the line into <Text4> points. ..." ("1 point" for 1)
// after the unselect.
// A host error passes to the caller as common::HostError.
void CreatePointsAlongLine(host::HostScript& script, common::PanelSurface& panel);

}  // namespace construct
