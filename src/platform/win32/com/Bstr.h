#pragma once

#include <string>
#include <string_view>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Owns one BSTR (SysAllocString memory); null means "no string" and reads as empty.
// Move-only.
class Bstr {
  public:
    Bstr() noexcept = default;
    // A copy of `text`; throws std::bad_alloc when the system has no memory for it.
    explicit Bstr(std::wstring_view text);
    static Bstr FromUtf8(std::string_view text);

    Bstr(Bstr&& other) noexcept;
    Bstr& operator=(Bstr&& other) noexcept;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { Reset(); }

    BSTR Get() const noexcept { return value_; }
    // Frees the owned string and takes ownership of `value`.
    void Reset(BSTR value = nullptr) noexcept;
    [[nodiscard]] BSTR Detach() noexcept;
    // Frees the owned string and returns the address for an out-parameter.
    BSTR* Put() noexcept;

    // The characters by the BSTR's own length (embedded NULs included).
    std::wstring_view View() const noexcept;

  private:
    BSTR value_ = nullptr;
};

// The text of a BSTR the caller does not own, by its length; empty for null.
std::wstring_view BstrView(BSTR value) noexcept;

}  // namespace win32
