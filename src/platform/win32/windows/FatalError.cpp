#include "platform/win32/windows/FatalError.h"

#include <string>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/windows/SystemMessageBox.h"

namespace win32 {

int ReportFatalError(const std::exception& error) noexcept {
    try {
        const std::wstring text = L"Curtate could not run.\n\n" + Utf8ToWide(error.what());
        ShowSystemMessageBox(text.c_str(), L"Curtate", MB_ICONERROR | MB_SETFOREGROUND);
    } catch (...) {
        // Not even the text could be made: the exit code alone tells the failure.
        ShowSystemMessageBox(L"Curtate could not run.", L"Curtate", MB_ICONERROR);
    }
    return kFatalErrorExitCode;
}

}  // namespace win32
