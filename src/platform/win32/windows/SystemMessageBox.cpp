#include "platform/win32/windows/SystemMessageBox.h"

namespace win32 {

void ShowSystemMessageBox(const wchar_t* text, const wchar_t* caption, UINT flags) noexcept {
    (void)::MessageBoxW(nullptr, text, caption, MB_OK | MB_TASKMODAL | flags);  // only OK to answer
}

}  // namespace win32
