#pragma once

#include <cstdint>
#include <optional>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/FormControls.h"
#include "platform/win32/windows/WindowClass.h"
#include "ui/ControlTables.h"

namespace win32 {

// The tool's small modal boxes (the information box, the busy box): a pop-up with a fixed
// dialog border and no title bar, its controls made from a form table, centred over its
// owner's window (no owner: the primary screen's work area) and kept on that screen.
class ModalBox : public FormWindow {
  public:
    HWND Control(std::uint16_t id) const { return controls_.Get(id); }
    HFONT Font() const { return controls_.Font(); }

  protected:
    explicit ModalBox(HWND owner) : owner_(owner) {}

    // Creates the box hidden from `spec`, then runs its load step: keep position and size,
    // above every window that is not topmost (PlaceForm). Called by the derived class's
    // constructor, so that the creation messages reach its HandleMessage. Throws Win32Error
    // when the window cannot be created.
    void CreateBox(const ui::FormSpec& spec);

    // The answer to a message that paints the box or its controls; nothing for any other.
    std::optional<LRESULT> PaintMessageAnswer(UINT message, WPARAM wParam, LPARAM lParam) {
        return controls_.PaintMessageAnswer(Hwnd(), message, wParam, lParam);
    }

    // Enter on the box's owner-drawn buttons: see FormControls::PressFocusedButtonOnEnter.
    bool PressFocusedButtonOnEnter(WPARAM commandWParam) const {
        return controls_.PressFocusedButtonOnEnter(commandWParam);
    }

    HWND Owner() const { return owner_; }

  private:
    HWND owner_;
    FormControls controls_;
};

}  // namespace win32
