#pragma once

#include "host/BusyPolicy.h"
#include "platform/win32/base/WinInclude.h"

namespace win32 {

// The tool's COM message filter, registered on the user-interface thread (a single-threaded
// apartment) for as long as this object lives, before the first call to the host. A host
// whose message filter turns a call away (SERVERCALL_RETRYLATER or SERVERCALL_REJECTED: an MFC
// application does so while its busy count is raised; whether a dialog box of the host turns
// calls away or runs them depends on the host) has the call retried as the BusyPolicy says:
// every 100 ms, silently, for 10 s, then the user is asked; a question (BusyPolicy::CallKind::
// Question) is given up at once. The call waited for is the policy's current one (the
// innermost BusyPolicy::CallScope). A call given up fails with RPC_E_CALL_REJECTED, which the
// call layer then does not wait for again (same policy). Incoming calls are all handled.
// While a call of ours is pending, the mouse and keyboard input that arrives for this thread
// is dropped and a mouse capture released (MessagePending), as in the call layer's own pause:
// no handler runs, neither during the call nor after it, and the host's input, whose queue a
// docked panel's thread shares, is not held up; paint keeps running.
//
// Lives on the stack of the thread's entry; the object is not reference-counted (COM's
// AddRef/Release are answered but do not free it). Never throws: a failure to register
// leaves COM's default behaviour, and the call layer still waits by the same policy.
class MessageFilter final : public IMessageFilter {
  public:
    // `policy` must outlive the filter. Registers the filter with CoRegisterMessageFilter.
    explicit MessageFilter(host::BusyPolicy& policy);
    // Restores the filter that was registered before.
    ~MessageFilter();
    MessageFilter(const MessageFilter&) = delete;
    MessageFilter& operator=(const MessageFilter&) = delete;

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
    host::BusyPolicy& policy_;
    IMessageFilter* previous_ = nullptr;
    bool registered_ = false;
};

}  // namespace win32
