#pragma once

namespace ui {

// The panel's controls that raise events, by their control names.
enum class PanelControl {
    Command1,  // "SelAllPts"
    Command2,  // "Create"
    Command3,  // "Del All pts"
    Command4,  // "Generate Curtate Cycloid"
    Command5,  // "Pick Line"
    Command6,  // "Pick XY curve"
    Command7,  // "Pick YZ curve"
    Command8,  // "Pick Points"
    Text1,
    Text2,
    Text5,
    List1,
    Pic1,  // the logo: its click opens the maker's web address
};

// The events the panel wires to handlers: clicks of the buttons and the logo, and mouse
// button presses and releases (any button, any keys) on the id fields and the list.
enum class PanelEvent { Click, MouseDown, MouseUp };

// Receives the panel's control events. The Win32 panel raises them from its window
// procedure; the event router runs the handler each one is wired to.
class PanelEvents {
public:
    virtual ~PanelEvents() = default;
    virtual void OnPanelEvent(PanelControl control, PanelEvent event) = 0;
};

}  // namespace ui
