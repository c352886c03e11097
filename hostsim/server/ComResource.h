#pragma once

#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

// A failed COM or Win32 call of the server: what was called and its HRESULT.
class ComError : public std::runtime_error {
  public:
    ComError(std::string what, HRESULT hr);
    HRESULT Result() const { return hr_; }

  private:
    HRESULT hr_;
};

// Throws ComError naming `what` and the caller's line when hr is a failure.
void ThrowIfFailed(HRESULT hr, std::string_view what, std::source_location where = std::source_location::current());
// Throws ComError with HRESULT_FROM_WIN32(GetLastError()) when `failed` is true.
void ThrowLastErrorIf(bool failed, std::string_view what, std::source_location where = std::source_location::current());

// Owns a BSTR (SysFreeString). Null and "" are both the empty string to COM.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text);
    // Builds from UTF-8.
    static Bstr FromUtf8(std::string_view utf8);
    ~Bstr() { Reset(); }
    Bstr(Bstr&& other) noexcept : bstr_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return bstr_; }
    // Frees the current string and takes ownership of `bstr`.
    void Reset(BSTR bstr = nullptr);
    // Gives up ownership; the caller frees the result.
    BSTR Detach() { return std::exchange(bstr_, nullptr); }
    // Frees the current string and returns the address for an out-parameter.
    BSTR* Put();
    std::wstring_view View() const;

  private:
    BSTR bstr_ = nullptr;
};

// Owns a VARIANT: initialised empty, cleared with VariantClear. Copies are explicit.
class Variant {
  public:
    Variant() { VariantInit(&v_); }
    ~Variant() { Reset(); }
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    // Deep copy through VariantCopy; throws ComError on failure.
    Variant Copy() const;

    const VARIANT& Get() const { return v_; }
    VARIANT& Get() { return v_; }
    // Clears the current value and returns the address for an out-parameter.
    VARIANT* Put();
    // Clears the value, leaving VT_EMPTY.
    void Reset();
    // Moves the value into *out (which must hold nothing to free) and leaves this empty.
    void Detach(VARIANT* out);

  private:
    VARIANT v_;
};

// Owns a SAFEARRAY (SafeArrayDestroy).
class SafeArray {
  public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* array) : array_(array) {}
    ~SafeArray() { Reset(); }
    SafeArray(SafeArray&& other) noexcept : array_(other.Detach()) {}
    SafeArray& operator=(SafeArray&& other) noexcept;
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;

    SAFEARRAY* Get() const { return array_; }
    void Reset(SAFEARRAY* array = nullptr);
    SAFEARRAY* Detach() { return std::exchange(array_, nullptr); }

  private:
    SAFEARRAY* array_ = nullptr;
};

// Holds a COM interface pointer; a copy adds a reference.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) {
            p_->AddRef();
        }
    }
    ComPtr& operator=(const ComPtr& other) {
        if (this != &other) {
            ComPtr copy(other);
            std::swap(p_, copy.p_);
        }
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  private:
    T* p_ = nullptr;
};

// Initialises COM on this thread for its lifetime (apartment threaded); uninitialises only when
// the initialisation succeeded, S_FALSE included.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_ = false;
};

}  // namespace hostsim
