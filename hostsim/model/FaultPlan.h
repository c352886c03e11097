#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Value.h"

namespace hostsim {

// Kinds of wrong answer an operation can be made to give:
//   Number  - the Double 1 instead of the answer (a number where an id is expected);
//   Array1D - a 2-D array flattened row-major into a 1-D array (any other answer is wrapped
//             in a 1-D array of one element);
//   Point2  - every array of three numbers in the answer cut to its first two, as Doubles
//             (an answer holding none becomes the array {0, 0});
//   String  - a Bool as the String "True" or "False", anything else as the String of its
//             Value::Text();
//   Null, Empty - that value.
enum class WrongType { Number, Array1D, Point2, String, Null, Empty };

// Reads "number", "array1d", "point2", "string", "null", "empty" (any letter case).
std::optional<WrongType> ParseWrongType(std::string_view word);

// The answer an operation gives under a wrong-type fault.
Value ApplyWrongType(WrongType kind, const Value& answer);

// Injected faults. Calls are counted per fault from the moment it is set; operation names are
// given in their canonical spelling.
class FaultPlan {
  public:
    struct Decision {
        bool raise = false;
        bool exit = false;
        bool refuse = false;
        bool drawNothing = false;
        std::optional<WrongType> wrongType;
    };

    // The n-th call of the operation (n >= 1) raises an error instead of running; once.
    void RaiseOn(std::string operation, std::uint32_t n);
    // The n-th call of the operation ends the host process before it runs; once.
    void ExitOn(std::string operation, std::uint32_t n);
    // The n-th call of the operation does nothing and answers Bool false (a command the host
    // could not carry out); once.
    void RefuseOn(std::string operation, std::uint32_t n);
    // Every call of the operation (or only its n-th) does nothing and answers Bool true (a
    // command that reports success while nothing was drawn).
    void DrawNothingFor(std::string operation, std::optional<std::uint32_t> n);
    // Every call of the operation (or only its n-th) answers a value of the wrong type.
    void WrongTypeFor(std::string operation, WrongType kind, std::optional<std::uint32_t> n);
    // The next k GetScriptObject calls fail.
    void FailGetScriptObject(std::uint32_t k) { getScriptObjectFailures_ = k; }
    void Clear();

    // Counts one call of the operation and says which faults fire on it.
    Decision OnCall(const std::string& operation);
    // Counts one GetScriptObject call; true when it is to fail.
    bool NextGetScriptObjectFails();

  private:
    enum class Action { Raise, Exit, Refuse, DrawNothing, WrongType };
    struct Fault {
        Action action;
        std::string operation;
        std::optional<std::uint32_t> n;  // none: every call (wrong type and draw nothing only)
        WrongType wrongType = WrongType::Null;
        std::uint32_t seen = 0;
    };

    std::vector<Fault> faults_;
    std::uint32_t getScriptObjectFailures_ = 0;
};

}  // namespace hostsim
