#include "platform/win32/com/ComApartment.h"

#include "platform/win32/base/Win32Error.h"

namespace win32 {

ComApartment::ComApartment(DWORD model) {
    // Every successful call, S_FALSE included, adds one to the thread's count and must be
    // balanced by one CoUninitialize; a failed one must not be. Throwing from here means
    // the destructor does not run.
    ThrowIfFailed(::CoInitializeEx(nullptr, model), "CoInitializeEx");
}

ComApartment::~ComApartment() {
    ::CoUninitialize();
}

}  // namespace win32
