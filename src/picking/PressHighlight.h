#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace picking {

// Mouse button pressed on `source` (Text5, Text1, Text2 or List1; any button, any keys):
// selects the object whose id the control holds, blank-trimmed. An empty id field, or a list
// without a selected row, makes no host call. Host errors pass to the caller as
// common::HostError.
void HighlightOnPress(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source);

// Mouse button released on `source`: the same with UnselectObject. The control is read anew,
// nothing pairs the release with an earlier press.
void UnhighlightOnRelease(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source);

}  // namespace picking
