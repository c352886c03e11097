#include "hostsim/server/VariantConvert.h"

#include <cmath>
#include <cstdint>
#include <cstring>
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

// Bytes of the payload a scalar of this type keeps at the start of the VARIANT union; 0 for a
// type whose payload is not read that way (VT_DECIMAL fills the whole VARIANT) or not at all.
std::size_t UnionPayloadSize(VARTYPE type) {
    switch (type) {
        case VT_I1:
            return sizeof(CHAR);
        case VT_UI1:
            return sizeof(BYTE);
        case VT_I2:
            return sizeof(SHORT);
        case VT_UI2:
            return sizeof(USHORT);
        case VT_BOOL:
            return sizeof(VARIANT_BOOL);
        case VT_I4:
            return sizeof(LONG);
        case VT_UI4:
            return sizeof(ULONG);
        case VT_INT:
            return sizeof(INT);
        case VT_UINT:
            return sizeof(UINT);
        case VT_ERROR:
            return sizeof(SCODE);
        case VT_R4:
            return sizeof(FLOAT);
        case VT_I8:
            return sizeof(LONGLONG);
        case VT_UI8:
            return sizeof(ULONGLONG);
        case VT_R8:
            return sizeof(DOUBLE);
        case VT_CY:
            return sizeof(CY);
        case VT_DATE:
            return sizeof(DATE);
        case VT_BSTR:
            return sizeof(BSTR);
        default:
            return 0;
    }
}

// Moves a row-major index to the next element: the last index varies fastest. Past the last
// element it wraps to the first.
void NextIndex(std::vector<LONG>& index, const std::vector<ArrayBound>& bounds) {
    for (std::size_t d = bounds.size(); d-- > 0;) {
        if (std::int64_t{index[d]} <
            std::int64_t{bounds[d].lowerBound} + static_cast<std::int64_t>(bounds[d].count) - 1) {
            ++index[d];
            return;
        }
        index[d] = bounds[d].lowerBound;
    }
}

// The index of an array's first element.
std::vector<LONG> FirstIndex(const std::vector<ArrayBound>& bounds) {
    std::vector<LONG> index(bounds.size());
    for (std::size_t d = 0; d < bounds.size(); ++d) {
        index[d] = bounds[d].lowerBound;
    }
    return index;
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
    if (type == VT_DECIMAL) {
        // A DECIMAL overlays the whole VARIANT, its type field included.
        plain.decVal = *v.pdecVal;
        plain.vt = VT_DECIMAL;
        return ScalarValue(plain);
    }
    const std::size_t size = UnionPayloadSize(type);
    if (size == 0) {
        throw VariantTypeError("unsupported VT_BYREF type " + std::to_string(v.vt));
    }
    // Every payload of the union starts at the same address. A BSTR stays owned by the
    // caller: it is only read here, never freed.
    std::memcpy(&plain.llVal, v.byref, size);
    plain.vt = type;
    return ScalarValue(plain);
}

// The bounds of each dimension of an array, leftmost first.
std::vector<ArrayBound> ArrayBounds(SAFEARRAY* array) {
    const UINT dims = SafeArrayGetDim(array);
    if (dims == 0) {
        throw VariantTypeError("SAFEARRAY without dimensions");
    }
    std::vector<ArrayBound> bounds(dims);
    for (UINT d = 0; d < dims; ++d) {
        LONG lower = 0;
        LONG upper = 0;
        // SafeArrayGetLBound counts dimensions from 1, leftmost first.
        ThrowIfFailed(SafeArrayGetLBound(array, d + 1, &lower), "SafeArrayGetLBound");
        ThrowIfFailed(SafeArrayGetUBound(array, d + 1, &upper), "SafeArrayGetUBound");
        const std::int64_t count = std::int64_t{upper} - lower + 1;
        bounds[d] = ArrayBound{lower, static_cast<std::size_t>(count < 0 ? 0 : count)};
    }
    return bounds;
}

// The element of an array at an index, as a VARIANT of the array's element type.
Variant ArrayElement(SAFEARRAY* array, VARTYPE elementType, std::vector<LONG>& index) {
    Variant element;
    if (elementType == VT_VARIANT) {
        ThrowIfFailed(SafeArrayGetElement(array, index.data(), element.Put()), "SafeArrayGetElement");
        return element;
    }
    if (UnionPayloadSize(elementType) == 0) {
        throw VariantTypeError("unsupported array element type " + std::to_string(elementType));
    }
    // The element is read straight into the union and then tagged with its type.
    VARIANT* raw = element.Put();
    ThrowIfFailed(SafeArrayGetElement(array, index.data(), &raw->llVal), "SafeArrayGetElement");
    raw->vt = elementType;
    return element;
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
    std::vector<ArrayBound> bounds = ArrayBounds(array);
    std::size_t total = 1;
    for (const ArrayBound& bound : bounds) {
        total *= bound.count;
    }
    std::vector<Value> elements;
    elements.reserve(total);
    std::vector<LONG> index = FirstIndex(bounds);
    for (std::size_t n = 0; n < total; ++n) {
        elements.push_back(ValueFromVariant(ArrayElement(array, elementType, index).Get()));
        NextIndex(index, bounds);
    }
    return Value::Array(std::move(bounds), std::move(elements));
}

// A VT_VARIANT SAFEARRAY holding an array Value's elements at the same indexes.
SafeArray SafeArrayFromValue(const Value& value) {
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
    std::vector<LONG> index = FirstIndex(bounds);
    for (const Value& element : value.Elements()) {
        Variant item = VariantFromValue(element);
        // SafeArrayPutElement copies the VARIANT; `item` keeps and frees its own.
        ThrowIfFailed(SafeArrayPutElement(array.Get(), index.data(), &item.Get()), "SafeArrayPutElement");
        NextIndex(index, bounds);
    }
    return array;
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
        case ValueKind::Array:
            v.parray = SafeArrayFromValue(value).Detach();
            v.vt = VT_ARRAY | VT_VARIANT;
            break;
    }
    return result;
}

}  // namespace hostsim
