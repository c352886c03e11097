#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/HostError.h"
#include "host/Dispatcher.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComPtr.h"
#include "platform/win32/com/Variant.h"

namespace win32 {

// The host::Dispatcher over one IDispatch: late-bound calls by name, the way a script
// makes them. Each name is looked up once with GetIDsOfNames and remembered; methods are
// invoked with DISPATCH_METHOD | DISPATCH_PROPERTYGET (so a property read as a method
// works), properties set with DISPATCH_PROPERTYPUT. Arguments and answers go through
// ToVariant/ToHostValue. Every failure throws common::HostError naming the operation:
//   - the host raised an error (DISP_E_EXCEPTION): its own description and source;
//   - the host process is gone or no longer answers: Cause::HostGone;
//   - the host turned the call away as busy (RPC_E_CALL_REJECTED, RPC_E_SERVERCALL_RETRYLATER,
//     also as an exception's code): Cause::Busy; waiting and asking are the caller's
//     (host::PatientDispatcher, and the message filter before it);
//   - anything else: the HRESULT in hex with the system's text.
// Not thread-safe: used on the thread (apartment) that obtained the object.
class ComDispatcher final : public host::Dispatcher {
  public:
    // `object` must not be null.
    explicit ComDispatcher(ComPtr<IDispatch> object);

    common::HostValue Call(const std::string& name, const std::vector<common::HostValue>& args) override;
    void Put(const std::string& name, const common::HostValue& value) override;
    // The answer must be an object (VT_DISPATCH, or VT_UNKNOWN that gives IDispatch).
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override;

  private:
    DISPID DispidOf(const std::string& name);
    // Invokes `name` with `flags`; `args` in call order. Returns the raw answer.
    Variant Invoke(const std::string& name, WORD flags, const std::vector<common::HostValue>& args, bool propertyPut);

    ComPtr<IDispatch> object_;
    std::map<std::string, DISPID> dispids_;
};

// True for the HRESULTs that mean the host's process ended or its RPC channel broke.
bool IsHostGone(HRESULT hr) noexcept;
// True for the HRESULTs of a call the host turned away because it is busy.
bool IsHostBusy(HRESULT hr) noexcept;

// Creates automation objects as local servers on this machine (never a remote one).
class ComObjectCreator final : public host::ObjectCreator {
  public:
    // CLSIDFromProgID, then CoCreateInstance(CLSCTX_LOCAL_SERVER) for IDispatch. Throws
    // common::HostError (operation "CreateObject") when the ProgID is not registered or
    // the server cannot be started or gives no IDispatch. COM must be initialized on the
    // calling thread.
    std::unique_ptr<host::Dispatcher> CreateObject(const std::string& progId) override;
};

}  // namespace win32
