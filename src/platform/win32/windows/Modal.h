#pragma once

#include <functional>

#include "platform/win32/base/WinInclude.h"
#include "platform/win32/windows/WindowClass.h"

namespace win32 {

// The window that a modal window owned by `owner` disables while it is shown: the tool's
// form that contains `owner`. For a panel docked into the host's main window that is the
// panel itself, never the host window around it (which belongs to another process).
// Null when there is no owner.
HWND ModalDisabledWindow(HWND owner);

// Shows `modal` and runs a nested message loop until `finished()` returns true, the modal
// window is destroyed or WM_QUIT arrives (posted again for the outer loop). Meanwhile
// ModalDisabledWindow(owner) takes no input. On the way out the disabled window is
// enabled again *before* the modal window is destroyed, so that activation returns to it
// rather than to some other application's window.
void RunModal(FormWindow& modal, HWND owner, const std::function<bool()>& finished);

}  // namespace win32
