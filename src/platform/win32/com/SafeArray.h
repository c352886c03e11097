#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Owns one SAFEARRAY, destroyed with SafeArrayDestroy (which frees its elements too).
// Move-only.
class SafeArray {
  public:
    SafeArray() noexcept = default;
    // Takes ownership of `array` (which may be null).
    explicit SafeArray(SAFEARRAY* array) noexcept : array_(array) {}
    SafeArray(SafeArray&& other) noexcept;
    SafeArray& operator=(SafeArray&& other) noexcept;
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() { Reset(); }

    SAFEARRAY* Get() const noexcept { return array_; }
    void Reset(SAFEARRAY* array = nullptr) noexcept;
    [[nodiscard]] SAFEARRAY* Detach() noexcept;
    SAFEARRAY** Put() noexcept;

  private:
    SAFEARRAY* array_ = nullptr;
};

// One dimension of a SAFEARRAY as read with SafeArrayGetLBound/SafeArrayGetUBound.
struct SafeArrayDimension {
    LONG lower = 0;
    std::uint32_t count = 0;
};

// The dimensions of `array` in subscript order (dimension 1 first, the order of the
// indices SafeArrayGetElement takes). Throws Win32Error when a bound cannot be read.
std::vector<SafeArrayDimension> SafeArrayDimensions(SAFEARRAY* array);

// Keeps a SAFEARRAY's data accessible (SafeArrayAccessData) for the scope and gives it
// back with SafeArrayUnaccessData; while it lives the array cannot be destroyed or
// resized. Throws Win32Error when access is refused. Does not own the array.
class SafeArrayLock {
  public:
    explicit SafeArrayLock(SAFEARRAY* array);
    SafeArrayLock(const SafeArrayLock&) = delete;
    SafeArrayLock& operator=(const SafeArrayLock&) = delete;
    ~SafeArrayLock();

    // The element storage. Elements lie with the first subscript varying fastest; index
    // from each dimension's lower bound, never from 0.
    void* Data() const noexcept { return data_; }

  private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

}  // namespace win32
