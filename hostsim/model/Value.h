#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hostsim {

// The kinds of value an automation call carries, one per VARIANT type the simulated host
// accepts or answers: VT_EMPTY, VT_NULL, VT_BOOL, VT_I2, VT_I4, VT_R8, VT_BSTR and
// VT_ARRAY | VT_VARIANT.
enum class ValueKind { Empty, Null, Bool, Int16, Int32, Double, String, Array };

// Name of a kind as written in call logs and control lines: "Empty", "Null", "Bool", "Int16",
// "Int32", "Double", "String", "Array".
std::string_view KindName(ValueKind kind);

// One dimension of an array, as a SAFEARRAYBOUND: first index and number of elements.
struct ArrayBound {
    std::int32_t lowerBound = 0;
    std::size_t count = 0;

    bool operator==(const ArrayBound&) const = default;
};

// A dynamically typed value. Arrays hold their elements flattened row-major: the first index
// varies slowest, so element (i, j) of a 2-D array with bounds {rows, columns} sits at
// (i - lb0) * columns + (j - lb1). Strings are UTF-8.
class Value {
  public:
    // Empty.
    Value() = default;

    static Value Empty();
    static Value Null();
    static Value Bool(bool b);
    static Value Int16(std::int16_t i);
    static Value Int32(std::int32_t i);
    static Value Double(double d);
    static Value String(std::string s);
    // 1-D array indexed from 0.
    static Value Array(std::vector<Value> elements);
    // Array of any rank. Throws std::invalid_argument unless the product of the counts equals
    // the number of elements and there is at least one dimension.
    static Value Array(std::vector<ArrayBound> bounds, std::vector<Value> elements);
    // 1-D array of three doubles x, y, z: the host's point.
    static Value Point(double x, double y, double z);

    ValueKind Kind() const { return kind_; }
    bool IsEmpty() const { return kind_ == ValueKind::Empty; }
    bool IsNull() const { return kind_ == ValueKind::Null; }
    bool IsArray() const { return kind_ == ValueKind::Array; }
    // Int16, Int32 or Double.
    bool IsNumber() const;

    // Accessors of the stored payload; each throws std::logic_error for another kind.
    bool AsBool() const;
    std::int16_t AsInt16() const;
    std::int32_t AsInt32() const;
    double AsDouble() const;
    const std::string& AsString() const;
    const std::vector<ArrayBound>& Bounds() const;
    const std::vector<Value>& Elements() const;

    // Number of dimensions; 0 for a value that is not an array.
    std::size_t Dimensions() const;
    // Element at the given indexes (one per dimension, each counted from its lower bound).
    // Throws std::out_of_range for a wrong rank or an index outside its bounds, std::logic_error
    // for a value that is not an array.
    const Value& At(std::initializer_list<std::int64_t> indexes) const;

    // The value as a number when it is Int16, Int32 or Double; nothing otherwise.
    std::optional<double> Number() const;

    // Text form used by call logs and dumps: "Empty", "Null", "Bool true", "Int16 4", "Int32 -7",
    // "Double 2.5" (shortest round-trip form), "String \"text\"" (quotes and backslashes
    // escaped with a backslash), arrays as "Array[lb:count,...]{e0; e1; ...}".
    std::string Text() const;

    bool operator==(const Value& other) const;

  private:
    struct ArrayData {
        std::vector<ArrayBound> bounds;
        std::vector<Value> elements;
    };

    // A value never changes after it is made, so copies share their array.
    ValueKind kind_ = ValueKind::Empty;
    std::variant<std::monostate, bool, std::int32_t, double, std::string, std::shared_ptr<const ArrayData>> data_;
};

}  // namespace hostsim
