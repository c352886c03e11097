#pragma once

#include <cstdint>

#include "platform/win32/WinInclude.h"

namespace win32 {

// Docks the panel into the host's main window: SetParent(panel, hostWindow), then
// SetForegroundWindow(hostWindow). With a null host window the panel stays a top-level
// window and the foreground request has no effect. Results are not examined.
void Dock(HWND panel, HWND hostWindow);

// The host's 32-bit window handle as a window handle (sign-extended, as Windows does
// when a handle crosses between 32- and 64-bit code).
HWND HostWindowHandle(std::int32_t hostWindow);

}  // namespace win32
