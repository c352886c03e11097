#include "hostsim/model/CurveOperations.h"

#include <cstdint>
#include <optional>
#include <string>

#include "hostsim/model/Document.h"
#include "hostsim/model/Intersection.h"
#include "hostsim/model/Planarity.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/ScriptArgs.h"

namespace hostsim {

namespace {

// Largest division count DivideCurve accepts; a larger one answers Null rather than build an
// array of millions of points.
constexpr std::int32_t kMaxSegments = 1000000;

const Curve* FindCurve(const Document& document, const Value& idArg) {
    const std::string* id = ArgString(idArg);
    const DocObject* object = id ? document.Find(*id) : nullptr;
    return object && object->kind == ObjectKind::Curve ? &*object->curve : nullptr;
}

}  // namespace

Value CurveOperations::IsCurvePlanar(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    return curve ? Value::Bool(IsPlanar(curve->ShapeSamples(), api.Doc().Tolerance())) : Value::Null();
}

Value CurveOperations::IsCurveInPlane(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    // Without a plane the construction plane is used, which is world XY here.
    const std::optional<PlaneArg> plane = Arg(args, 1).IsEmpty()
                                              ? std::optional<PlaneArg>(PlaneArg{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                                              : ArgPlane(Arg(args, 1));
    if (curve == nullptr || !plane || !(Length(Cross(plane->xAxis, plane->yAxis)) > 0.0)) {
        return Value::Null();
    }
    return Value::Bool(
        LiesInPlane(curve->ShapeSamples(), plane->origin, plane->xAxis, plane->yAxis, api.Doc().Tolerance()));
}

Value CurveOperations::IsCurveClosed(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    return curve ? Value::Bool(curve->IsClosed()) : Value::Null();
}

Value CurveOperations::CurveStartPoint(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    return curve ? PointValue(curve->PointAt(curve->DomainStart())) : Value::Null();
}

Value CurveOperations::CurveEndPoint(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    return curve ? PointValue(curve->PointAt(curve->DomainEnd())) : Value::Null();
}

Value CurveOperations::CurveDegree(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    return curve ? Value::Int32(curve->Degree()) : Value::Null();
}

Value CurveOperations::DivideCurve(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* curve = FindCurve(api.Doc(), Arg(args, 0));
    const std::optional<double> count = ArgNumber(Arg(args, 1));
    const std::optional<std::int32_t> segments = count ? RoundHalfEven(*count) : std::nullopt;
    if (curve == nullptr || !segments || *segments < 1 || *segments > kMaxSegments || !(curve->Length() > 0.0)) {
        return Value::Null();
    }
    const bool create = Arg(args, 2).IsEmpty() ? false : ArgBool(Arg(args, 2)).value_or(false);
    const bool asPoints = Arg(args, 3).IsEmpty() ? true : ArgBool(Arg(args, 3)).value_or(true);
    const std::int32_t pointCount = curve->IsClosed() ? *segments : *segments + 1;
    std::vector<Value> elements;
    std::vector<Vec3> points;
    elements.reserve(static_cast<std::size_t>(pointCount));
    for (std::int32_t i = 0; i < pointCount; ++i) {
        const double t =
            i == *segments ? curve->DomainEnd() : curve->ParameterAtLength(curve->Length() * i / *segments);
        const Vec3 p = curve->PointAt(t);
        if (create) {
            points.push_back(p);
        }
        elements.push_back(asPoints ? PointValue(p) : Value::Double(t));
    }
    // Added after the walk: adding objects moves the curve the pointer refers to.
    for (const Vec3& p : points) {
        api.Doc().AddPoint(p);
    }
    return Value::Array(std::move(elements));
}

Value CurveOperations::CurveCurveIntersection(ScriptApi& api, const std::vector<Value>& args) {
    const Curve* a = FindCurve(api.Doc(), Arg(args, 0));
    // Without a second curve the host looks for self-intersections, which are not simulated.
    const Curve* b = FindCurve(api.Doc(), Arg(args, 1));
    const std::optional<double> given = Arg(args, 2).IsEmpty() ? std::nullopt : ArgNumber(Arg(args, 2));
    const double tolerance = given && *given > 0.0 ? *given : api.Doc().Tolerance();
    if (a == nullptr || b == nullptr) {
        return Value::Null();
    }
    const std::vector<IntersectionEvent> events = IntersectCurves(*a, *b, tolerance);
    if (events.empty()) {
        return Value::Null();
    }
    std::vector<Value> cells;
    cells.reserve(events.size() * 9);
    for (const IntersectionEvent& e : events) {
        cells.push_back(Value::Int32(e.overlap ? 2 : 1));
        cells.push_back(PointValue(e.aStart));
        cells.push_back(PointValue(e.aEnd));
        cells.push_back(PointValue(e.bStart));
        cells.push_back(PointValue(e.bEnd));
        cells.push_back(Value::Double(e.aParamStart));
        cells.push_back(Value::Double(e.aParamEnd));
        cells.push_back(Value::Double(e.bParamStart));
        cells.push_back(Value::Double(e.bParamEnd));
    }
    return Value::Array({ArrayBound{0, events.size()}, ArrayBound{0, 9}}, std::move(cells));
}

}  // namespace hostsim
