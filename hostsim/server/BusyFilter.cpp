#include "hostsim/server/BusyFilter.h"

#include <chrono>

namespace hostsim {

std::uint64_t SteadyMilliseconds() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

BusyFilter::BusyFilter(BusyPlan& plan, std::uint64_t (*clock)()) : plan_(plan), clock_(clock) {
    registered_ = SUCCEEDED(CoRegisterMessageFilter(this, &previous_));
}

BusyFilter::~BusyFilter() {
    if (!registered_) {
        return;
    }
    IMessageFilter* ours = nullptr;
    (void)CoRegisterMessageFilter(previous_, &ours);  // nothing to mend if it fails
    if (previous_ != nullptr) {
        previous_->Release();
    }
}

HRESULT STDMETHODCALLTYPE BusyFilter::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE BusyFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    const std::uint64_t now = clock_();
    if (plan_.TurnsAway(now, BusyPlan::Means::FilterRejected)) {
        return SERVERCALL_REJECTED;
    }
    if (plan_.TurnsAway(now, BusyPlan::Means::FilterRetryLater)) {
        return SERVERCALL_RETRYLATER;
    }
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE BusyFilter::RetryRejectedCall(HTASK, DWORD, DWORD) {
    return static_cast<DWORD>(-1);  // the host makes no calls of its own that could be turned away
}

DWORD STDMETHODCALLTYPE BusyFilter::MessagePending(HTASK, DWORD, DWORD) {
    return PENDINGMSG_WAITDEFPROCESS;
}

}  // namespace hostsim
