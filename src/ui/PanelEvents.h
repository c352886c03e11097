#pragma once

#include "common/PanelSurface.h"

namespace ui {

// The events the panel wires to handlers: clicks of the buttons and the logo, and mouse
// button presses and releases (any button, any keys) on the id fields and the list.
enum class PanelEvent { Click, MouseDown, MouseUp };

// Receives the panel's control events. The Win32 panel raises them from its window
// procedure; the event router runs the handler each one is wired to.
class PanelEvents {
  public:
    virtual ~PanelEvents() = default;
    virtual void OnPanelEvent(common::PanelControl control, PanelEvent event) = 0;
};

}  // namespace ui
