#pragma once
// Functions that not every supported Windows has, looked up at run time instead of imported:
// an import the system lacks stops the loader from starting the program at all.

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The function `name` of the already loaded system DLL `dll` (kernel32.dll, ...) as a pointer
// of type Function; null where the DLL is not loaded or lacks the function.
template <typename Function>
Function LoadedSystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = ::GetModuleHandleW(dll);
    const FARPROC found = module != nullptr ? ::GetProcAddress(module, name) : nullptr;
    // Through the generic function type, which the cast-function-type warning exempts.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace win32
