#pragma once

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/ModalBox.h"

namespace win32 {

// The box that asks what to do about a busy Rhino: a small modal window like the
// information box (fixed dialog border, no title bar, 4470 x 1305 twips on light grey),
// saying ui::kBusyBoxMessage above "Retry" and "Cancel". Enter presses the focused button
// (Retry when the box opens), Esc answers Cancel; Alt+F4 does nothing. Constructing it
// creates and loads it; AskRetry() runs it and destroys it.
class BusyBox : public ModalBox {
  public:
    // Creates the box hidden, centred over `owner`'s window and kept on its screen, then
    // runs its load step: PlaceForm(topmost). Throws Win32Error when it cannot be created.
    explicit BusyBox(HWND owner);

    // Shows the box modally (see RunModal: ModalDisabledWindow(owner) takes no input) and
    // returns true when "Retry" was chosen, false for "Cancel".
    bool AskRetry();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    enum class Answer { None, Retry, Cancel };

    Answer answer_ = Answer::None;
};

}  // namespace win32
