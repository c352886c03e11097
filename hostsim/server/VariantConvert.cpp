#include "hostsim/server/VariantConvert.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "hostsim/server/WideText.h"

namespace hostsim {

namespace {

constexpr VARTYPE kTypeMask = VT_TYPEMASK;

// Follows VT_BYREF | VT_VARIANT chains to the variant that holds the value.
const VARIANT& Dereferenced(const VARIANT& v) {
    const VARIANT* current = &v;
    for (int depth = 0; depth < 8 && current->vt == (VT_BYREF | VT_VARIANT); ++depth) {
        if (!current->pvarVal) {
            throw VariantTypeError("null VARIANT reference");
        }
        current = current->pvarVal;
    }
    return *current;
}

Value IntegerValue(std::int64_t i) {
    if (i >= std::numeric_limits<std::int32_t>::min() && i <= std::numeric_limits<std::int32_t>::max()) {
        return Value::Int32(static_cast<std::int32_t>(i));
    }
    return Value::Double(static_cast<double>(i));
}

Value DoubleThroughChangeType(const VARIANT& v) {
    Variant converted;
    ThrowIfFailed(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&v), 0, VT_R8), "VariantChangeType to VT_R8");
    return Value::Double(converted.Get().dblVal);
}

// Reads a plain (non-reference, non-array) value whose payload sits in the VARIANT union.
Value ScalarValue(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY:
        case VT_ERROR:
            return Value::Empty();
        case VT_NULL:
            return Value::Null();
        case VT_BOOL:
            return Value::Bool(v.boolVal != VARIANT_FALSE);
        case VT_I2:
            return Value::Int16(v.iVal);
        case VT_I4:
            return Value::Int32(v.lVal);
        case VT_R8:
            return Value::Double(v.dblVal);
        case VT_BSTR:
            return Value::String(WideToUtf8(std::wstring_view(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal))));
        case VT_I1:
            return Value::Int32(v.cVal);
        case VT_UI1:
            return Value::Int32(v.bVal);
        case VT_UI2:
            return Value::Int32(v.uiVal);
        case VT_UI4:
            return IntegerValue(v.ulVal);
        case VT_INT:
            return Value::Int32(v.intVal);
        case VT_UINT:
            return IntegerValue(v.uintVal);
        case VT_I8:
            return IntegerValue(v.llVal);
        case VT_UI8:
            return v.ullVal <= static_cast<ULONGLONG>(std::numeric_limits<std::int32_t>::max())
                       ? Value::Int32(static_cast<std::int32_t>(v.ullVal))
                       : Value::Double(static_cast<double>(v.ullVal));
        case VT_R4:
            return Value::Double(v.fltVal);
        case VT_CY:
        case VT_DECIMAL:
        case VT_DATE:
            return DoubleThroughChangeType(v);
        default:
            throw VariantTypeError("unsupported VARIANT type " + std::to_string(v.vt));
    }
}

// Copies what a VT_BYREF scalar points at into a VARIANT of the plain type.
Value ReferencedScalarValue(const VARIANT& v) {
    const VARTYPE type = static_cast<VARTYPE>(v.vt & kTypeMask);
    if (!v.byref) {
        throw VariantTypeError("null VT_BYREF pointer");
    }
    VARIANT plain;
    VariantInit(&plain);
    plain.vt = type;
    switch (type) {
        case VT_BOOL:
            plain.boolVal = *v.pboolVal;
            break;
        case VT_I2:
            plain.iVal = *v.piVal;
            break;
        case VT_I4:
            plain.lVal = *v.plVal;
            break;
        case VT_R8:
            plain.dblVal = *v.pdblVal;
            break;
        case VT_R4:
            plain.fltVal = *v.pfltVal;
            break;
        case VT_I1:
            plain.cVal = *v.pcVal;
            break;
        case VT_UI1:
            plain.bVal = *v.pbVal;
            break;
        case VT_UI2:
            plain.uiVal = *v.puiVal;
            break;
        case VT_UI4:
            plain.ulVal = *v.pulVal;
            break;
        case VT_INT:
            plain.intVal = *v.pintVal;
            break;
        case VT_UINT:
            plain.uintVal = *v.puintVal;
            break;
        case VT_I8:
            plain.llVal = *v.pllVal;
            break;
        case VT_UI8:
            plain.ullVal = *v.pullVal;
            break;
        case VT_CY:
            plain.cyVal = *v.pcyVal;
            break;
        case VT_DATE:
            plain.date = *v.pdate;
            break;
        case VT_ERROR:
            plain.scode = *v.pscode;
            break;
        case VT_DECIMAL:
            plain.decVal = *v.pdecVal;
            plain.vt = VT_DECIMAL;
            break;
        // The BSTR stays owned by the caller: it is only read here, never freed.
        case VT_BSTR:
            plain.bstrVal = *v.pbstrVal;
            break;
        default:
            throw VariantTypeError("unsupported VT_BYREF type " + std::to_string(v.vt));
    }
    return ScalarValue(plain);
}

Value ArrayValue(SAFEARRAY* array, VARTYPE declared) {
    if (!array) {
        // A VT_ARRAY variant without an array is what a never-dimensioned dynamic array sends.
        return Value::Array({});
    }
    VARTYPE elementType = declared;
    if (elementType == VT_EMPTY) {
        ThrowIfFailed(SafeArrayGetVartype(array, &elementType), "SafeArrayGetVartype");
    }
    const UINT dims = SafeArrayGetDim(array);
    if (dims == 0) {
        throw VariantTypeError("SAFEARRAY without dimensions");
    }
    std::vector<ArrayBound> bounds(dims);
    std::vector<LONG> lower(dims);
    std::vector<LONG> upper(dims);
    std::size_t total = 1;
    for (UINT d = 0; d < dims; ++d) {
        // SafeArrayGetLBound counts dimensions from 1, leftmost first.
        ThrowIfFailed(SafeArrayGetLBound(array, d + 1, &lower[d]), "SafeArrayGetLBound");
        ThrowIfFailed(SafeArrayGetUBound(array, d + 1, &upper[d]), "SafeArrayGetUBound");
        const std::int64_t count = std::int64_t{upper[d]} - lower[d] + 1;
        bounds[d] = ArrayBound{lower[d], static_cast<std::size_t>(count < 0 ? 0 : count)};
        total *= bounds[d].count;
    }
    std::vector<Value> elements;
    elements.reserve(total);
    std::vector<LONG> index(lower);
    for (std::size_t n = 0; n < total; ++n) {
        Variant element;
        if (elementType == VT_VARIANT) {
            ThrowIfFailed(SafeArrayGetElement(array, index.data(), element.Put()), "SafeArrayGetElement");
        } else {
            // Every payload of the VARIANT union starts at the same address, so the element
            // is read straight into it and then tagged with its type.
            VARIANT* raw = element.Put();
            switch (elementType) {
                case VT_I1:
                case VT_UI1:
                case VT_I2:
                case VT_UI2:
                case VT_I4:
                case VT_UI4:
                case VT_INT:
                case VT_UINT:
                case VT_I8:
                case VT_UI8:
                case VT_R4:
                case VT_R8:
                case VT_BOOL:
                case VT_BSTR:
                case VT_CY:
                case VT_DATE:
                case VT_ERROR:
                    break;
                default:
                    throw VariantTypeError("unsupported array element type " + std::to_string(elementType));
            }
            ThrowIfFailed(SafeArrayGetElement(array, index.data(), &raw->llVal), "SafeArrayGetElement");
            raw->vt = elementType;
        }
        elements.push_back(ValueFromVariant(element.Get()));
        // Row-major walk: the last index varies fastest.
        for (UINT d = dims; d-- > 0;) {
            if (index[d] < upper[d]) {
                ++index[d];
                break;
            }
            index[d] = lower[d];
        }
    }
    return Value::Array(std::move(bounds), std::move(elements));
}

}  // namespace

bool IsMissingArgument(const VARIANT& v) {
    const VARIANT& plain = Dereferenced(v);
    if (plain.vt == VT_ERROR) {
        return plain.scode == DISP_E_PARAMNOTFOUND;
    }
    if (plain.vt == (VT_BYREF | VT_ERROR)) {
        return plain.pscode && *plain.pscode == DISP_E_PARAMNOTFOUND;
    }
    return false;
}

Value ValueFromVariant(const VARIANT& v) {
    const VARIANT& plain = Dereferenced(v);
    if (plain.vt & VT_ARRAY) {
        const VARTYPE elementType = static_cast<VARTYPE>(plain.vt & kTypeMask);
        if (plain.vt & VT_BYREF) {
            if (!plain.pparray) {
                throw VariantTypeError("null VT_BYREF array pointer");
            }
            return ArrayValue(*plain.pparray, elementType);
        }
        return ArrayValue(plain.parray, elementType);
    }
    if (plain.vt & VT_BYREF) {
        return ReferencedScalarValue(plain);
    }
    return ScalarValue(plain);
}

Variant VariantFromValue(const Value& value) {
    Variant result;
    VARIANT& v = result.Get();
    switch (value.Kind()) {
        case ValueKind::Empty:
            break;
        case ValueKind::Null:
            v.vt = VT_NULL;
            break;
        case ValueKind::Bool:
            v.vt = VT_BOOL;
            v.boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case ValueKind::Int16:
            v.vt = VT_I2;
            v.iVal = value.AsInt16();
            break;
        case ValueKind::Int32:
            v.vt = VT_I4;
            v.lVal = value.AsInt32();
            break;
        case ValueKind::Double:
            v.vt = VT_R8;
            v.dblVal = value.AsDouble();
            break;
        case ValueKind::String: {
            Bstr text = Bstr::FromUtf8(value.AsString());
            v.vt = VT_BSTR;
            v.bstrVal = text.Detach();
            break;
        }
        case ValueKind::Array: {
            const auto& bounds = value.Bounds();
            std::vector<SAFEARRAYBOUND> safeBounds(bounds.size());
            for (std::size_t d = 0; d < bounds.size(); ++d) {
                if (bounds[d].count > std::numeric_limits<ULONG>::max()) {
                    throw ComError("SafeArrayCreate (dimension too large)", E_INVALIDARG);
                }
                safeBounds[d].lLbound = bounds[d].lowerBound;
                safeBounds[d].cElements = static_cast<ULONG>(bounds[d].count);
            }
            SafeArray array(SafeArrayCreate(VT_VARIANT, static_cast<UINT>(safeBounds.size()), safeBounds.data()));
            if (!array.Get()) {
                throw ComError("SafeArrayCreate", E_OUTOFMEMORY);
            }
            std::vector<LONG> index(bounds.size());
            for (std::size_t d = 0; d < bounds.size(); ++d) {
                index[d] = bounds[d].lowerBound;
            }
            for (const Value& element : value.Elements()) {
                Variant item = VariantFromValue(element);
                // SafeArrayPutElement copies the VARIANT; `item` keeps and frees its own.
                ThrowIfFailed(SafeArrayPutElement(array.Get(), index.data(), &item.Get()), "SafeArrayPutElement");
                for (std::size_t d = bounds.size(); d-- > 0;) {
                    if (index[d] < bounds[d].lowerBound + static_cast<LONG>(bounds[d].count) - 1) {
                        ++index[d];
                        break;
                    }
                    index[d] = bounds[d].lowerBound;
                }
            }
            v.vt = VT_ARRAY | VT_VARIANT;
            v.parray = array.Detach();
            break;
        }
    }
    return result;
}

}  // namespace hostsim
