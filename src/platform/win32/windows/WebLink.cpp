#include "platform/win32/windows/WebLink.h"

#include <shellapi.h>

#include <string>

#include "ui/ControlTables.h"

namespace win32 {

void OpenWebPage(HWND panel) {
    // The address is plain ASCII, the same in every 8-bit code page.
    const std::string address(ui::kMakerWebAddress);
    // Default verb (null), no parameters (null), an empty (not null) working directory,
    // SW_SHOWDEFAULT. The result is deliberately ignored: a failure has no visible effect.
    (void)::ShellExecuteA(panel, nullptr, address.c_str(), nullptr, "", SW_SHOWDEFAULT);
}

}  // namespace win32
