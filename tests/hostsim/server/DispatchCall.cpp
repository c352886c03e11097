#include "DispatchCall.h"

#include "hostsim/server/VariantConvert.h"

namespace hostsim::testing {

CallOutcome CallByName(IDispatch* object, const std::wstring& name, std::vector<Variant> args, WORD flags) {
    CallOutcome outcome;
    std::wstring nameCopy = name;
    LPOLESTR names[1] = {nameCopy.data()};
    DISPID id = DISPID_UNKNOWN;
    outcome.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(outcome.hr)) {
        return outcome;
    }
    std::vector<VARIANT> reversed(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        reversed[args.size() - 1 - i] = args[i].Get();
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    outcome.hr =
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, outcome.result.Put(), &exception, &argError);
    if (exception.bstrDescription) {
        outcome.description = exception.bstrDescription;
    }
    if (exception.bstrSource) {
        outcome.source = exception.bstrSource;
    }
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    return outcome;
}

Variant TextArg(const std::wstring& text) {
    Variant v;
    v.Get().vt = VT_BSTR;
    v.Get().bstrVal = Bstr(text).Detach();
    return v;
}

Variant IntArg(int value) {
    Variant v;
    v.Get().vt = VT_I4;
    v.Get().lVal = value;
    return v;
}

Variant BoolArg(bool value) {
    Variant v;
    v.Get().vt = VT_BOOL;
    v.Get().boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant PointArg(double x, double y, double z) {
    return VariantFromValue(Value::Point(x, y, z));
}

std::wstring TextOf(const Variant& v) {
    if (v.Get().vt != VT_BSTR || !v.Get().bstrVal) {
        return L"";
    }
    return std::wstring(v.Get().bstrVal, SysStringLen(v.Get().bstrVal));
}

}  // namespace hostsim::testing
