#include "platform/win32/Docking.h"

#include <cstdint>

namespace win32 {

void Dock(HWND panel, HWND hostWindow) {
    (void)::SetParent(panel, hostWindow);  // not examined: an undocked panel still works
    if (hostWindow != nullptr) {
        (void)::SetForegroundWindow(hostWindow);  // may be refused by the foreground lock
    }
}

HWND HostWindowHandle(std::int32_t hostWindow) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(hostWindow));
}

}  // namespace win32
