#pragma once

#include <utility>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Holds one COM reference to a T (an IUnknown-derived interface). Copying adds a
// reference; moving transfers it; destruction releases it. No implicit conversion and
// no comparison: the pointer is reached through Get() or ->.
template <typename T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_ != nullptr) {
            ptr_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr copy(other);
        std::swap(ptr_, copy.ptr_);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.ptr_, nullptr));
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over the reference the caller owns (as returned by an out-parameter).
    static ComPtr Adopt(T* ptr) noexcept {
        ComPtr result;
        result.ptr_ = ptr;
        return result;
    }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }

    // Releases the held reference and takes over `ptr`'s (already counted) reference.
    void Reset(T* ptr = nullptr) noexcept {
        T* old = std::exchange(ptr_, ptr);
        if (old != nullptr) {
            old->Release();
        }
    }
    // Gives the reference to the caller.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
    // Releases the held reference and returns the address for an out-parameter.
    T** Put() noexcept {
        Reset();
        return &ptr_;
    }
    // Put() for calls that take void** (QueryInterface, CoCreateInstance).
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  private:
    T* ptr_ = nullptr;
};

}  // namespace win32
