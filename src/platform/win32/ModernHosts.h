#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/ModernHosts.h"

namespace win32 {

// The major product version of an executable: the high word of dwProductVersionMS in the
// fixed part of its version resource. Nothing when the file has no version resource or it
// cannot be read.
std::optional<int> ExecutableMajorVersion(const std::wstring& path);

// Every running process whose executable is named Rhino.exe, with its full path and major
// version. A process whose path cannot be read is left out.
std::vector<host::RunningExecutable> RunningModernHosts();

}  // namespace win32
