#pragma once

#include <cstdint>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/FormControls.h"
#include "platform/win32/windows/WindowClass.h"

namespace win32 {

// The host version chooser: a light-green window with a sizable border and no title bar,
// client area 3525 x 1365 twips, two option buttons "Rhino3" and "Rhino4" under two
// labels. A click on an option writes 3 or 4 into the host version and closes the
// chooser. Closing it any other way (Alt+F4, Esc) leaves the host version 0.
class Form2 : public FormWindow {
  public:
    // Creates the chooser hidden, owned by `owner`, at the system's default position for a
    // new window, and runs its load step: PlaceForm(topmost), both options unselected, `hostVersion` = 0.
    // `hostVersion` must outlive the chooser. Throws Win32Error when creation fails.
    Form2(HWND owner, std::int16_t& hostVersion);

    // Shows the chooser modally; returns once it has closed (and been destroyed).
    void ShowModal();

    HWND Control(std::uint16_t id) const { return controls_.Get(id); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HWND owner_;
    std::int16_t& hostVersion_;
    FormControls controls_;
    bool closed_ = false;
};

// Shows the chooser owned by `owner` and returns the version it left: 3, 4, or 0 when it
// was closed without a choice.
std::int16_t ShowChooser(HWND owner);

}  // namespace win32
