#include "hostsim/model/ObjectOperations.h"

#include <cmath>
#include <optional>
#include <string>

#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/ScriptArgs.h"

namespace hostsim {

namespace {

DocObject* FindObject(Document& document, const Value& idArg) {
    const std::string* id = ArgString(idArg);
    return id ? document.Find(*id) : nullptr;
}

// Bool: whether the object is of `kind`; Null when the id names no object.
Value IsKind(Document& document, const Value& idArg, ObjectKind kind) {
    const DocObject* object = FindObject(document, idArg);
    return object ? Value::Bool(object->kind == kind) : Value::Null();
}

}  // namespace

Value ObjectOperations::AllObjects(ScriptApi& api, const std::vector<Value>&) {
    return IdArray(api.Doc().AllIds());
}

Value ObjectOperations::SelectedObjects(ScriptApi& api, const std::vector<Value>&) {
    return IdArray(api.Doc().SelectedIds());
}

Value ObjectOperations::IsPoint(ScriptApi& api, const std::vector<Value>& args) {
    return IsKind(api.Doc(), Arg(args, 0), ObjectKind::Point);
}

Value ObjectOperations::IsCurve(ScriptApi& api, const std::vector<Value>& args) {
    return IsKind(api.Doc(), Arg(args, 0), ObjectKind::Curve);
}

Value ObjectOperations::PointCoordinates(ScriptApi& api, const std::vector<Value>& args) {
    DocObject* object = FindObject(api.Doc(), Arg(args, 0));
    if (object == nullptr || object->kind != ObjectKind::Point) {
        return Value::Null();
    }
    const Vec3 previous = object->point;
    if (!Arg(args, 1).IsEmpty()) {
        const std::optional<Vec3> moved = ArgPoint(Arg(args, 1));
        if (!moved) {
            return Value::Null();
        }
        object->point = *moved;
    }
    return PointValue(previous);
}

Value ObjectOperations::AddLine(ScriptApi& api, const std::vector<Value>& args) {
    const std::optional<Vec3> start = ArgPoint(Arg(args, 0));
    const std::optional<Vec3> end = ArgPoint(Arg(args, 1));
    std::optional<Curve> line = start && end ? Curve::MakeLine(*start, *end) : std::nullopt;
    return line ? Value::String(api.Doc().AddCurve(std::move(*line))) : Value::Null();
}

Value ObjectOperations::AddPoint(ScriptApi& api, const std::vector<Value>& args) {
    const std::optional<Vec3> point = ArgPoint(Arg(args, 0));
    return point ? Value::String(api.Doc().AddPoint(*point)) : Value::Null();
}

Value ObjectOperations::DeleteObject(ScriptApi& api, const std::vector<Value>& args) {
    const DocObject* object = FindObject(api.Doc(), Arg(args, 0));
    if (object == nullptr) {
        return Value::Bool(false);
    }
    // A locked or hidden object (or one on such a layer) is deleted only when the caller asks
    // to ignore modes.
    const std::optional<bool> ignoreModes = Arg(args, 1).IsEmpty() ? std::optional<bool>(false) : ArgBool(Arg(args, 1));
    if (!api.Doc().IsSelectable(*object) && !ignoreModes.value_or(false)) {
        return Value::Bool(false);
    }
    return Value::Bool(api.Doc().Delete(object->id));
}

Value ObjectOperations::SelectObject(ScriptApi& api, const std::vector<Value>& args) {
    const DocObject* object = FindObject(api.Doc(), Arg(args, 0));
    return object ? Value::Bool(api.Doc().Select(object->id)) : Value::Null();
}

Value ObjectOperations::UnselectObject(ScriptApi& api, const std::vector<Value>& args) {
    const DocObject* object = FindObject(api.Doc(), Arg(args, 0));
    return object ? Value::Bool(api.Doc().Unselect(object->id)) : Value::Null();
}

Value ObjectOperations::UnselectAllObjects(ScriptApi& api, const std::vector<Value>&) {
    return Value::Int32(api.Doc().UnselectAll());
}

Value ObjectOperations::EnableRedraw(ScriptApi& api, const std::vector<Value>& args) {
    const std::optional<bool> enable = Arg(args, 0).IsEmpty() ? std::optional<bool>(true) : ArgBool(Arg(args, 0));
    if (!enable) {
        return Value::Null();
    }
    const bool previous = api.Doc().RedrawEnabled();
    api.Doc().SetRedrawEnabled(*enable);
    return Value::Bool(previous);
}

Value ObjectOperations::UnitAbsoluteTolerance(ScriptApi& api, const std::vector<Value>& args) {
    const double previous = api.Doc().Tolerance();
    if (Arg(args, 0).IsEmpty()) {
        return Value::Double(previous);
    }
    const std::optional<double> tolerance = ArgNumber(Arg(args, 0));
    if (!tolerance || !(*tolerance > 0.0) || !std::isfinite(*tolerance)) {
        return Value::Null();
    }
    api.Doc().SetTolerance(*tolerance);
    return Value::Double(previous);
}

Value ObjectOperations::UnitSystem(ScriptApi& api, const std::vector<Value>& args) {
    // The host's unit systems run from 0 (none) to 25 (parsecs).
    constexpr double kLastUnitSystem = 25;
    const int previous = api.Doc().UnitSystem();
    if (Arg(args, 0).IsEmpty()) {
        return Value::Int32(previous);
    }
    const std::optional<double> system = ArgNumber(Arg(args, 0));
    if (!system || *system < 0 || *system > kLastUnitSystem || std::trunc(*system) != *system) {
        return Value::Null();
    }
    api.Doc().SetUnitSystem(static_cast<int>(*system));
    return Value::Int32(previous);
}

}  // namespace hostsim
