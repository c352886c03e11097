#include "platform/win32/windows/FatalError.h"

#include <string>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/WinInclude.h"

namespace win32 {

int ReportFatalError(const std::exception& error) noexcept {
    try {
        const std::wstring text = L"Curtate could not run.\n\n" + Utf8ToWide(error.what());
        // No owner: no window of the tool may exist any more; modal for the whole task instead.
        (void)::MessageBoxW(nullptr, text.c_str(), L"Curtate", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    } catch (...) {
        // Not even the text could be made: the exit code alone tells the failure.
        (void)::MessageBoxW(nullptr, L"Curtate could not run.", L"Curtate", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
    return kFatalErrorExitCode;
}

}  // namespace win32
