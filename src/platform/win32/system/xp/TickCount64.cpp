// GetTickCount64 for the 32-bit build, which starts on Windows XP.
//
// The static thread runtime of the posix-thread compilers (winpthreads) imports
// GetTickCount64, which kernel32 has from Windows Vista on; with that import the loader of
// Windows XP refuses to start the program. This object defines the import's pointer itself, so
// the linker takes it instead of kernel32's import entry: it calls kernel32's GetTickCount64
// where the system has one and otherwise counts milliseconds from the performance counter,
// which Windows XP has and which, unlike GetTickCount, does not wrap after 49.7 days.
//
// Linked straight into the executable (not through a library), so it precedes the import
// libraries; built only where the executable's oldest Windows is older than Vista.
#include "platform/win32/base/SystemFunction.h"
#include "platform/win32/base/WinInclude.h"

namespace {

ULONGLONG WINAPI MillisecondsSinceStart() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&counter)) {
        return ::GetTickCount();
    }
    const auto ticks = static_cast<ULONGLONG>(counter.QuadPart);
    const auto perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
    // Split so the product cannot overflow for any counter value.
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI TickCount64() {
    static const TickCount64Function function =
        win32::LoadedSystemFunction<TickCount64Function>(L"kernel32.dll", "GetTickCount64");
    return function != nullptr ? function() : MillisecondsSinceStart();
}

}  // namespace

// The import pointer the runtime calls through: __imp__GetTickCount64@0 (stdcall, no arguments).
extern "C" {
extern TickCount64Function const curtateTickCount64Import __asm__("__imp__GetTickCount64@0");
TickCount64Function const curtateTickCount64Import = &TickCount64;
}
