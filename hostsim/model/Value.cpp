#include "hostsim/model/Value.h"

#include <charconv>
#include <stdexcept>

namespace hostsim {

namespace {

void AppendDouble(std::string& out, double d) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    out.append(buffer, result.ptr);
}

void AppendInteger(std::string& out, std::int64_t i) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, i);
    out.append(buffer, result.ptr);
}

}  // namespace

std::string_view KindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::Empty:
            return "Empty";
        case ValueKind::Null:
            return "Null";
        case ValueKind::Bool:
            return "Bool";
        case ValueKind::Int16:
            return "Int16";
        case ValueKind::Int32:
            return "Int32";
        case ValueKind::Double:
            return "Double";
        case ValueKind::String:
            return "String";
        case ValueKind::Array:
            return "Array";
    }
    return "?";
}

Value Value::Empty() {
    return Value{};
}

Value Value::Null() {
    Value v;
    v.kind_ = ValueKind::Null;
    return v;
}

Value Value::Bool(bool b) {
    Value v;
    v.kind_ = ValueKind::Bool;
    v.bool_ = b;
    return v;
}

Value Value::Int16(std::int16_t i) {
    Value v;
    v.kind_ = ValueKind::Int16;
    v.int_ = i;
    return v;
}

Value Value::Int32(std::int32_t i) {
    Value v;
    v.kind_ = ValueKind::Int32;
    v.int_ = i;
    return v;
}

Value Value::Double(double d) {
    Value v;
    v.kind_ = ValueKind::Double;
    v.double_ = d;
    return v;
}

Value Value::String(std::string s) {
    Value v;
    v.kind_ = ValueKind::String;
    v.string_ = std::move(s);
    return v;
}

Value Value::Array(std::vector<Value> elements) {
    const std::size_t count = elements.size();
    return Array({ArrayBound{0, count}}, std::move(elements));
}

Value Value::Array(std::vector<ArrayBound> bounds, std::vector<Value> elements) {
    if (bounds.empty()) {
        throw std::invalid_argument("an array needs at least one dimension");
    }
    std::size_t product = 1;
    for (const ArrayBound& bound : bounds) {
        product *= bound.count;
    }
    if (product != elements.size()) {
        throw std::invalid_argument("array bounds do not match the number of elements");
    }
    Value v;
    v.kind_ = ValueKind::Array;
    v.bounds_ = std::move(bounds);
    v.elements_ = std::move(elements);
    return v;
}

Value Value::Point(double x, double y, double z) {
    return Array({Double(x), Double(y), Double(z)});
}

bool Value::IsNumber() const {
    return kind_ == ValueKind::Int16 || kind_ == ValueKind::Int32 || kind_ == ValueKind::Double;
}

bool Value::AsBool() const {
    if (kind_ != ValueKind::Bool) {
        throw std::logic_error("value is not a Bool");
    }
    return bool_;
}

std::int16_t Value::AsInt16() const {
    if (kind_ != ValueKind::Int16) {
        throw std::logic_error("value is not an Int16");
    }
    return static_cast<std::int16_t>(int_);
}

std::int32_t Value::AsInt32() const {
    if (kind_ != ValueKind::Int32) {
        throw std::logic_error("value is not an Int32");
    }
    return int_;
}

double Value::AsDouble() const {
    if (kind_ != ValueKind::Double) {
        throw std::logic_error("value is not a Double");
    }
    return double_;
}

const std::string& Value::AsString() const {
    if (kind_ != ValueKind::String) {
        throw std::logic_error("value is not a String");
    }
    return string_;
}

const std::vector<ArrayBound>& Value::Bounds() const {
    if (kind_ != ValueKind::Array) {
        throw std::logic_error("value is not an Array");
    }
    return bounds_;
}

const std::vector<Value>& Value::Elements() const {
    if (kind_ != ValueKind::Array) {
        throw std::logic_error("value is not an Array");
    }
    return elements_;
}

const Value& Value::At(std::initializer_list<std::int64_t> indexes) const {
    if (kind_ != ValueKind::Array) {
        throw std::logic_error("value is not an Array");
    }
    if (indexes.size() != bounds_.size()) {
        throw std::out_of_range("wrong number of array indexes");
    }
    std::size_t flat = 0;
    std::size_t dimension = 0;
    for (const std::int64_t index : indexes) {
        const ArrayBound& bound = bounds_[dimension++];
        const std::int64_t offset = index - bound.lowerBound;
        if (offset < 0 || static_cast<std::uint64_t>(offset) >= bound.count) {
            throw std::out_of_range("array index outside its bounds");
        }
        flat = flat * bound.count + static_cast<std::size_t>(offset);
    }
    return elements_[flat];
}

std::optional<double> Value::Number() const {
    switch (kind_) {
        case ValueKind::Int16:
        case ValueKind::Int32:
            return static_cast<double>(int_);
        case ValueKind::Double:
            return double_;
        default:
            return std::nullopt;
    }
}

std::string Value::Text() const {
    std::string out(KindName(kind_));
    switch (kind_) {
        case ValueKind::Empty:
        case ValueKind::Null:
            break;
        case ValueKind::Bool:
            out += bool_ ? " true" : " false";
            break;
        case ValueKind::Int16:
        case ValueKind::Int32:
            out += ' ';
            AppendInteger(out, int_);
            break;
        case ValueKind::Double:
            out += ' ';
            AppendDouble(out, double_);
            break;
        case ValueKind::String:
            out += " \"";
            for (const char c : string_) {
                if (c == '"' || c == '\\') {
                    out += '\\';
                }
                out += c;
            }
            out += '"';
            break;
        case ValueKind::Array: {
            out += '[';
            for (std::size_t i = 0; i < bounds_.size(); ++i) {
                if (i > 0) {
                    out += ',';
                }
                AppendInteger(out, bounds_[i].lowerBound);
                out += ':';
                AppendInteger(out, static_cast<std::int64_t>(bounds_[i].count));
            }
            out += "]{";
            for (std::size_t i = 0; i < elements_.size(); ++i) {
                if (i > 0) {
                    out += "; ";
                }
                out += elements_[i].Text();
            }
            out += '}';
            break;
        }
    }
    return out;
}

bool Value::operator==(const Value& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
        case ValueKind::Empty:
        case ValueKind::Null:
            return true;
        case ValueKind::Bool:
            return bool_ == other.bool_;
        case ValueKind::Int16:
        case ValueKind::Int32:
            return int_ == other.int_;
        case ValueKind::Double:
            return double_ == other.double_;
        case ValueKind::String:
            return string_ == other.string_;
        case ValueKind::Array:
            return bounds_ == other.bounds_ && elements_ == other.elements_;
    }
    return false;
}

}  // namespace hostsim
