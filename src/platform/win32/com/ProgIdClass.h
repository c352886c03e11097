#pragma once

#include <string_view>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// What this computer's registry says of a ProgID (CLSIDFromProgID).
struct ProgIdClass {
    // S_OK when the ProgID is registered; else why not (CO_E_CLASSSTRING, REGDB_E_CLASSNOTREG).
    HRESULT result = E_FAIL;
    // The class the ProgID names, when it is registered.
    CLSID clsid{};

    bool IsRegistered() const noexcept { return SUCCEEDED(result); }
};

// Looks `progId` (UTF-8) up in the registry.
ProgIdClass LookUpProgId(std::string_view progId);

}  // namespace win32
