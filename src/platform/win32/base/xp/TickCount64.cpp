// GetTickCount64 for the 32-bit build, which starts on Windows XP.
//
// The static thread runtime of the posix-thread compilers (winpthreads) imports
// GetTickCount64, which kernel32 has from Windows Vista on; with that import the loader of
// Windows XP refuses to start the program. This object defines the import's pointer itself, so
// the linker takes it instead of kernel32's import entry: it calls kernel32's GetTickCount64
// where the system has one and otherwise the stand-in of StandInTickCount.h.
//
// Linked straight into the executable (not through a library), so it precedes the import
// libraries; built only where the executable's oldest Windows is older than Vista.
#include "platform/win32/base/StandInTickCount.h"

namespace {

ULONGLONG WINAPI TickCount64() {
    return win32::TickCount64(win32::SystemTickCount64());
}

}  // namespace

// The import pointer the runtime calls through: __imp__GetTickCount64@0 (stdcall, no arguments).
extern "C" {
extern win32::TickCount64Function const curtateTickCount64Import __asm__("__imp__GetTickCount64@0");
win32::TickCount64Function const curtateTickCount64Import = &TickCount64;
}
