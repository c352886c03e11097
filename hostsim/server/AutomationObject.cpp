#include "hostsim/server/AutomationObject.h"

#include <cwctype>

#include "hostsim/model/ScriptApi.h"
#include "hostsim/server/VariantConvert.h"
#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

InvokeKind KindOf(WORD flags) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        return InvokeKind::PropertyPut;
    }
    if (flags & DISPATCH_METHOD) {
        return InvokeKind::Method;
    }
    return InvokeKind::PropertyGet;
}

// The arguments in call order. For a property put the DISPID_PROPERTYPUT value comes last.
HRESULT CollectArguments(const DISPPARAMS* params, WORD flags, std::vector<Value>& args, UINT* argError) {
    if (!params) {
        return S_OK;
    }
    const UINT named = params->cNamedArgs;
    if (named > params->cArgs) {
        return E_INVALIDARG;
    }
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (named > 1 || (named == 1 && (!put || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))) {
        return DISP_E_NONAMEDARGS;
    }
    if (put && named == 0) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
    // rgvarg holds the named arguments first, then the positional ones last-to-first.
    const UINT positional = params->cArgs - named;
    std::vector<const VARIANT*> ordered;
    for (UINT i = 0; i < positional; ++i) {
        ordered.push_back(&params->rgvarg[params->cArgs - 1 - i]);
    }
    while (!ordered.empty() && IsMissingArgument(*ordered.back())) {
        ordered.pop_back();
    }
    if (named == 1) {
        ordered.push_back(&params->rgvarg[0]);
    }
    for (const VARIANT* v : ordered) {
        try {
            args.push_back(IsMissingArgument(*v) ? Value::Empty() : ValueFromVariant(*v));
        } catch (const VariantTypeError&) {
            if (argError) {
                *argError = static_cast<UINT>(v - params->rgvarg);
            }
            return DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}

}  // namespace

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return true;
}

void FillException(EXCEPINFO* exception, std::string_view description) noexcept {
    if (!exception) {
        return;
    }
    *exception = EXCEPINFO{};
    exception->scode = E_FAIL;
    exception->bstrSource = SysAllocString(L"Rhino");
    try {
        const std::wstring wide = Utf8ToWide(description);
        exception->bstrDescription = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    } catch (...) {
        // Called from catch blocks of COM methods: a description that cannot be converted
        // still leaves a readable one.
        exception->bstrDescription = SysAllocString(L"error in the simulated host");
    }
}

HRESULT AutomationObject::QueryInterface(REFIID riid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AutomationObject::AddRef() {
    return ++references_;
}

ULONG AutomationObject::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
    if (!count) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids) {
        return E_POINTER;
    }
    if (count == 0) {
        return S_OK;
    }
    HRESULT hr = S_OK;
    try {
        const std::optional<DISPID> member = names[0] ? DispidOf(names[0]) : std::nullopt;
        ids[0] = member.value_or(DISPID_UNKNOWN);
        if (!member) {
            hr = DISP_E_UNKNOWNNAME;
        }
    } catch (...) {
        ids[0] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    // No member takes named parameters.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT AutomationObject::Invoke(DISPID id,
                                 REFIID,
                                 LCID,
                                 WORD flags,
                                 DISPPARAMS* params,
                                 VARIANT* result,
                                 EXCEPINFO* exception,
                                 UINT* argError) {
    try {
        std::vector<Value> args;
        const HRESULT collected = CollectArguments(params, flags, args, argError);
        if (FAILED(collected)) {
            return collected;
        }
        Variant answer = InvokeMember(id, KindOf(flags), args);
        if (result) {
            VariantInit(result);
            answer.Detach(result);
        }
        return S_OK;
    } catch (const DispatchError& e) {
        return e.Result();
    } catch (const ScriptError& e) {
        FillException(exception, e.Description());
    } catch (const std::exception& e) {
        FillException(exception, e.what());
    } catch (...) {
        FillException(exception, "unexpected failure in the simulated host");
    }
    return DISP_E_EXCEPTION;
}

}  // namespace hostsim
