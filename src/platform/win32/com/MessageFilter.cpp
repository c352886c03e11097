#include "platform/win32/com/MessageFilter.h"

#include <optional>

#include "platform/win32/base/QueuedInput.h"

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
    // While a call of ours is pending, COM waits for the reply in a loop that pumps the
    // thread's messages (the one CoWaitForMultipleHandles runs in a single-threaded
    // apartment) and calls this when a message arrives, leaving the message in the queue.
    // The answers, as documented: CANCELCALL fails the pending call with RPC_E_CALL_CANCELED
    // (for extreme cases only: the host may still run it); WAITNOPROCESS is marked unused,
    // formerly "wait, dispatch nothing, leave the messages queued for after the call"; with
    // WAITDEFPROCESS COM keeps waiting, dispatches WM_PAINT, handles task-switching and
    // activation messages, no longer dispatches keyboard and mouse messages and discards them
    // only where they could deadlock the system. Either answer to wait may thus leave input
    // queued: the host's own input waits behind it (a docked panel's thread shares the host's
    // input queue), and it runs once the call returns. The remarks have the caller flush the
    // queue itself when the callee keeps it waiting; input during a call of ours is never
    // wanted, so it is flushed here at once, and WAITDEFPROCESS keeps the painting.
    // https://learn.microsoft.com/windows/win32/api/objidl/nf-objidl-imessagefilter-messagepending
    DropQueuedInput();
    return PENDINGMSG_WAITDEFPROCESS;
}

}  // namespace win32
