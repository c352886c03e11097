#include "platform/win32/com/SafeArray.h"

#include <utility>

#include "platform/win32/base/Win32Error.h"

namespace win32 {

SafeArray::SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}

SafeArray& SafeArray::operator=(SafeArray&& other) noexcept {
    if (this != &other) {
        Reset(std::exchange(other.array_, nullptr));
    }
    return *this;
}

void SafeArray::Reset(SAFEARRAY* array) noexcept {
    SAFEARRAY* old = std::exchange(array_, array);
    if (old != nullptr) {
        // Fails only for a locked array, which this owner never leaves behind.
        (void)::SafeArrayDestroy(old);
    }
}

SAFEARRAY* SafeArray::Detach() noexcept {
    return std::exchange(array_, nullptr);
}

SAFEARRAY** SafeArray::Put() noexcept {
    Reset();
    return &array_;
}

std::vector<SafeArrayDimension> SafeArrayDimensions(SAFEARRAY* array) {
    const UINT dimensions = ::SafeArrayGetDim(array);
    std::vector<SafeArrayDimension> result;
    result.reserve(dimensions);
    for (UINT d = 1; d <= dimensions; ++d) {
        LONG lower = 0;
        LONG upper = 0;
        ThrowIfFailed(::SafeArrayGetLBound(array, d, &lower), "SafeArrayGetLBound");
        ThrowIfFailed(::SafeArrayGetUBound(array, d, &upper), "SafeArrayGetUBound");
        const std::int64_t count = static_cast<std::int64_t>(upper) - lower + 1;
        result.push_back({lower, count > 0 ? static_cast<std::uint32_t>(count) : 0u});
    }
    return result;
}

SafeArrayLock::SafeArrayLock(SAFEARRAY* array) : array_(array) {
    ThrowIfFailed(::SafeArrayAccessData(array_, &data_), "SafeArrayAccessData");
}

SafeArrayLock::~SafeArrayLock() {
    (void)::SafeArrayUnaccessData(array_);  // pairs the successful access of the constructor
}

}  // namespace win32
