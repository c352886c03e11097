#pragma once

#include <vector>

#include "hostsim/model/Value.h"

namespace hostsim {

class ScriptApi;

// The operations that measure curves: planarity, division and intersection, as the script
// object's operation table runs them. An id that names no curve answers Null. Distances are
// compared with the document's absolute tolerance.
struct CurveOperations {
    static Value IsCurvePlanar(ScriptApi& api, const std::vector<Value>& args);
    static Value IsCurveInPlane(ScriptApi& api, const std::vector<Value>& args);
    static Value DivideCurve(ScriptApi& api, const std::vector<Value>& args);
    static Value CurveCurveIntersection(ScriptApi& api, const std::vector<Value>& args);
};

}  // namespace hostsim
