#pragma once

#include <utility>

#include "hostsim/server/WinInclude.h"

namespace hostsim {

// Owns a GDI object (pen, brush, bitmap, font) and deletes it with DeleteObject.
template <typename T>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.object_, nullptr));
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return object_; }
    void Reset(T object = nullptr) {
        if (T old = std::exchange(object_, object)) {
            DeleteObject(old);
        }
    }

  private:
    T object_ = nullptr;
};

// Owns a memory device context (DeleteDC).
class MemoryDc {
  public:
    MemoryDc() = default;
    explicit MemoryDc(HDC dc) : dc_(dc) {}
    ~MemoryDc() { Reset(); }
    MemoryDc(MemoryDc&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDc& operator=(MemoryDc&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.dc_, nullptr));
        }
        return *this;
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }
    void Reset(HDC dc = nullptr) {
        if (HDC old = std::exchange(dc_, dc)) {
            DeleteDC(old);
        }
    }

  private:
    HDC dc_ = nullptr;
};

// Selects an object into a DC for this scope and selects the previous one back at its end.
class SelectionScope {
  public:
    SelectionScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectionScope() { SelectObject(dc_, previous_); }
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace hostsim
