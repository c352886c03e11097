#pragma once

#include <vector>

#include "hostsim/model/Value.h"

namespace hostsim {

class ScriptApi;

// The operations that measure curves: planarity, closure, end points, degree, division and
// intersection, as the script
// object's operation table runs them. An id that names no curve answers Null. Distances are
// compared with the document's absolute tolerance.
struct CurveOperations {
    static Value IsCurvePlanar(ScriptApi& api, const std::vector<Value>& args);
    static Value IsCurveInPlane(ScriptApi& api, const std::vector<Value>& args);
    static Value IsCurveClosed(ScriptApi& api, const std::vector<Value>& args);
    // The point at the start (end) of the curve's domain.
    static Value CurveStartPoint(ScriptApi& api, const std::vector<Value>& args);
    static Value CurveEndPoint(ScriptApi& api, const std::vector<Value>& args);
    // Int32: 1 for lines and polylines, an interpolated curve's degree as InterpCrv made it.
    static Value CurveDegree(ScriptApi& api, const std::vector<Value>& args);
    static Value DivideCurve(ScriptApi& api, const std::vector<Value>& args);
    static Value CurveCurveIntersection(ScriptApi& api, const std::vector<Value>& args);
};

}  // namespace hostsim
