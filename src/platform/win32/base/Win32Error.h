#pragma once

#include <cstdint>
#include <source_location>
#include <stdexcept>
#include <string>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// A Windows or COM call that failed: the API's name, its error code (a GetLastError
// value, or an HRESULT from ThrowIfFailed) and where in our code it was called.
class Win32Error : public std::runtime_error {
  public:
    Win32Error(std::string api, std::uint32_t code, const std::source_location& where);

    const std::string& Api() const { return api_; }
    std::uint32_t Code() const { return code_; }
    const std::source_location& Where() const { return where_; }

  private:
    std::string api_;
    std::uint32_t code_;
    std::source_location where_;
};

// The system's text for an HRESULT or GetLastError code, in UTF-8 without the trailing
// line break; empty when the system has none.
std::string SystemMessage(std::uint32_t code);

// Throws Win32Error(what, hr) when `hr` is a failure; S_FALSE and other successes pass.
inline void ThrowIfFailed(HRESULT hr,
                          const char* what,
                          const std::source_location& where = std::source_location::current()) {
    if (FAILED(hr)) {
        throw Win32Error(what, static_cast<std::uint32_t>(hr), where);
    }
}

// Throws Win32Error(what, GetLastError()) when `failed` is true. Evaluate the failing
// call in the argument itself, so nothing runs between it and GetLastError.
inline void ThrowLastErrorIf(bool failed,
                             const char* what,
                             const std::source_location& where = std::source_location::current()) {
    if (failed) {
        const DWORD code = ::GetLastError();
        throw Win32Error(what, code, where);
    }
}

}  // namespace win32
