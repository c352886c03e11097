#include "hostsim/model/ScriptArgs.h"

#include <cmath>

#include "hostsim/model/TextScan.h"

namespace hostsim {

const Value& Arg(const std::vector<Value>& args, std::size_t index) {
    static const Value kOmitted;
    return index < args.size() ? args[index] : kOmitted;
}

std::optional<double> ArgNumber(const Value& v) {
    if (const std::optional<double> number = v.Number()) {
        return number;
    }
    if (v.Kind() == ValueKind::Bool) {
        return v.AsBool() ? -1.0 : 0.0;
    }
    if (v.Kind() == ValueKind::String) {
        std::string_view text = v.AsString();
        const std::string_view word = NextWord(text);
        if (NextWord(text).empty()) {
            return ParseNumber(word);
        }
    }
    return std::nullopt;
}

std::optional<bool> ArgBool(const Value& v) {
    if (v.Kind() == ValueKind::Bool) {
        return v.AsBool();
    }
    if (v.Kind() == ValueKind::String) {
        std::string_view text = v.AsString();
        const std::string_view word = NextWord(text);
        if (NextWord(text).empty()) {
            if (EqualsIgnoringCase(word, "True")) {
                return true;
            }
            if (EqualsIgnoringCase(word, "False")) {
                return false;
            }
        }
    }
    if (const std::optional<double> number = ArgNumber(v)) {
        return *number != 0.0;
    }
    return std::nullopt;
}

const std::string* ArgString(const Value& v) {
    return v.Kind() == ValueKind::String ? &v.AsString() : nullptr;
}

std::optional<Vec3> ArgPoint(const Value& v) {
    if (!v.IsArray() || v.Dimensions() != 1) {
        return std::nullopt;
    }
    const std::vector<Value>& elements = v.Elements();
    if (elements.size() != 2 && elements.size() != 3) {
        return std::nullopt;
    }
    double coordinates[3] = {0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < elements.size(); ++i) {
        // A nested array is not a coordinate, and neither is a string: RhinoScript reads
        // points from numbers only.
        const std::optional<double> number = elements[i].Number();
        if (!number || !std::isfinite(*number)) {
            return std::nullopt;
        }
        coordinates[i] = *number;
    }
    return Vec3{coordinates[0], coordinates[1], coordinates[2]};
}

std::optional<PlaneArg> ArgPlane(const Value& v) {
    if (!v.IsArray() || v.Dimensions() != 1) {
        return std::nullopt;
    }
    const std::vector<Value>& elements = v.Elements();
    if (elements.size() != 3 && elements.size() != 4) {
        return std::nullopt;
    }
    const std::optional<Vec3> origin = ArgPoint(elements[0]);
    const std::optional<Vec3> xAxis = ArgPoint(elements[1]);
    const std::optional<Vec3> yAxis = ArgPoint(elements[2]);
    if (!origin || !xAxis || !yAxis) {
        return std::nullopt;
    }
    return PlaneArg{*origin, *xAxis, *yAxis};
}

std::optional<std::int32_t> RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // nearbyint rounds in the current rounding mode, which is round-half-to-even unless a
    // caller changed it; compute it directly instead to be independent of that.
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

Value IdArray(std::vector<std::string> ids) {
    if (ids.empty()) {
        return Value::Null();
    }
    std::vector<Value> elements;
    elements.reserve(ids.size());
    for (std::string& id : ids) {
        elements.push_back(Value::String(std::move(id)));
    }
    return Value::Array(std::move(elements));
}

Value PointValue(Vec3 p) {
    return Value::Point(p.x, p.y, p.z);
}

}  // namespace hostsim
