#pragma once
// GetTickCount64, which kernel32 has from Windows Vista on, answered on Windows XP as well (see
// xp/TickCount64.cpp, which hands it to the runtime in place of kernel32's import).

#include "platform/win32/base/WinInclude.h"

namespace win32 {

using TickCount64Function = ULONGLONG(WINAPI*)();

// kernel32's GetTickCount64, looked up at run time; null where the system lacks it.
TickCount64Function SystemTickCount64();

// Milliseconds since the system started: through `system` (GetTickCount64) when it is not null,
// else counted from the performance counter, which Windows XP has and which, unlike
// GetTickCount, does not wrap after 49.7 days (GetTickCount only where there is no counter).
ULONGLONG TickCount64(TickCount64Function system);

// `ticks` of a counter running at `ticksPerSecond` (not 0) in whole milliseconds, rounded down,
// for every 64-bit count without overflow.
ULONGLONG CounterMilliseconds(ULONGLONG ticks, ULONGLONG ticksPerSecond);

}  // namespace win32
