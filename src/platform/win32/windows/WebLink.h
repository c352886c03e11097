#pragma once

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Opens the maker's web address with the shell's default action (normally the user's web
// browser), owned by `panel`. Returns at once; when the shell cannot open the address
// nothing visible happens and nothing is reported.
void OpenWebPage(HWND panel);

}  // namespace win32
