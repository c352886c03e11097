#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/model/Value.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

// The argument at `index`, or Empty when it was omitted.
const Value& Arg(const std::vector<Value>& args, std::size_t index);

// Conversions of automation arguments as COM's VariantChangeType makes them. Each gives
// nothing when the value cannot be converted; the operations then answer Null.

// Int16, Int32, Double; Bool as -1 or 0; a String holding a plain decimal number.
std::optional<double> ArgNumber(const Value& v);
// Bool; a number (non-zero is true); a String "True"/"False" (any case) or a number.
std::optional<bool> ArgBool(const Value& v);
// A String only (numbers name no object anyway).
const std::string* ArgString(const Value& v);
// A 1-D array of three numbers, or of two (z = 0), of any numeric kinds.
std::optional<Vec3> ArgPoint(const Value& v);

// A plane as the host reads it: origin, first axis and second axis (in-plane directions).
struct PlaneArg {
    Vec3 origin;
    Vec3 xAxis;
    Vec3 yAxis;
};
// A 1-D array of three or four points (origin, X axis, Y axis, and the Z axis, which is not
// used since the host builds its plane from the origin and the first two axes).
std::optional<PlaneArg> ArgPlane(const Value& v);

// A double converted to a 32-bit integer as COM converts it: rounded half to even; nothing
// when not finite or out of range.
std::optional<std::int32_t> RoundHalfEven(double value);

// Answers in the host's shapes: ids as a 1-D array of Strings (Null for none; the ids are moved
// in, so a whole document's ids are not copied a second time), a point as three Doubles.
Value IdArray(std::vector<std::string> ids);
Value PointValue(Vec3 p);

}  // namespace hostsim
