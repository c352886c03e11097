#pragma once

#include "host/BusyPolicy.h"
#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The busy rule's platform on the user-interface thread: the steady clock, a pause that
// keeps the tool's windows painted (PauseLettingPaintRun), and the question in a BusyBox
// owned by the panel.
class BusyWait final : public host::BusyWaitPlatform {
  public:
    // `owner`: the panel window that owns the question (null: no owner).
    explicit BusyWait(HWND owner) : owner_(owner) {}

    std::uint64_t NowMilliseconds() override;
    void Pause(std::uint32_t milliseconds) override;
    bool AskRetryWhileBusy() override;

  private:
    HWND owner_;
};

}  // namespace win32
