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
    v.data_ = b;
    return v;
}

Value Value::Int16(std::int16_t i) {
    Value v;
    v.kind_ = ValueKind::Int16;
    v.data_ = static_cast<std::int32_t>(i);
    return v;
}

Value Value::Int32(std::int32_t i) {
    Value v;
    v.kind_ = ValueKind::Int32;
    v.data_ = i;
    return v;
}

Value Value::Double(double d) {
    Value v;
    v.kind_ = ValueKind::Double;
    v.data_ = d;
    return v;
}

Value Value::String(std::string s) {
    Value v;
    v.kind_ = ValueKind::String;
    v.data_ = std::move(s);
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
    v.data_ = std::make_shared<const ArrayData>(ArrayData{std::move(bounds), std::move(elements)});
    return v;
}

Value Value::Point(double x, double y, double z) {
    std::vector<Value> elements;
    elements.reserve(3);
    elements.push_back(Double(x));
    elements.push_back(Double(y));
    elements.push_back(Double(z));
    return Array(std::move(elements));
}

bool Value::IsNumber() const {
    return kind_ == ValueKind::Int16 || kind_ == ValueKind::Int32 || kind_ == ValueKind::Double;
}

bool Value::AsBool() const {
    if (kind_ != ValueKind::Bool) {
        throw std::logic_error("value is not a Bool");
    }
    return std::get<bool>(data_);
}

std::int16_t Value::AsInt16() const {
    if (kind_ != ValueKind::Int16) {
        throw std::logic_error("value is not an Int16");
    }
    return static_cast<std::int16_t>(std::get<std::int32_t>(data_));
}

std::int32_t Value::AsInt32() const {
    if (kind_ != ValueKind::Int32) {
        throw std::logic_error("value is not an Int32");
    }
    return std::get<std::int32_t>(data_);
}

double Value::AsDouble() const {
    if (kind_ != ValueKind::Double) {
        throw std::logic_error("value is not a Double");
    }
    return std::get<double>(data_);
}

const std::string& Value::AsString() const {
    if (kind_ != ValueKind::String) {
        throw std::logic_error("value is not a String");
    }
    return std::get<std::string>(data_);
}

const std::vector<ArrayBound>& Value::Bounds() const {
    if (kind_ != ValueKind::Array) {
        throw std::logic_error("value is not an Array");
    }
    return std::get<std::shared_ptr<const ArrayData>>(data_)->bounds;
}

const std::vector<Value>& Value::Elements() const {
    if (kind_ != ValueKind::Array) {
        throw std::logic_error("value is not an Array");
    }
    return std::get<std::shared_ptr<const ArrayData>>(data_)->elements;
}

std::size_t Value::Dimensions() const {
    return kind_ == ValueKind::Array ? Bounds().size() : 0;
}

const Value& Value::At(std::initializer_list<std::int64_t> indexes) const {
    const std::vector<ArrayBound>& bounds = Bounds();
    if (indexes.size() != bounds.size()) {
        throw std::out_of_range("wrong number of array indexes");
    }
    std::size_t flat = 0;
    std::size_t dimension = 0;
    for (const std::int64_t index : indexes) {
        const ArrayBound& bound = bounds[dimension++];
        const std::int64_t offset = index - bound.lowerBound;
        if (offset < 0 || static_cast<std::uint64_t>(offset) >= bound.count) {
            throw std::out_of_range("array index outside its bounds");
        }
        flat = flat * bound.count + static_cast<std::size_t>(offset);
    }
    return Elements()[flat];
}

std::optional<double> Value::Number() const {
    switch (kind_) {
        case ValueKind::Int16:
        case ValueKind::Int32:
            return static_cast<double>(std::get<std::int32_t>(data_));
        case ValueKind::Double:
            return std::get<double>(data_);
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
            out += AsBool() ? " true" : " false";
            break;
        case ValueKind::Int16:
        case ValueKind::Int32:
            out += ' ';
            AppendInteger(out, std::get<std::int32_t>(data_));
            break;
        case ValueKind::Double:
            out += ' ';
            AppendDouble(out, AsDouble());
            break;
        case ValueKind::String:
            out += " \"";
            for (const char c : AsString()) {
                if (c == '"' || c == '\\') {
                    out += '\\';
                }
                out += c;
            }
            out += '"';
            break;
        case ValueKind::Array: {
            const std::vector<ArrayBound>& bounds = Bounds();
            const std::vector<Value>& elements = Elements();
            out += '[';
            for (std::size_t i = 0; i < bounds.size(); ++i) {
                if (i > 0) {
                    out += ',';
                }
                AppendInteger(out, bounds[i].lowerBound);
                out += ':';
                AppendInteger(out, static_cast<std::int64_t>(bounds[i].count));
            }
            out += "]{";
            for (std::size_t i = 0; i < elements.size(); ++i) {
                if (i > 0) {
                    out += "; ";
                }
                out += elements[i].Text();
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
    if (kind_ == ValueKind::Array) {
        return Bounds() == other.Bounds() && Elements() == other.Elements();
    }
    return data_ == other.data_;
}

}  // namespace hostsim
