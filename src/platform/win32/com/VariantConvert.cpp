#include "platform/win32/com/VariantConvert.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "platform/win32/base/TextConversion.h"
#include "platform/win32/base/Win32Error.h"
#include "platform/win32/com/Bstr.h"
#include "platform/win32/com/SafeArray.h"

namespace win32 {

namespace {

using common::HostValue;

HostValue Other() {
    HostValue v;
    v.kind = HostValue::Kind::Other;
    return v;
}

HostValue Object() {
    HostValue v;
    v.kind = HostValue::Kind::Object;
    return v;
}

HostValue Integer(std::int64_t value) {
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
        return HostValue::Int32(static_cast<std::int32_t>(value));
    }
    // Keeps the number (exactly up to 2^53) rather than dropping a value the host gave.
    return HostValue::Double(static_cast<double>(value));
}

HostValue Unsigned(std::uint64_t value) {
    if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return HostValue::Int32(static_cast<std::int32_t>(value));
    }
    return HostValue::Double(static_cast<double>(value));
}

HostValue ArrayValue(SAFEARRAY* array, VARTYPE elementType);

// The scalar (or array) of type `type` stored at `data`: the VARIANT's own union for a
// plain value, or the target of a VT_BYREF pointer.
HostValue ScalarAt(VARTYPE type, const void* data) {
    switch (type) {
        case VT_EMPTY:
            return HostValue::Empty();
        case VT_NULL:
            return HostValue::Null();
        case VT_BOOL:
            return HostValue::Bool(*static_cast<const VARIANT_BOOL*>(data) != VARIANT_FALSE);
        case VT_I2:
            return HostValue::Int16(*static_cast<const SHORT*>(data));
        case VT_UI1:
            return HostValue::Int16(*static_cast<const BYTE*>(data));
        case VT_I1:
            return Integer(*static_cast<const signed char*>(data));
        case VT_UI2:
            return Integer(*static_cast<const USHORT*>(data));
        case VT_I4:
            return Integer(*static_cast<const LONG*>(data));
        case VT_INT:
            return Integer(*static_cast<const INT*>(data));
        case VT_UI4:
            return Unsigned(*static_cast<const ULONG*>(data));
        case VT_UINT:
            return Unsigned(*static_cast<const UINT*>(data));
        case VT_I8:
            return Integer(*static_cast<const LONGLONG*>(data));
        case VT_UI8:
            return Unsigned(*static_cast<const ULONGLONG*>(data));
        case VT_R8:
            return HostValue::Double(*static_cast<const DOUBLE*>(data));
        case VT_R4:
            return HostValue::Double(static_cast<double>(*static_cast<const FLOAT*>(data)));
        case VT_BSTR:
            return HostValue::String(WideToUtf8(BstrView(*static_cast<const BSTR*>(data))));
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return Object();
        default:
            return Other();
    }
}

// The size of one array element of `type` that ScalarAt can read, or 0 for element kinds
// that are not read (their elements become Other).
std::size_t ReadableElementSize(VARTYPE type) {
    switch (type) {
        case VT_BOOL:
        case VT_I2:
        case VT_UI2:
            return 2;
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I4:
        case VT_INT:
        case VT_UI4:
        case VT_UINT:
        case VT_R4:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
            return 8;
        case VT_BSTR:
            return sizeof(BSTR);
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

// The array feature flag that SafeArrayCreate sets for elements that own something (a
// string, an object reference) and that confirms the storage holds them; 0 when the
// element owns nothing.
USHORT OwningFeature(VARTYPE type) {
    switch (type) {
        case VT_BSTR:
            return FADF_BSTR;
        case VT_DISPATCH:
            return FADF_DISPATCH;
        case VT_UNKNOWN:
            return FADF_UNKNOWN;
        case VT_VARIANT:
            return FADF_VARIANT;
        default:
            return 0;
    }
}

HostValue ArrayValue(SAFEARRAY* array, VARTYPE elementType) {
    if (array == nullptr) {
        return Other();
    }
    const std::vector<SafeArrayDimension> dimensions = SafeArrayDimensions(array);
    std::vector<HostValue::Bound> bounds;
    std::uint64_t total = dimensions.empty() ? 0 : 1;
    for (const SafeArrayDimension& d : dimensions) {
        bounds.push_back({static_cast<std::int32_t>(d.lower), d.count});
        total *= d.count;
    }
    std::vector<HostValue> elements;
    if (total == 0) {
        return HostValue::Array(std::move(elements), std::move(bounds));
    }

    const std::size_t size = ReadableElementSize(elementType);
    const USHORT owning = OwningFeature(elementType);
    // An array whose storage does not match its declared element kind is not read: its
    // elements are Other.
    const bool readable =
        size != 0 && ::SafeArrayGetElemsize(array) == size && (owning == 0 || (array->fFeatures & owning) != 0);
    if (!readable) {
        elements.assign(static_cast<std::size_t>(total), Other());
        return HostValue::Array(std::move(elements), std::move(bounds));
    }
    elements.reserve(static_cast<std::size_t>(total));

    // The storage lies first subscript fastest: an element's place is the sum over the
    // dimensions of its offset from the lower bound times the count of the dimensions
    // before. The elements are listed first subscript slowest, so the walk turns the
    // last subscript fastest, like an odometer. Elements are read in place, under one lock.
    std::vector<std::uint64_t> strides;
    std::uint64_t stride = 1;
    for (const SafeArrayDimension& d : dimensions) {
        strides.push_back(stride);
        stride *= d.count;
    }
    const SafeArrayLock lock(array);
    const auto* data = static_cast<const unsigned char*>(lock.Data());
    std::vector<std::uint32_t> offsets(dimensions.size(), 0);
    for (std::uint64_t n = 0; n < total; ++n) {
        std::uint64_t place = 0;
        for (std::size_t d = 0; d < dimensions.size(); ++d) {
            place += offsets[d] * strides[d];
        }
        const void* element = data + place * size;
        elements.push_back(elementType == VT_VARIANT ? ToHostValue(*static_cast<const VARIANT*>(element))
                                                     : ScalarAt(elementType, element));
        for (std::size_t d = dimensions.size(); d-- > 0;) {
            if (++offsets[d] < dimensions[d].count) {
                break;
            }
            offsets[d] = 0;
        }
    }
    return HostValue::Array(std::move(elements), std::move(bounds));
}

}  // namespace

HostValue ToHostValue(const VARIANT& value) {
    const VARTYPE type = value.vt & VT_TYPEMASK;
    const bool byRef = (value.vt & VT_BYREF) != 0;
    if ((value.vt & VT_ARRAY) != 0) {
        SAFEARRAY* array = byRef ? (value.pparray != nullptr ? *value.pparray : nullptr) : value.parray;
        return ArrayValue(array, type);
    }
    if ((value.vt & ~(VT_TYPEMASK | VT_BYREF)) != 0) {
        return Other();  // VT_VECTOR and other flags automation does not use
    }
    if (!byRef) {
        return ScalarAt(type, &value.llVal);
    }
    if (value.byref == nullptr) {
        return Other();
    }
    if (type == VT_VARIANT) {
        return ToHostValue(*value.pvarVal);
    }
    return ScalarAt(type, value.byref);
}

namespace {

SHORT Int16Of(const HostValue& value) {
    if (!(value.number >= std::numeric_limits<SHORT>::min() && value.number <= std::numeric_limits<SHORT>::max())) {
        throw std::invalid_argument("16-bit integer argument out of range: " + value.Describe());
    }
    return static_cast<SHORT>(value.number);
}

LONG Int32Of(const HostValue& value) {
    if (!(value.number >= std::numeric_limits<LONG>::min() && value.number <= std::numeric_limits<LONG>::max())) {
        throw std::invalid_argument("32-bit integer argument out of range: " + value.Describe());
    }
    return static_cast<LONG>(value.number);
}

Variant ArrayVariant(const HostValue& value) {
    if (value.bounds.empty()) {
        throw std::invalid_argument("array argument without dimensions");
    }
    std::vector<SAFEARRAYBOUND> bounds;
    std::uint64_t total = 1;
    for (const HostValue::Bound& b : value.bounds) {
        bounds.push_back({static_cast<ULONG>(b.count), static_cast<LONG>(b.lower)});
        total *= b.count;
    }
    if (total != value.elements.size()) {
        throw std::invalid_argument("array argument whose bounds do not match its elements: " + value.Describe());
    }
    // SafeArrayCreate takes the bounds in subscript order, dimension 1 first.
    SafeArray array(::SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data()));
    if (array.Get() == nullptr) {
        throw std::bad_alloc();
    }
    std::vector<LONG> indices;
    for (const HostValue::Bound& b : value.bounds) {
        indices.push_back(b.lower);
    }
    for (const HostValue& element : value.elements) {
        const Variant converted = ToVariant(element);
        // SafeArrayPutElement stores a copy; `converted` frees the original.
        ThrowIfFailed(::SafeArrayPutElement(array.Get(), indices.data(), const_cast<VARIANT*>(&converted.Get())),
                      "SafeArrayPutElement");
        for (std::size_t d = indices.size(); d-- > 0;) {
            if (++indices[d] < value.bounds[d].lower + static_cast<LONG>(value.bounds[d].count)) {
                break;
            }
            indices[d] = value.bounds[d].lower;
        }
    }
    VARIANT out;
    ::VariantInit(&out);
    out.vt = VT_ARRAY | VT_VARIANT;
    out.parray = array.Detach();
    return Variant::Adopt(out);
}

}  // namespace

Variant ToVariant(const HostValue& value) {
    VARIANT out;
    ::VariantInit(&out);
    switch (value.kind) {
        case HostValue::Kind::Empty:
            break;
        case HostValue::Kind::Null:
            out.vt = VT_NULL;
            break;
        case HostValue::Kind::Bool:
            out.vt = VT_BOOL;
            out.boolVal = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case HostValue::Kind::Int16:
            out.vt = VT_I2;
            out.iVal = Int16Of(value);
            break;
        case HostValue::Kind::Int32:
            out.vt = VT_I4;
            out.lVal = Int32Of(value);
            break;
        case HostValue::Kind::Double:
            out.vt = VT_R8;
            out.dblVal = value.number;
            break;
        case HostValue::Kind::String:
            out.vt = VT_BSTR;
            out.bstrVal = Bstr::FromUtf8(value.text).Detach();
            break;
        case HostValue::Kind::Array:
            return ArrayVariant(value);
        case HostValue::Kind::Object:
        case HostValue::Kind::Other:
            throw std::invalid_argument("cannot pass " + value.Describe() + " to the host");
    }
    return Variant::Adopt(out);
}

}  // namespace win32
