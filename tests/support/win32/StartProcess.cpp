#include "StartProcess.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testing_support {

namespace {

constexpr int kAttempts = 3;
constexpr DWORD kPauseMs = 250;

}  // namespace

bool StartProcess(const std::wstring& exe,
                  const std::wstring& commandLine,
                  const std::wstring& workingDir,
                  PROCESS_INFORMATION& info) {
    for (int attempt = 1;; ++attempt) {
        std::wstring writable = commandLine;  // CreateProcessW may write into it
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        info = PROCESS_INFORMATION{};
        if (::CreateProcessW(exe.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(kPauseMs);
    }
}

}  // namespace testing_support
