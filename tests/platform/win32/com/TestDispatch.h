#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/HostValue.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/ComPtr.h"
#include "platform/win32/com/VariantConvert.h"

namespace win32_test {

// One Invoke the test object received, as it arrived.
struct ReceivedInvoke {
    DISPID dispid = 0;
    WORD flags = 0;
    std::vector<common::HostValue> rgvarg;  // in rgvarg order (last argument first)
    std::vector<DISPID> named;
};

// An in-process IDispatch with a reference count the tests can read. Members are
// declared by name; each answers through a function that may fill the EXCEPINFO and
// returns the HRESULT of Invoke.
class TestDispatch final : public IDispatch {
  public:
    using Handler = std::function<HRESULT(const DISPPARAMS&, VARIANT* result, EXCEPINFO* info)>;

    void Define(const std::wstring& name, DISPID id, Handler handler) {
        ids_[name] = id;
        handlers_[id] = std::move(handler);
    }

    ULONG References() const { return references_; }
    // A counted reference to this object, for code that takes one over.
    win32::ComPtr<IDispatch> Reference() {
        AddRef();
        return win32::ComPtr<IDispatch>::Adopt(this);
    }
    int NameLookups() const { return nameLookups_; }
    const std::vector<ReceivedInvoke>& Received() const { return received_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    // Owned by the test's stack frame: the count is only observed, never deletes.
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ++nameLookups_;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            const auto found = ids_.find(names[i]);
            ids[i] = found == ids_.end() ? DISPID_UNKNOWN : found->second;
            if (found == ids_.end()) {
                hr = DISP_E_UNKNOWNNAME;
            }
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE
    Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info, UINT*) override {
        ReceivedInvoke call;
        call.dispid = id;
        call.flags = flags;
        for (UINT i = 0; i < params->cArgs; ++i) {
            call.rgvarg.push_back(win32::ToHostValue(params->rgvarg[i]));
        }
        for (UINT i = 0; i < params->cNamedArgs; ++i) {
            call.named.push_back(params->rgdispidNamedArgs[i]);
        }
        received_.push_back(std::move(call));
        const auto handler = handlers_.find(id);
        if (handler == handlers_.end()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        return handler->second(*params, result, info);
    }

  private:
    ULONG references_ = 1;  // the test's own
    int nameLookups_ = 0;
    std::map<std::wstring, DISPID> ids_;
    std::map<DISPID, Handler> handlers_;
    std::vector<ReceivedInvoke> received_;
};

}  // namespace win32_test
