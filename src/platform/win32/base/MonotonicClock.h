#pragma once

#include <cstdint>

namespace win32 {

// The program's clock for timing waits: milliseconds since the system started, never going
// back and not wrapping after 49.7 days as GetTickCount does. It ticks in the system timer's
// steps (10 to 16 ms). Kernel32's GetTickCount64 where the system has it, else its stand-in
// (StandInTickCount.h), so it runs on Windows XP as well.
std::uint64_t MonotonicMilliseconds();

}  // namespace win32
