#pragma once

#include <string>
#include <vector>

#include "hostsim/server/ComResource.h"

namespace hostsim::testing {

// Outcome of one late-bound call: the HRESULT of Invoke (or of GetIDsOfNames when the name is
// unknown), the answer, and the error description and source from EXCEPINFO.
struct CallOutcome {
    HRESULT hr = E_FAIL;
    Variant result;
    std::wstring description;
    std::wstring source;
};

// Calls `name` on `object` as an automation client does: GetIDsOfNames, then Invoke with the
// arguments (given in call order) stored last-to-first. A property put passes its value as the
// DISPID_PROPERTYPUT named argument.
CallOutcome CallByName(IDispatch* object,
                       const std::wstring& name,
                       std::vector<Variant> args,
                       WORD flags = DISPATCH_METHOD);

Variant TextArg(const std::wstring& text);
Variant IntArg(int value);
Variant BoolArg(bool value);
// A 1-D VT_ARRAY | VT_VARIANT of three doubles.
Variant PointArg(double x, double y, double z);

// The text of a VT_BSTR answer ("" for anything else).
std::wstring TextOf(const Variant& v);

}  // namespace hostsim::testing
