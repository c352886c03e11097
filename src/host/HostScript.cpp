#include "host/HostScript.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "common/HostError.h"

namespace host {

namespace {

using common::HostValue;

HostValue Text(const std::string& text) {
    return HostValue::String(text);
}

// The arguments of one call, moved into place: a braced list would copy every value (ids,
// points) once more, since the elements of an initializer list can only be copied out.
template <typename... Values>
std::vector<HostValue> Args(Values&&... values) {
    std::vector<HostValue> args;
    args.reserve(sizeof...(values));
    (args.push_back(std::forward<Values>(values)), ...);
    return args;
}

HostValue PlaneValue(const PlaneArgument& plane) {
    std::vector<HostValue> entries;
    entries.reserve(plane.size());
    for (const auto& entry : plane) {
        entries.push_back(
            HostValue::Array({HostValue::Int16(entry[0]), HostValue::Int16(entry[1]), HostValue::Int16(entry[2])}));
    }
    return HostValue::Array(std::move(entries));
}

// A whole number within 32 bits, of any width (doubles included), or nothing.
std::optional<std::int32_t> ReadWholeNumber(const HostValue& answer) {
    if (!answer.IsNumber() || std::trunc(answer.number) != answer.number || std::fabs(answer.number) > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(answer.number);
}

// Every operation a method calls is listed here: a name passed to Call or Ask that is not listed
// does not compile.
constexpr const char* kOperationNames[] = {
    "WindowHandle",
    "GetObject",
    "GetObjects",
    "AllObjects",
    "SelectedObjects",
    "IsPoint",
    "IsCurve",
    "IsCurvePlanar",
    "IsCurveInPlane",
    "IsCurveClosed",
    "CurveStartPoint",
    "CurveEndPoint",
    "CurveDegree",
    "UnitAbsoluteTolerance",
    "UnitSystem",
    "PointCoordinates",
    "AddLine",
    "AddPoint",
    "DivideCurve",
    "CurveCurveIntersection",
    "DeleteObject",
    "SelectObject",
    "UnselectObject",
    "UnselectAllObjects",
    "EnableRedraw",
    "Command",
    "LastCommandResult",
    "InCommand",
    "LastCreatedObjects",
};

}  // namespace

class HostScript::Operation {
  public:
    // Immediate: a name missing from kOperationNames reaches the throw, which no constant
    // evaluation may, and the call fails to compile.
    consteval Operation(const char* name) : name_(name) {
        for (const char* listed : kOperationNames) {
            if (std::string_view(listed) == name) {
                return;
            }
        }
        throw "not a listed host operation";
    }

    const char* Name() const { return name_; }

  private:
    const char* name_;
};

std::span<const char* const> HostScript::OperationNames() {
    return kOperationNames;
}

Dispatcher& HostScript::Script(const Operation& operation) const {
    if (script_ == nullptr) {
        throw common::HostError(operation.Name(), "no Rhino script object is attached",
                                common::HostError::Cause::NotAttached);
    }
    return *script_;
}

HostValue HostScript::Call(Operation operation, std::vector<HostValue> args) {
    return Script(operation).Call(operation.Name(), args);
}

HostValue HostScript::Ask(Operation operation, std::vector<HostValue> args) {
    return Script(operation).Ask(operation.Name(), args);
}

bool HostScript::ReadBool(const HostValue& answer) {
    return answer.kind == HostValue::Kind::Bool && answer.boolean;
}

std::optional<std::string> HostScript::ReadId(HostValue answer) {
    if (answer.kind != HostValue::Kind::String) {
        return std::nullopt;
    }
    return std::move(answer.text);
}

std::optional<std::vector<std::string>> HostScript::ReadIds(HostValue answer) {
    if (!answer.IsArray() || answer.Dimensions() != 1) {
        return std::nullopt;
    }
    std::vector<std::string> ids;
    ids.reserve(answer.elements.size());
    for (HostValue& element : answer.elements) {
        // An element that is no id text names nothing the tool could list or select.
        if (element.kind == HostValue::Kind::String) {
            // Moved out: a whole document's ids are not copied a second time.
            ids.push_back(std::move(element.text));
        }
    }
    return ids;
}

std::optional<common::HostPoint> HostScript::ReadPoint(const HostValue& answer) {
    if (!answer.IsArray() || answer.Dimensions() != 1) {
        return std::nullopt;
    }
    const HostValue* x = answer.At({0});
    const HostValue* y = answer.At({1});
    const HostValue* z = answer.At({2});
    if (x == nullptr || y == nullptr || z == nullptr || !x->IsNumber() || !y->IsNumber() || !z->IsNumber()) {
        return std::nullopt;
    }
    return common::HostPoint{x->number, y->number, z->number};
}

std::int32_t HostScript::WindowHandle() {
    const HostValue answer = Call("WindowHandle", Args());
    if (!answer.IsNumber() || !std::isfinite(answer.number)) {
        return 0;
    }
    // A handle wider than 32 bits keeps its low 32 bits, as window handles are shared
    // between 32- and 64-bit processes.
    // A 64-bit integer holds [-2^63, 2^63): 2^63 is the first double past its top (the top itself
    // is no double), so the upper bound is exclusive.
    const double rounded = std::nearbyint(answer.number);
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (rounded < -kTwoTo63 || rounded >= kTwoTo63) {
        return 0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(rounded) & 0xFFFFFFFF));
}

std::optional<std::string> HostScript::GetObject(const std::string& prompt, std::int16_t filter) {
    return ReadId(Call("GetObject", Args(Text(prompt), HostValue::Int16(filter))));
}

std::optional<std::vector<std::string>> HostScript::GetObjects(const std::string& prompt, std::int16_t filter) {
    return ReadIds(Call("GetObjects", Args(Text(prompt), HostValue::Int16(filter))));
}

std::optional<std::vector<std::string>> HostScript::AllObjects() {
    return ReadIds(Call("AllObjects", Args()));
}

std::optional<std::vector<std::string>> HostScript::SelectedObjects() {
    return ReadIds(Call("SelectedObjects", Args()));
}

bool HostScript::IsPoint(const std::string& id) {
    return ReadBool(Call("IsPoint", Args(Text(id))));
}

bool HostScript::IsCurve(const std::string& id) {
    return ReadBool(Call("IsCurve", Args(Text(id))));
}

bool HostScript::IsCurvePlanar(const std::string& id) {
    return ReadBool(Call("IsCurvePlanar", Args(Text(id))));
}

bool HostScript::IsCurveInPlane(const std::string& id, const PlaneArgument& plane) {
    return ReadBool(Call("IsCurveInPlane", Args(Text(id), PlaneValue(plane))));
}

bool HostScript::IsCurveClosed(const std::string& id) {
    return ReadBool(Call("IsCurveClosed", Args(Text(id))));
}

std::optional<common::HostPoint> HostScript::CurveStartPoint(const std::string& id) {
    return ReadPoint(Call("CurveStartPoint", Args(Text(id))));
}

std::optional<common::HostPoint> HostScript::CurveEndPoint(const std::string& id) {
    return ReadPoint(Call("CurveEndPoint", Args(Text(id))));
}

std::optional<std::int32_t> HostScript::CurveDegree(const std::string& id) {
    return ReadWholeNumber(Call("CurveDegree", Args(Text(id))));
}

std::optional<double> HostScript::UnitAbsoluteTolerance() {
    const HostValue answer = Call("UnitAbsoluteTolerance", Args());
    if (!answer.IsNumber() || !std::isfinite(answer.number)) {
        return std::nullopt;
    }
    return answer.number;
}

std::optional<std::int32_t> HostScript::UnitSystem() {
    return ReadWholeNumber(Call("UnitSystem", Args()));
}

std::optional<common::HostPoint> HostScript::PointCoordinates(const std::string& id) {
    return ReadPoint(Call("PointCoordinates", Args(Text(id))));
}

std::optional<std::string> HostScript::AddLine(const HostValue& start, const HostValue& end) {
    return ReadId(Call("AddLine", Args(start, end)));
}

void HostScript::AddPoint(const HostValue& point) {
    (void)Call("AddPoint", Args(point));
}

std::optional<std::vector<HostValue>> HostScript::DivideCurve(const std::string& id, double segments) {
    HostValue answer = Call("DivideCurve", Args(Text(id), HostValue::Double(segments)));
    if (!answer.IsArray() || answer.Dimensions() != 1) {
        return std::nullopt;
    }
    return std::move(answer.elements);
}

std::optional<common::HostPoint> HostScript::CurveCurveIntersection(const std::string& curveA,
                                                                    const std::string& curveB) {
    const HostValue answer = Call("CurveCurveIntersection", Args(Text(curveA), Text(curveB)));
    if (!answer.IsArray() || answer.Dimensions() != 2) {
        return std::nullopt;
    }
    const HostValue* pointOnA = answer.At({0, 1});
    if (pointOnA == nullptr) {
        return std::nullopt;
    }
    return ReadPoint(*pointOnA);
}

bool HostScript::DeleteObject(const std::string& id) {
    const HostValue answer = Call("DeleteObject", Args(Text(id)));
    return answer.kind != HostValue::Kind::Bool || answer.boolean;
}

void HostScript::SelectObject(const std::string& id) {
    (void)Call("SelectObject", Args(Text(id)));
}

void HostScript::UnselectObject(const std::string& id) {
    (void)Call("UnselectObject", Args(Text(id)));
}

void HostScript::UnselectAllObjects() {
    (void)Call("UnselectAllObjects", Args());
}

std::optional<bool> HostScript::EnableRedraw(bool enable) {
    const HostValue answer = Call("EnableRedraw", Args(HostValue::Bool(enable)));
    if (answer.kind != HostValue::Kind::Bool) {
        return std::nullopt;
    }
    return answer.boolean;
}

bool HostScript::Command(std::string commandText) {
    return ReadBool(Call("Command", Args(HostValue::String(std::move(commandText)), HostValue::Int32(0))));
}

std::optional<std::int32_t> HostScript::LastCommandResult() {
    return ReadWholeNumber(Ask("LastCommandResult", Args()));
}

std::optional<std::int32_t> HostScript::InCommand() {
    return ReadWholeNumber(Ask("InCommand", Args()));
}

std::optional<std::vector<std::string>> HostScript::LastCreatedObjects() {
    return ReadIds(Ask("LastCreatedObjects", Args()));
}

}  // namespace host
