#pragma once

#include <utility>

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Owns one handle and closes it exactly once. The traits state the contract of one
// handle kind:
//   using Handle = ...;                 the stored value
//   static Handle Invalid() noexcept;   the value that owns nothing
//   static bool IsValid(Handle) noexcept;
//   static void Close(Handle) noexcept; frees a valid handle
// Move-only, no implicit conversion and no comparison: the handle is reached through Get().
template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
    // Takes ownership of `handle` (which may be invalid).
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Detach());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const noexcept { return handle_; }
    bool IsValid() const noexcept { return Traits::IsValid(handle_); }

    // Closes the owned handle, if any, and takes ownership of `handle`.
    void Reset(Handle handle = Traits::Invalid()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old)) {
            Traits::Close(old);
        }
    }

    // Gives up ownership without closing: the caller now owns the returned handle.
    [[nodiscard]] Handle Detach() noexcept { return std::exchange(handle_, Traits::Invalid()); }

    // Closes the owned handle and returns the address to receive a new one from an
    // out-parameter.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }

  private:
    Handle handle_;
};

// A kernel handle for which null means "none", closed with CloseHandle: OpenProcess and most
// Create* calls (CreateMutexW, CreateProcessW's handles).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { (void)::CloseHandle(h); }  // nothing to do if it fails
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
// The same contract, for a process opened or started.
using UniqueProcessHandle = UniqueHandle<KernelHandleTraits>;

// Text the system allocated with LocalAlloc (FormatMessageW's FORMAT_MESSAGE_ALLOCATE_BUFFER),
// freed with LocalFree.
struct LocalTextTraits {
    using Handle = wchar_t*;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { (void)::LocalFree(h); }  // nothing to do if it fails
};
using UniqueLocalText = UniqueHandle<LocalTextTraits>;

// A kernel handle for which INVALID_HANDLE_VALUE means "none": CreateToolhelp32Snapshot
// (and CreateFileW).
struct SnapshotHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) noexcept { (void)::CloseHandle(h); }  // nothing to do if it fails
};
using UniqueSnapshotHandle = UniqueHandle<SnapshotHandleTraits>;

// A device context from GetDC/GetWindowDC, returned to its window with ReleaseDC.
struct WindowDc {
    HWND hwnd = nullptr;
    HDC hdc = nullptr;
};
struct WindowDcTraits {
    using Handle = WindowDc;
    static Handle Invalid() noexcept { return {}; }
    static bool IsValid(Handle h) noexcept { return h.hdc != nullptr; }
    static void Close(Handle h) noexcept { (void)::ReleaseDC(h.hwnd, h.hdc); }  // nothing to do if it fails
};
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;

// GetDC(hwnd) owned until the scope ends; not valid when GetDC failed.
inline UniqueWindowDc HwndGetDc(HWND hwnd) {
    return UniqueWindowDc(WindowDc{hwnd, ::GetDC(hwnd)});
}

// A device context from CreateCompatibleDC/CreateDCW, freed with DeleteDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { (void)::DeleteDC(h); }  // nothing to do if it fails
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

// A pen, brush, font, bitmap or region, freed with DeleteObject. It must not be selected
// into a device context when it is freed: declare it before the SelectionScope that
// selects it, so the selection is undone first.
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { (void)::DeleteObject(h); }  // nothing to do if it fails
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;

// Selects a GDI object into a device context and selects the previous one back when the
// scope ends. Does not own either object.
class SelectionScope {
  public:
    SelectionScope(HDC hdc, HGDIOBJ object) noexcept : hdc_(hdc), previous_(::SelectObject(hdc, object)) {}
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;
    ~SelectionScope() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            (void)::SelectObject(hdc_, previous_);  // the DC keeps working either way
        }
    }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

}  // namespace win32
