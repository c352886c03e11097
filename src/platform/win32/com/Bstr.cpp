#include "platform/win32/com/Bstr.h"

#include <climits>
#include <new>
#include <utility>

#include "platform/win32/base/TextConversion.h"

namespace win32 {

Bstr::Bstr(std::wstring_view text) {
    if (text.size() > static_cast<std::size_t>(UINT_MAX / sizeof(wchar_t))) {
        throw std::bad_alloc();
    }
    value_ = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (value_ == nullptr) {
        throw std::bad_alloc();
    }
}

Bstr Bstr::FromUtf8(std::string_view text) {
    // Converted straight into the BSTR's own buffer: a command text of megabytes is not held
    // once more in UTF-16 on its way to the host.
    const int length = Utf8WideLength(text);
    Bstr result;
    result.value_ = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (result.value_ == nullptr) {
        throw std::bad_alloc();
    }
    Utf8ToWideInto(text, result.value_, length);
    return result;
}

Bstr::Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        Reset(std::exchange(other.value_, nullptr));
    }
    return *this;
}

void Bstr::Reset(BSTR value) noexcept {
    BSTR old = std::exchange(value_, value);
    ::SysFreeString(old);  // accepts null
}

BSTR Bstr::Detach() noexcept {
    return std::exchange(value_, nullptr);
}

BSTR* Bstr::Put() noexcept {
    Reset();
    return &value_;
}

std::wstring_view Bstr::View() const noexcept {
    return BstrView(value_);
}

std::wstring_view BstrView(BSTR value) noexcept {
    if (value == nullptr) {
        return {};
    }
    return std::wstring_view(value, ::SysStringLen(value));
}

}  // namespace win32
