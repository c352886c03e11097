#pragma once

#include <algorithm>
#include <iterator>

#include "common/PanelSurface.h"
#include "host/HostScript.h"

namespace picking {

// The controls whose mouse presses and releases highlight: the id fields and the list. The
// panel raises presses and releases on these alone.
inline constexpr common::PanelControl kPressHighlightControls[] = {
    common::PanelControl::Text5,
    common::PanelControl::Text1,
    common::PanelControl::Text2,
    common::PanelControl::List1,
};

constexpr bool HighlightsOnPress(common::PanelControl control) {
    return std::find(std::begin(kPressHighlightControls), std::end(kPressHighlightControls), control) !=
           std::end(kPressHighlightControls);
}

// Mouse button pressed on `source` (one of kPressHighlightControls; any button, any keys):
// selects the object whose id the control holds, blank-trimmed. An empty id field, or a list
// without a selected row, makes no host call. Host errors pass to the caller as
// common::HostError.
void HighlightOnPress(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source);

// Mouse button released on `source`: the same with UnselectObject. The control is read anew,
// nothing pairs the release with an earlier press.
void UnhighlightOnRelease(host::HostScript& script, const common::PanelSurface& panel, common::PanelControl source);

}  // namespace picking
