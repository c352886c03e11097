#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/ModernHosts.h"

namespace win32 {

// The full path of a process's executable, or nothing when the process cannot be opened or its
// path read: through QueryFullProcessImageNameW where the system has it (Windows Vista on; it
// also reads a 64-bit process from a 32-bit one), else through ProcessImagePathByModule.
std::optional<std::wstring> ProcessImagePath(std::uint32_t processId);

// The Windows XP route on its own: the process-status module path of the process's executable
// (the process's own bitness or a 32-bit one only).
std::optional<std::wstring> ProcessImagePathByModule(std::uint32_t processId);

// The major product version of an executable: the high word of dwProductVersionMS in the
// fixed part of its version resource. Nothing when the file has no version resource or it
// cannot be read.
std::optional<int> ExecutableMajorVersion(const std::wstring& path);

// Every running process whose executable is named Rhino.exe, with its full path and major
// version. A process whose path cannot be read is left out.
std::vector<host::RunningExecutable> RunningModernHosts();

}  // namespace win32
