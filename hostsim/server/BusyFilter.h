#pragma once

#include <cstdint>

#include "hostsim/model/BusyPlan.h"
#include "hostsim/server/WinInclude.h"

namespace hostsim {

// Milliseconds on a steady clock, the time the busy plan is read on.
std::uint64_t SteadyMilliseconds();

// The server's COM message filter, registered on the server's thread while this object
// lives: while the busy plan says so for a filter means, an incoming call is answered
// SERVERCALL_REJECTED or SERVERCALL_RETRYLATER instead of being handled (as an MFC host
// answers while a modal dialog box is open). Everything else is handled. Not
// reference-counted; lives on the stack of RunHostServer.
class BusyFilter final : public IMessageFilter {
  public:
    // `plan` must outlive the filter.
    BusyFilter(BusyPlan& plan, std::uint64_t (*clock)());
    ~BusyFilter();
    BusyFilter(const BusyFilter&) = delete;
    BusyFilter& operator=(const BusyFilter&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType,
                                               HTASK caller,
                                               DWORD tickCount,
                                               LPINTERFACEINFO interfaceInfo) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

  private:
    BusyPlan& plan_;
    std::uint64_t (*clock_)();
    IMessageFilter* previous_ = nullptr;
    bool registered_ = false;
};

}  // namespace hostsim
