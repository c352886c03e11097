#pragma once

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Owns one VARIANT and whatever it holds (string, array, object reference), cleared with
// VariantClear. Move-only.
class Variant {
  public:
    Variant() noexcept { ::VariantInit(&value_); }
    // Takes ownership of `value`'s contents; the caller must not clear it afterwards.
    static Variant Adopt(const VARIANT& value) noexcept;

    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { Reset(); }

    const VARIANT& Get() const noexcept { return value_; }
    VARTYPE Type() const noexcept { return value_.vt; }

    // Clears the held value and takes ownership of `value`'s contents.
    void Reset(const VARIANT& value) noexcept;
    // Clears the held value (back to VT_EMPTY).
    void Reset() noexcept;
    // Gives the contents to the caller, who must clear them; this becomes VT_EMPTY.
    [[nodiscard]] VARIANT Detach() noexcept;
    // Clears the held value and returns its address to be filled by an out-parameter.
    VARIANT* Put() noexcept;

  private:
    VARIANT value_;
};

}  // namespace win32
