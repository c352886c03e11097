#include "hostsim/server/ComResource.h"

#include <charconv>

#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

std::string HexCode(unsigned long code) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, code, 16);
    return "0x" + std::string(buffer, result.ptr);
}

std::string Located(std::string_view what, std::source_location where) {
    std::string text(what);
    text += " (";
    text += where.file_name();
    text += ':';
    text += std::to_string(where.line());
    text += ')';
    return text;
}

}  // namespace

ComError::ComError(std::string what, HRESULT hr)
    : std::runtime_error(what + " failed: " + HexCode(static_cast<unsigned long>(hr))), hr_(hr) {}

void ThrowIfFailed(HRESULT hr, std::string_view what, std::source_location where) {
    if (FAILED(hr)) {
        throw ComError(Located(what, where), hr);
    }
}

void ThrowLastErrorIf(bool failed, std::string_view what, std::source_location where) {
    if (failed) {
        const DWORD error = GetLastError();
        throw ComError(Located(what, where), HRESULT_FROM_WIN32(error));
    }
}

Bstr::Bstr(std::wstring_view text) {
    if (text.size() > 0x7fffffffu) {
        throw std::length_error("text too long for a BSTR");
    }
    bstr_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!bstr_) {
        throw ComError("SysAllocStringLen", E_OUTOFMEMORY);
    }
}

Bstr Bstr::FromUtf8(std::string_view utf8) {
    return Bstr(Utf8ToWide(utf8));
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
    if (this != &other) {
        Reset(other.Detach());
    }
    return *this;
}

void Bstr::Reset(BSTR bstr) {
    if (BSTR old = std::exchange(bstr_, bstr)) {
        SysFreeString(old);
    }
}

BSTR* Bstr::Put() {
    Reset();
    return &bstr_;
}

std::wstring_view Bstr::View() const {
    if (!bstr_) {
        return {};
    }
    return std::wstring_view(bstr_, SysStringLen(bstr_));
}

Variant::Variant(Variant&& other) noexcept {
    v_ = other.v_;
    VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Reset();
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

Variant Variant::Copy() const {
    Variant copy;
    ThrowIfFailed(VariantCopy(&copy.v_, const_cast<VARIANT*>(&v_)), "VariantCopy");
    return copy;
}

VARIANT* Variant::Put() {
    Reset();
    return &v_;
}

void Variant::Reset() {
    // VariantClear fails only for a malformed variant; there is nothing better to do than
    // forget it, so the result is dropped.
    (void)VariantClear(&v_);
    VariantInit(&v_);
}

void Variant::Detach(VARIANT* out) {
    *out = v_;
    VariantInit(&v_);
}

SafeArray& SafeArray::operator=(SafeArray&& other) noexcept {
    if (this != &other) {
        Reset(other.Detach());
    }
    return *this;
}

void SafeArray::Reset(SAFEARRAY* array) {
    if (SAFEARRAY* old = std::exchange(array_, array)) {
        // Fails only for a locked array, which this wrapper never leaves behind.
        (void)SafeArrayDestroy(old);
    }
}

ComApartment::ComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ThrowIfFailed(hr, "CoInitializeEx");
    initialized_ = true;
}

ComApartment::~ComApartment() {
    if (initialized_) {
        CoUninitialize();
    }
}

}  // namespace hostsim
