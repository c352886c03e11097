#pragma once

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace picking {

// The controls whose stored id is highlighted in the host while the mouse is held on them.
enum class HighlightSource { Text5, Text1, Text2, List1 };

// Mouse button pressed on `source` (any button, any keys): selects the object whose id the
// control holds, blank-trimmed. An empty id field, or a list without a selected row, makes no
// host call. Host errors pass to the caller as common::HostError.
void HighlightOnPress(host::HostScript& script, const common::PanelSurface& panel, HighlightSource source);

// Mouse button released on `source`: the same with UnselectObject. The control is read anew,
// nothing pairs the release with an earlier press.
void UnhighlightOnRelease(host::HostScript& script, const common::PanelSurface& panel, HighlightSource source);

}  // namespace picking
