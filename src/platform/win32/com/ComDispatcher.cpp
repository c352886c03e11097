#include "platform/win32/com/ComDispatcher.h"

#include <stdexcept>
#include <utility>

#include "common/NumberText.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/com/Bstr.h"
#include "platform/win32/com/ProgIdClass.h"
#include "platform/win32/com/VariantConvert.h"

namespace win32 {

namespace {

using common::HostError;
using common::HostValue;

constexpr const char* kHostGoneText = "Rhino is no longer running or stopped answering";
constexpr const char* kHostBusyText = "Rhino is busy";

// Owns the strings an Invoke may leave in an EXCEPINFO.
class ExceptionInfo {
  public:
    ExceptionInfo() noexcept { info_ = EXCEPINFO{}; }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo() {
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
    }

    EXCEPINFO* Put() noexcept { return &info_; }

    // Fills in the fields a server left to be filled on demand.
    void Complete() noexcept {
        if (info_.pfnDeferredFillIn != nullptr) {
            // The callback's own result says nothing more than the fields it fills.
            (void)info_.pfnDeferredFillIn(&info_);
            info_.pfnDeferredFillIn = nullptr;
        }
    }

    std::string Description() const { return WideToUtf8(BstrView(info_.bstrDescription)); }
    std::string Source() const { return WideToUtf8(BstrView(info_.bstrSource)); }
    // The error code the server reported: scode, or the wCode form of it.
    HRESULT Code() const noexcept {
        if (info_.scode != 0) {
            return info_.scode;
        }
        return info_.wCode != 0 ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, info_.wCode) : DISP_E_EXCEPTION;
    }

  private:
    EXCEPINFO info_;
};

// The HostError for a failed call of `operation` (neither DISP_E_EXCEPTION nor a host
// error of its own): HostGone for the IsHostGone codes, Busy for the IsHostBusy codes,
// otherwise the code in hex with the system's text and `detail` when given.
HostError HostErrorFor(const std::string& operation, HRESULT hr, const std::string& detail = {}) {
    const auto code = static_cast<std::uint32_t>(hr);
    if (IsHostBusy(hr)) {
        return HostError(operation, std::string(kHostBusyText) + " (" + common::HexCodeText(code) + ")",
                         HostError::Cause::Busy, static_cast<std::int32_t>(hr));
    }
    if (IsHostGone(hr)) {
        return HostError(operation, std::string(kHostGoneText) + " (" + common::HexCodeText(code) + ")",
                         HostError::Cause::HostGone, static_cast<std::int32_t>(hr));
    }
    std::string description = common::HexCodeText(code);
    const std::string system = SystemMessage(code);
    if (!system.empty()) {
        description += " " + system;
    }
    if (!detail.empty()) {
        description += " (" + detail + ")";
    }
    return HostError(operation, description, HostError::Cause::Raised, static_cast<std::int32_t>(hr));
}

HostError RaisedError(const std::string& operation, ExceptionInfo& info) {
    info.Complete();
    const HRESULT code = info.Code();
    if (IsHostGone(code) || IsHostBusy(code)) {
        return HostErrorFor(operation, code);
    }
    std::string description = info.Description();
    if (description.empty()) {
        description = common::HexCodeText(static_cast<std::uint32_t>(code));
        const std::string system = SystemMessage(static_cast<std::uint32_t>(code));
        if (!system.empty()) {
            description += " " + system;
        }
    }
    const std::string source = info.Source();
    if (!source.empty()) {
        description += " (" + source + ")";
    }
    return HostError(operation, description, HostError::Cause::Raised, static_cast<std::int32_t>(code));
}

}  // namespace

bool IsHostGone(HRESULT hr) noexcept {
    switch (hr) {
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED:
        case RPC_E_SERVER_DIED_DNE:
        case CO_E_OBJNOTCONNECTED:
        case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
            return true;
        default:
            return false;
    }
}

bool IsHostBusy(HRESULT hr) noexcept {
    return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER;
}

ComDispatcher::ComDispatcher(ComPtr<IDispatch> object) : object_(std::move(object)) {
    if (object_.Get() == nullptr) {
        throw std::invalid_argument("ComDispatcher needs an object");
    }
}

DISPID ComDispatcher::DispidOf(const std::string& name) {
    if (const auto found = dispids_.find(name); found != dispids_.end()) {
        return found->second;
    }
    std::wstring wide = Utf8ToWide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID dispid = DISPID_UNKNOWN;
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        throw HostErrorFor(name, hr, hr == DISP_E_UNKNOWNNAME ? "the host has no operation of that name" : "");
    }
    dispids_.emplace(name, dispid);
    return dispid;
}

Variant ComDispatcher::Invoke(const std::string& name,
                              WORD flags,
                              const std::vector<HostValue>& args,
                              bool propertyPut) {
    const DISPID dispid = DispidOf(name);

    // DISPPARAMS takes the arguments last-to-first: rgvarg[0] is the last one.
    std::vector<Variant> converted;
    converted.reserve(args.size());
    try {
        for (auto it = args.rbegin(); it != args.rend(); ++it) {
            converted.push_back(ToVariant(*it));
        }
    } catch (const std::invalid_argument& e) {
        throw HostError(name, e.what());
    }
    std::vector<VARIANT> rgvarg;
    rgvarg.reserve(converted.size());
    for (const Variant& v : converted) {
        rgvarg.push_back(v.Get());  // borrowed: `converted` keeps ownership
    }
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = rgvarg.empty() ? nullptr : rgvarg.data();
    params.cArgs = static_cast<UINT>(rgvarg.size());
    if (propertyPut) {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }

    Variant result;
    ExceptionInfo info;
    UINT argError = 0;
    const HRESULT hr = object_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       propertyPut ? nullptr : result.Put(), info.Put(), &argError);
    if (hr == DISP_E_EXCEPTION) {
        throw RaisedError(name, info);
    }
    if (FAILED(hr)) {
        std::string detail;
        if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && argError < args.size()) {
            // puArgErr indexes rgvarg, which holds the arguments in reverse.
            detail = "argument " + common::IntegerText(args.size() - argError);
        }
        throw HostErrorFor(name, hr, detail);
    }
    return result;
}

HostValue ComDispatcher::Call(const std::string& name, const std::vector<HostValue>& args) {
    const Variant answer = Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
    try {
        return ToHostValue(answer.Get());
    } catch (const Win32Error& e) {
        throw HostError(name, e.what());
    }
}

void ComDispatcher::Put(const std::string& name, const HostValue& value) {
    (void)Invoke(name, DISPATCH_PROPERTYPUT, {value}, true);
}

std::unique_ptr<host::Dispatcher> ComDispatcher::CallForObject(const std::string& name) {
    const Variant answer = Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, false);
    const VARIANT& v = answer.Get();
    IUnknown* unknown = nullptr;
    switch (v.vt) {
        case VT_DISPATCH:
        case VT_UNKNOWN:
            unknown = v.punkVal;
            break;
        case VT_DISPATCH | VT_BYREF:
        case VT_UNKNOWN | VT_BYREF:
            unknown = v.ppunkVal != nullptr ? *v.ppunkVal : nullptr;
            break;
        default:
            break;
    }
    if (unknown == nullptr) {
        throw HostError(name, "the host answered " + ToHostValue(v).Describe() + " where an object was expected");
    }
    ComPtr<IDispatch> dispatch;
    const HRESULT hr = unknown->QueryInterface(IID_IDispatch, dispatch.PutVoid());
    if (FAILED(hr)) {
        throw HostErrorFor(name, hr, "the answered object is not automation-capable");
    }
    return std::make_unique<ComDispatcher>(std::move(dispatch));
}

std::unique_ptr<host::Dispatcher> ComObjectCreator::CreateObject(const std::string& progId) {
    const ProgIdClass registered = LookUpProgId(progId);
    if (!registered.IsRegistered()) {
        throw HostErrorFor("CreateObject", registered.result, "\"" + progId + "\" is not registered on this computer");
    }
    ComPtr<IDispatch> object;
    // Local server only: the host runs on this machine, never on a remote one.
    const HRESULT hr =
        ::CoCreateInstance(registered.clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, object.PutVoid());
    if (FAILED(hr)) {
        throw HostErrorFor("CreateObject", hr, "cannot start or reach \"" + progId + "\"");
    }
    return std::make_unique<ComDispatcher>(std::move(object));
}

}  // namespace win32
