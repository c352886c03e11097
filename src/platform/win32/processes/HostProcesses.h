#pragma once

#include <cstdint>
#include <vector>

#include "host/ModernHosts.h"

namespace win32 {

// The platform family from GetVersionExA: 1 for the Windows 95/98/ME family, 2 for the
// NT family, 0 when the call failed.
std::uint32_t GetPlatformId();

// The census of running host processes, 1000 × (Rhino 4 processes) + (Rhino 3
// processes): by the process-status route on the NT family, by the process snapshot on
// the 9x family, 0 on any other. Never fails; what cannot be read is not counted.
std::int32_t CountHostProcesses();

// The two routes on their own. On the NT family both work, so each can be checked
// against the other.
std::int32_t CountHostProcessesByProcessStatus();
std::int32_t CountHostProcessesBySnapshot();

// Every running process whose executable is named Rhino.exe, with its full path, major
// version, id and bitness. A process whose path cannot be read is left out.
std::vector<host::RunningExecutable> RunningModernHosts();

}  // namespace win32
