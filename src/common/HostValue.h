#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace common {

// One automation value as the core sees it: the Win32 dispatcher converts each VARIANT
// into this faithfully (kind, number width, array shape), so that the rules for reading
// host answers can be applied and tested without Windows.
struct HostValue {
    enum class Kind {
        Empty,   // VT_EMPTY: no value (also a method without result)
        Null,    // VT_NULL: the host's "nothing"
        Bool,    // VT_BOOL
        Int16,   // VT_I2 (and VT_UI1)
        Int32,   // VT_I4 and the other integer kinds that fit
        Double,  // VT_R8, VT_R4
        String,  // VT_BSTR, UTF-8 here
        Array,   // VT_ARRAY of any element kind
        Object,  // VT_DISPATCH / VT_UNKNOWN: an object reference the core does not follow
        Other,   // anything else (dates, currency, errors ...): never a usable answer
    };

    // One dimension of an array: its lower bound and number of elements.
    struct Bound {
        std::int32_t lower = 0;
        std::uint32_t count = 0;
        friend bool operator==(const Bound&, const Bound&) = default;
    };

    Kind kind = Kind::Empty;
    bool boolean = false;
    double number = 0;  // Int16, Int32 and Double all keep their value here
    std::string text;
    // Array elements flattened with the first subscript varying slowest, so that element
    // (row, column) of a 2-D answer is elements[(row - lower0) * count1 + (column - lower1)].
    std::vector<HostValue> elements;
    std::vector<Bound> bounds;  // one per dimension, in subscript order

    static HostValue Empty() { return {}; }
    static HostValue Null();
    static HostValue Bool(bool value);
    static HostValue Int16(std::int16_t value);
    static HostValue Int32(std::int32_t value);
    static HostValue Double(double value);
    static HostValue String(std::string value);
    // A 1-D array indexed from 0.
    static HostValue Array(std::vector<HostValue> elements);
    // An array of any shape; the product of the counts must equal elements.size().
    static HostValue Array(std::vector<HostValue> elements, std::vector<Bound> bounds);
    // A 1-D array of three doubles, the way points travel.
    static HostValue Point(double x, double y, double z);

    bool IsArray() const { return kind == Kind::Array; }
    bool IsNumber() const { return kind == Kind::Int16 || kind == Kind::Int32 || kind == Kind::Double; }
    std::size_t Dimensions() const { return bounds.size(); }

    // The element at the given subscripts (lower bounds included), or nullptr when this is
    // not an array of that many dimensions or a subscript is out of range.
    const HostValue* At(std::initializer_list<std::int32_t> subscripts) const;

    // A short readable form for logs and test messages: the kind and the value, e.g. I2:4,
    // R8:1.5, S:"id", Bool:true, Null; an array lists its elements in storage order,
    // without its dimensions: A(R8:1,R8:2,R8:0).
    std::string Describe() const;

    friend bool operator==(const HostValue&, const HostValue&) = default;
};

}  // namespace common
