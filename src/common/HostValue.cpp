#include "common/HostValue.h"

#include <utility>

#include "common/NumberText.h"

namespace common {

HostValue HostValue::Null() {
    HostValue v;
    v.kind = Kind::Null;
    return v;
}

HostValue HostValue::Bool(bool value) {
    HostValue v;
    v.kind = Kind::Bool;
    v.boolean = value;
    return v;
}

HostValue HostValue::Int16(std::int16_t value) {
    HostValue v;
    v.kind = Kind::Int16;
    v.number = value;
    return v;
}

HostValue HostValue::Int32(std::int32_t value) {
    HostValue v;
    v.kind = Kind::Int32;
    v.number = value;
    return v;
}

HostValue HostValue::Double(double value) {
    HostValue v;
    v.kind = Kind::Double;
    v.number = value;
    return v;
}

HostValue HostValue::String(std::string value) {
    HostValue v;
    v.kind = Kind::String;
    v.text = std::move(value);
    return v;
}

HostValue HostValue::Array(std::vector<HostValue> elements) {
    const auto count = static_cast<std::uint32_t>(elements.size());
    return Array(std::move(elements), {Bound{0, count}});
}

HostValue HostValue::Array(std::vector<HostValue> elements, std::vector<Bound> bounds) {
    HostValue v;
    v.kind = Kind::Array;
    v.elements = std::move(elements);
    v.bounds = std::move(bounds);
    return v;
}

HostValue HostValue::Point(double x, double y, double z) {
    return Array({Double(x), Double(y), Double(z)});
}

const HostValue* HostValue::At(std::initializer_list<std::int32_t> subscripts) const {
    if (kind != Kind::Array || subscripts.size() != bounds.size()) {
        return nullptr;
    }
    std::size_t offset = 0;
    std::size_t dimension = 0;
    for (const std::int32_t subscript : subscripts) {
        const Bound& bound = bounds[dimension++];
        const std::int64_t index = static_cast<std::int64_t>(subscript) - bound.lower;
        if (index < 0 || index >= static_cast<std::int64_t>(bound.count)) {
            return nullptr;
        }
        offset = offset * bound.count + static_cast<std::size_t>(index);
    }
    return offset < elements.size() ? &elements[offset] : nullptr;
}

std::string HostValue::Describe() const {
    switch (kind) {
        case Kind::Empty:
            return "Empty";
        case Kind::Null:
            return "Null";
        case Kind::Bool:
            return boolean ? "Bool:true" : "Bool:false";
        case Kind::Int16:
            return "I2:" + NumberText(number);
        case Kind::Int32:
            return "I4:" + NumberText(number);
        case Kind::Double:
            return "R8:" + NumberText(number);
        case Kind::String:
            return "S:\"" + text + "\"";
        case Kind::Object:
            return "Object";
        case Kind::Other:
            return "Other";
        case Kind::Array: {
            std::string out = "A(";
            for (std::size_t i = 0; i < elements.size(); ++i) {
                out += (i == 0 ? "" : ",") + elements[i].Describe();
            }
            return out + ")";
        }
    }
    return "?";
}

}  // namespace common
