#include "platform/win32/com/Variant.h"

namespace win32 {

// A VARIANT owns its contents through pointers only, so moving one is a bitwise copy
// followed by resetting the source to VT_EMPTY without clearing it.

Variant Variant::Adopt(const VARIANT& value) noexcept {
    Variant result;
    result.value_ = value;
    return result;
}

Variant::Variant(Variant&& other) noexcept : value_(other.Detach()) {}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Reset(other.Detach());
    }
    return *this;
}

void Variant::Reset(const VARIANT& value) noexcept {
    Reset();
    value_ = value;
}

void Variant::Reset() noexcept {
    // VariantClear fails only for types it cannot clear (a malformed VARIANT); the value
    // is forgotten either way.
    (void)::VariantClear(&value_);
    ::VariantInit(&value_);
}

VARIANT Variant::Detach() noexcept {
    VARIANT out = value_;
    ::VariantInit(&value_);
    return out;
}

VARIANT* Variant::Put() noexcept {
    Reset();
    return &value_;
}

}  // namespace win32
