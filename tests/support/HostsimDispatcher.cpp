#include "HostsimDispatcher.h"

#include <cstdint>
#include <stdexcept>

#include "common/HostError.h"

namespace testing_support {

using common::HostValue;
using hostsim::Value;
using hostsim::ValueKind;

Value HostsimDispatcher::ToHostsim(const HostValue& value) {
    switch (value.kind) {
        case HostValue::Kind::Empty:
            return Value::Empty();
        case HostValue::Kind::Null:
            return Value::Null();
        case HostValue::Kind::Bool:
            return Value::Bool(value.boolean);
        case HostValue::Kind::Int16:
            return Value::Int16(static_cast<std::int16_t>(value.number));
        case HostValue::Kind::Int32:
            return Value::Int32(static_cast<std::int32_t>(value.number));
        case HostValue::Kind::Double:
            return Value::Double(value.number);
        case HostValue::Kind::String:
            return Value::String(value.text);
        case HostValue::Kind::Array: {
            std::vector<hostsim::ArrayBound> bounds;
            for (const HostValue::Bound& bound : value.bounds) {
                bounds.push_back({bound.lower, bound.count});
            }
            std::vector<Value> elements;
            elements.reserve(value.elements.size());
            for (const HostValue& element : value.elements) {
                elements.push_back(ToHostsim(element));
            }
            return Value::Array(std::move(bounds), std::move(elements));
        }
        case HostValue::Kind::Object:
        case HostValue::Kind::Other:
            break;
    }
    throw std::invalid_argument("the simulated host takes no value of kind " + value.Describe());
}

HostValue HostsimDispatcher::FromHostsim(const Value& value) {
    switch (value.Kind()) {
        case ValueKind::Empty:
            return HostValue::Empty();
        case ValueKind::Null:
            return HostValue::Null();
        case ValueKind::Bool:
            return HostValue::Bool(value.AsBool());
        case ValueKind::Int16:
            return HostValue::Int16(value.AsInt16());
        case ValueKind::Int32:
            return HostValue::Int32(value.AsInt32());
        case ValueKind::Double:
            return HostValue::Double(value.AsDouble());
        case ValueKind::String:
            return HostValue::String(value.AsString());
        case ValueKind::Array: {
            std::vector<HostValue::Bound> bounds;
            for (const hostsim::ArrayBound& bound : value.Bounds()) {
                bounds.push_back({bound.lowerBound, static_cast<std::uint32_t>(bound.count)});
            }
            std::vector<HostValue> elements;
            elements.reserve(value.Elements().size());
            for (const Value& element : value.Elements()) {
                elements.push_back(FromHostsim(element));
            }
            return HostValue::Array(std::move(elements), std::move(bounds));
        }
    }
    return HostValue::Empty();
}

HostValue HostsimDispatcher::Call(const std::string& name, const std::vector<HostValue>& args) {
    std::vector<Value> converted;
    converted.reserve(args.size());
    for (const HostValue& arg : args) {
        converted.push_back(ToHostsim(arg));
    }
    try {
        return FromHostsim(api_.Call(name, converted));
    } catch (const hostsim::ScriptError& error) {
        throw common::HostError(error.Operation(), error.Description());
    }
}

void HostsimDispatcher::Put(const std::string& name, const HostValue&) {
    throw common::HostError(name, "the script object has no properties");
}

std::unique_ptr<host::Dispatcher> HostsimDispatcher::CallForObject(const std::string& name) {
    throw common::HostError(name, "the script object hands out no objects");
}

}  // namespace testing_support
