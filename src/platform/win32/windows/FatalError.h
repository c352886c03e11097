#pragma once

#include <exception>

namespace win32 {

// The exit code of a run that a failure ended.
inline constexpr int kFatalErrorExitCode = 1;

// The program's last resort for a failure that no window reported (the panel could not be made,
// COM could not start): shows "Curtate could not run." and the failure's own words in the
// system's message box, which needs no window of ours, and returns kFatalErrorExitCode once the
// user has closed it.
int ReportFatalError(const std::exception& error) noexcept;

}  // namespace win32
