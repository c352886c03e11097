#pragma once

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Shows `text` under `caption` in the system's message box with only OK to answer, and returns
// once the user has closed it. The box has no owner, since no window of the tool may exist or be
// shown, and is modal for the whole task instead. `flags` adds an icon or MB_SETFOREGROUND.
void ShowSystemMessageBox(const wchar_t* text, const wchar_t* caption, UINT flags) noexcept;

}  // namespace win32
