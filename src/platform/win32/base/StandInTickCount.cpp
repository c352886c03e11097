#include "platform/win32/base/StandInTickCount.h"

#include "platform/win32/base/SystemFunction.h"

namespace win32 {

TickCount64Function SystemTickCount64() {
    static const auto function = LoadedSystemFunction<TickCount64Function>(L"kernel32.dll", "GetTickCount64");
    return function;
}

ULONGLONG TickCount64(TickCount64Function system) {
    if (system != nullptr) {
        return system();
    }
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&counter)) {
        return ::GetTickCount();
    }
    return CounterMilliseconds(static_cast<ULONGLONG>(counter.QuadPart), static_cast<ULONGLONG>(frequency.QuadPart));
}

ULONGLONG CounterMilliseconds(ULONGLONG ticks, ULONGLONG ticksPerSecond) {
    // Split so the product cannot overflow for any counter value.
    return ticks / ticksPerSecond * 1000 + ticks % ticksPerSecond * 1000 / ticksPerSecond;
}

}  // namespace win32
