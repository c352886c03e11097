#pragma once

#include <string>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/ModalBox.h"

namespace win32 {

// The information box: a small modal window with a fixed dialog border and no title bar,
// client area 4470 x 1305 twips on light grey, showing one message (Label1, wrapped at
// word boundaries) above a light-red "OK", with the maker's logo at the left. Its only
// way out is "OK" (Alt+F4 and Esc do nothing). One box per message: constructing it
// creates and loads it, ShowModal() runs it and destroys it when "OK" is clicked.
class MyInfoBox : public ModalBox {
  public:
    // Creates the box hidden, centred over `owner`'s window (no owner: centred on the
    // primary screen's work area) and kept on that screen, then runs its load step:
    // PlaceForm(topmost). Throws Win32Error when the window cannot be created.
    explicit MyInfoBox(HWND owner);

    // Sets Label1's caption: the message.
    void SetMessage(const std::string& message);

    // Shows the box modally (see RunModal: ModalDisabledWindow(owner) takes no input) and
    // returns once "OK" has been clicked and the box destroyed.
    void ShowModal();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool okClicked_ = false;
};

// Shows `message` in a fresh information box owned by `owner` (null: no owner) and
// returns when the user has clicked "OK".
void ShowInfoBox(HWND owner, const std::string& message);

}  // namespace win32
