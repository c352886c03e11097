#pragma once

#include <vector>

#include "hostsim/model/Value.h"

namespace hostsim {

class ScriptApi;

// The operations that list, test, add, move, delete and select the document's objects, and
// the redraw switch and the document's units, as the script object's operation table runs them. The arguments have
// passed the table's count check; an argument of an unusable kind answers Null, as the host
// does for a bad id or point.
struct ObjectOperations {
    static Value AllObjects(ScriptApi& api, const std::vector<Value>& args);
    static Value SelectedObjects(ScriptApi& api, const std::vector<Value>& args);
    static Value IsPoint(ScriptApi& api, const std::vector<Value>& args);
    static Value IsCurve(ScriptApi& api, const std::vector<Value>& args);
    static Value PointCoordinates(ScriptApi& api, const std::vector<Value>& args);
    static Value AddLine(ScriptApi& api, const std::vector<Value>& args);
    static Value AddPoint(ScriptApi& api, const std::vector<Value>& args);
    static Value DeleteObject(ScriptApi& api, const std::vector<Value>& args);
    static Value SelectObject(ScriptApi& api, const std::vector<Value>& args);
    static Value UnselectObject(ScriptApi& api, const std::vector<Value>& args);
    static Value UnselectAllObjects(ScriptApi& api, const std::vector<Value>& args);
    static Value EnableRedraw(ScriptApi& api, const std::vector<Value>& args);
    // The document's absolute tolerance (Double); given a positive number, sets it and answers
    // the previous one.
    static Value UnitAbsoluteTolerance(ScriptApi& api, const std::vector<Value>& args);
    // The document's unit system (Int32, the host's codes 0 to 25); given one of those codes,
    // sets it without scaling anything and answers the previous one.
    static Value UnitSystem(ScriptApi& api, const std::vector<Value>& args);
};

}  // namespace hostsim
