#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"
#include "host/LeftInHost.h"

namespace construct {

// The click action of Command2 ("Create"): hides the status label, selects the line of Text5
// (blank-trimmed) and, when the host then lists that line among the selected objects (whatever
// else is selected), divides it into (Text4 - 1) segments and adds a point object at every
// division point. The line of Text5 (read again) is unselected at the end in every case, also
// when a host call fails on the way (best effort).
//
// Messages, shown after the unselect: a line the host does not list as selected (locked,
// hidden, on a locked or hidden layer, or deleted) "Rhino did not select the picked line, so
// nothing was divided. ..."; a division answer that is not an array of points "Could not
// divide the line into <Text4> points. ..." ("1 point" for 1); a Text5 that is empty or blank
// (its empty id selected and unselected all the same) "No line is picked. ..." .
// A host error passes to the caller as common::HostError; when the line could not be
// unselected on the way out, "the line <id> selected" is noted in `leftInHost`, the command's own.
void CreatePointsAlongLine(host::HostScript& script, common::PanelSurface& panel, host::LeftInHost& leftInHost);

}  // namespace construct
