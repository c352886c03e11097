#pragma once

#include "common/HostValue.h"
#include "platform/win32/base/WinInclude.h"
#include "platform/win32/com/Variant.h"

namespace win32 {

// Converts an automation answer into the core's value, faithfully and without taking
// ownership of anything in `value`:
//   VT_EMPTY -> Empty, VT_NULL -> Null, VT_BOOL -> Bool (any nonzero is true),
//   VT_I2, VT_UI1 -> Int16; VT_I4, VT_INT, VT_UI2, VT_I1 and the wider integers whose value
//   fits in 32 bits -> Int32 (one that does not fit -> Double); VT_R8, VT_R4 -> Double;
//   VT_BSTR -> String (UTF-8; a null BSTR is ""); VT_DISPATCH, VT_UNKNOWN -> Object;
//   VT_ARRAY of any element kind -> Array with every dimension's lower bound and count,
//   elements flattened with the first subscript varying slowest;
//   anything else (dates, currency, errors, records...) -> Other.
// VT_BYREF values are read through their pointer (a null pointer gives Other).
// Throws Win32Error only when the system refuses to read an array it described.
common::HostValue ToHostValue(const VARIANT& value);

// Converts a core value into an automation argument: String -> VT_BSTR, Int16 -> VT_I2,
// Int32 -> VT_I4, Double -> VT_R8, Bool -> VT_BOOL, Empty -> VT_EMPTY, Null -> VT_NULL,
// Array -> VT_ARRAY|VT_VARIANT with the value's dimensions and lower bounds.
// Throws std::invalid_argument for Object, Other, an Int16/Int32 whose number is out of
// range, and an array whose bounds do not match its element count; Win32Error or
// std::bad_alloc when the system has no memory for it. Nothing leaks on any path.
Variant ToVariant(const common::HostValue& value);

}  // namespace win32
