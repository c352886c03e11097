#pragma once

#include "platform/win32/base/WinInclude.h"

namespace win32 {

// Joins the calling thread to a COM apartment for the object's lifetime: one per thread,
// created before any COM object and destroyed after the last reference is released.
// Throws Win32Error when COM cannot be initialized (e.g. the thread already joined an
// apartment of the other model). CoUninitialize is called only after a successful
// initialize, S_FALSE (already initialized on this thread) included.
class ComApartment {
  public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED);
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();
};

}  // namespace win32
