#include "HostControl.h"

#include <cstddef>
#include <cstdlib>

#include "ChildProcess.h"

#include "common/NumberText.h"
#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/com/Bstr.h"
#include "platform/win32/com/Variant.h"

namespace driver {

namespace {

std::string Failure(const char* what, HRESULT hr) {
    return std::string(what) + " failed: " + common::HexCodeText(static_cast<std::uint32_t>(hr)) + " " +
           win32::SystemMessage(static_cast<std::uint32_t>(hr));
}

}  // namespace

HostControl HostControl::Connect(int version) {
    const std::wstring progId = version == 0 ? L"Hostsim.Control" : L"Hostsim.Control." + std::to_wstring(version);
    CLSID clsid{};
    const HRESULT found = ::CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(found)) {
        throw HostControlError(Failure("CLSIDFromProgID(Hostsim.Control)", found));
    }
    HostControl control;
    const HRESULT created =
        ::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, control.dispatch_.PutVoid());
    if (FAILED(created)) {
        throw HostControlError(Failure("CoCreateInstance(Hostsim.Control)", created));
    }
    return control;
}

std::string HostControl::Control(const std::string& line) {
    return Call(L"Control", line);
}

std::string HostControl::CallLog() {
    return Call(L"CallLog", std::nullopt);
}

std::string HostControl::Document() {
    return Call(L"Document", std::nullopt);
}

void HostControl::ClearLog() {
    (void)Call(L"ClearLog", std::nullopt);
}

void HostControl::Quit() {
    (void)Call(L"Quit", std::nullopt);
}

std::string HostControl::Call(const wchar_t* method, const std::optional<std::string>& argument) {
    if (dispatch_.Get() == nullptr) {
        throw HostControlError("not connected to Hostsim.Control");
    }
    LPOLESTR name = const_cast<LPOLESTR>(method);
    DISPID dispid = 0;
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(hr)) {
        throw HostControlError(Failure("GetIDsOfNames", hr));
    }
    win32::Variant arg;
    DISPPARAMS params{};
    if (argument) {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = win32::Bstr::FromUtf8(*argument).Detach();
        arg.Reset(v);
        params.rgvarg = const_cast<VARIANT*>(&arg.Get());
        params.cArgs = 1;
    }
    win32::Variant result;
    EXCEPINFO excep{};
    hr = dispatch_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.Put(), &excep,
                           nullptr);
    if (FAILED(hr)) {
        const std::string description = win32::WideToUtf8(win32::BstrView(excep.bstrDescription));
        ::SysFreeString(excep.bstrDescription);
        ::SysFreeString(excep.bstrSource);
        ::SysFreeString(excep.bstrHelpFile);
        throw HostControlError(Failure("Hostsim.Control", hr) + (description.empty() ? "" : ": " + description));
    }
    if (result.Type() == VT_BSTR) {
        return win32::WideToUtf8(win32::BstrView(result.Get().bstrVal));
    }
    return {};
}

namespace {

std::size_t CountPicks(const std::string& callLog) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = callLog.find("GetObject(", at)) != std::string::npos; ++at) {
        count += at == 0 || callLog[at - 1] == '\n' ? 1 : 0;
    }
    return count;
}

}  // namespace

void PickWithClick(HostControl& control,
                   HWND hostWindow,
                   const std::function<void()>& startPick,
                   const std::string& id,
                   const std::string& view) {
    const std::size_t before = CountPicks(control.CallLog());
    startPick();
    // The host answers the control object from inside its pick loop, so the log can be read
    // while the pick waits.
    if (!WaitUntil([&] { return CountPicks(control.CallLog()) > before; }, 20000, 50)) {
        throw HostControlError("the host was not asked for a pick");
    }
    const std::string spot = control.Control("spot " + id + " " + view);
    char* end = nullptr;
    const long x = std::strtol(spot.c_str(), &end, 10);
    const long y = std::strtol(end, nullptr, 10);
    const LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    if (!::PostMessageW(hostWindow, WM_LBUTTONDOWN, MK_LBUTTON, at) ||
        !::PostMessageW(hostWindow, WM_LBUTTONUP, 0, at)) {
        throw HostControlError("the click could not be posted to the host's window");
    }
}

}  // namespace driver
