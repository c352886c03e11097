#include "platform/win32/base/MonotonicClock.h"

#include "platform/win32/base/StandInTickCount.h"

namespace win32 {

std::uint64_t MonotonicMilliseconds() {
    return TickCount64(SystemTickCount64());
}

}  // namespace win32
