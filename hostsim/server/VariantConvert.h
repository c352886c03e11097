#pragma once

#include <stdexcept>
#include <string>

#include "hostsim/model/Value.h"
#include "hostsim/server/ComResource.h"

namespace hostsim {

// A VARIANT that has no Value counterpart (an object, an unsupported array element type).
class VariantTypeError : public std::runtime_error {
  public:
    explicit VariantTypeError(const std::string& what) : std::runtime_error(what) {}
};

// True for the marker a caller passes for a left-out optional argument: VT_ERROR holding
// DISP_E_PARAMNOTFOUND (also behind VT_BYREF).
bool IsMissingArgument(const VARIANT& v);

// The Value a VARIANT carries. References (VT_BYREF) are followed; VT_EMPTY, VT_NULL, VT_BOOL,
// VT_I2, VT_I4, VT_R8 and VT_BSTR map to their kind; other integer types become Int32 when they
// fit and Double otherwise; VT_R4, VT_CY, VT_DECIMAL and VT_DATE become Double; VT_ERROR becomes
// Empty; arrays of any rank keep their bounds, elements read in row-major order. Throws
// VariantTypeError for objects and other kinds.
Value ValueFromVariant(const VARIANT& v);

// The VARIANT for a Value. Arrays become VT_ARRAY | VT_VARIANT with the Value's bounds in the
// same order (element (i, j) stored at indexes {i, j}). Throws ComError when memory runs out.
Variant VariantFromValue(const Value& value);

}  // namespace hostsim
