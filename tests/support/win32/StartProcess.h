#pragma once

#include <string>

struct _PROCESS_INFORMATION;

namespace testing_support {

// CreateProcessW for the tests' child processes: no inherited handles, default start-up
// information, `workingDir` empty for the caller's own. Under Wine a start now and then fails
// with ERROR_INTERNAL_ERROR (twice in one run of the whole suite, which starts several hundred
// processes, in two unrelated tests); such a failure is tried again, up to twice, 250 ms
// apart. Any other failure returns at once. On failure returns false with the last error as
// CreateProcessW left it.
bool StartProcess(const std::wstring& exe,
                  const std::wstring& commandLine,
                  const std::wstring& workingDir,
                  _PROCESS_INFORMATION& info);

}  // namespace testing_support
