#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// A process as the system's process snapshot lists it: its id and the executable name of its
// 8-bit snapshot record (the bare file name on the NT family, the full path on the 9x family,
// which has only the 8-bit record).
struct SnapshotProcess {
    std::uint32_t processId = 0;
    std::string executable;
};

// Every running process, in the snapshot's order; nothing when no snapshot can be taken.
std::vector<SnapshotProcess> SnapshotProcesses();

// The full path of a module of `process` (opened with query and read access); the executable's
// when `module` is null. Nothing when it cannot be read or would be cut.
std::optional<std::wstring> ModuleFileName(HANDLE process, HMODULE module);

// QueryFullProcessImageNameW of kernel32 (Windows Vista on), looked up at run time so that the
// 32-bit build still starts on Windows XP; null where the system lacks it.
using QueryFullProcessImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
QueryFullProcessImageNameFunction SystemQueryFullProcessImageName();

// The full path of a process's executable, or nothing when the process cannot be opened or its
// path read: through `query` (QueryFullProcessImageNameW, which also reads a 64-bit process from
// a 32-bit one), or where that is null through ModuleFileName (the process's own bitness or a
// 32-bit one only).
std::optional<std::wstring> ExecutablePath(std::uint32_t processId,
                                           QueryFullProcessImageNameFunction query = SystemQueryFullProcessImageName());

// Whether a process runs as a 64-bit program: on 64-bit Windows every process that does not run
// under WOW64 (IsWow64Process), on 32-bit Windows none. A process that cannot be asked is
// taken to have the system's own bitness.
bool Is64BitProcess(std::uint32_t processId);

// The major product version of an executable: the high word of dwProductVersionMS in the
// fixed part of its version resource. Nothing when the file has no version resource or it
// cannot be read.
std::optional<int> ExecutableMajorVersion(const std::wstring& path);

}  // namespace win32
