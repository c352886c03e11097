#include "platform/win32/com/MessageFilter.h"

#include <optional>

namespace win32 {

namespace {

// RetryRejectedCall's answer that cancels the call (it then fails with RPC_E_CALL_REJECTED).
constexpr DWORD kCancelCall = static_cast<DWORD>(-1);

}  // namespace

MessageFilter::MessageFilter(host::BusyPolicy& policy) : policy_(policy) {
    registered_ = SUCCEEDED(::CoRegisterMessageFilter(this, &previous_));
}

MessageFilter::~MessageFilter() {
    if (!registered_) {
        return;
    }
    IMessageFilter* ours = nullptr;
    // Putting the previous filter back cannot fail in a way this destructor could mend.
    (void)::CoRegisterMessageFilter(previous_, &ours);
    if (previous_ != nullptr) {
        previous_->Release();  // COM added a reference when it handed it out
    }
}

HRESULT STDMETHODCALLTYPE MessageFilter::QueryInterface(REFIID iid, void** object) {
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

DWORD STDMETHODCALLTYPE MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD rejectType) {
    // Both answers come from a host that cannot take the call now (MFC answers RETRYLATER
    // while its busy count is raised, others REJECTED); both wait by the same rule. COM's
    // tick count is not used: the policy keeps its own time for the call, shared with the
    // call layer behind this filter.
    if (rejectType != SERVERCALL_RETRYLATER && rejectType != SERVERCALL_REJECTED) {
        return kCancelCall;
    }
    try {
        const std::optional<std::uint32_t> pause = policy_.OnBusy();
        return pause ? static_cast<DWORD>(*pause) : kCancelCall;
    } catch (...) {
        // No exception may leave a COM method; a question that could not be asked cancels.
        return kCancelCall;
    }
}

DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    // Paint and other window messages run; mouse and keyboard input waits until the call has
    // returned, so no second handler starts while one is waiting for the host.
    return PENDINGMSG_WAITDEFPROCESS;
}

}  // namespace win32
