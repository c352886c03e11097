#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/HostPoint.h"
#include "common/HostValue.h"
#include "host/Dispatcher.h"

namespace host {

// A plane argument: four entries of three 16-bit integers, passed as given.
using PlaneArgument = std::array<std::array<std::int16_t, 3>, 4>;

// The host's script operations, one typed method each, over the script object's
// dispatcher. Here, and only here, host answers are tested rather than trusted: a null
// answer, a value that is not an array, or an answer of an unexpected type is "nothing"
// (std::nullopt), and a boolean that is not a true Bool counts as false. A host error
// passes to the caller as common::HostError; without a script object every operation
// throws common::HostError with cause NotAttached and nothing is called.
class HostScript {
  public:
    // `script` may be null (start-up obtained no script object); not owned.
    explicit HostScript(Dispatcher* script) : script_(script) {}

    bool Attached() const { return script_ != nullptr; }

    // The host's main window handle as a 32-bit integer; 0 when the answer is no number.
    std::int32_t WindowHandle();

    // Interactive single pick: the picked id, or nothing when the user cancelled.
    std::optional<std::string> GetObject(const std::string& prompt, std::int16_t filter);
    // Interactive multiple pick: the picked ids in the host's order, or nothing.
    std::optional<std::vector<std::string>> GetObjects(const std::string& prompt, std::int16_t filter);
    // Every object id of the document (nothing for an empty document).
    std::optional<std::vector<std::string>> AllObjects();
    // The selected object ids in the host's order, or nothing when none is selected.
    std::optional<std::vector<std::string>> SelectedObjects();

    bool IsPoint(const std::string& id);
    bool IsCurve(const std::string& id);
    bool IsCurvePlanar(const std::string& id);
    bool IsCurveInPlane(const std::string& id, const PlaneArgument& plane);

    // Whether the curve is closed (false also for an id that names no curve).
    bool IsCurveClosed(const std::string& id);
    // The curve's start (end) point in world coordinates, or nothing when the answer is not three numbers.
    std::optional<common::HostPoint> CurveStartPoint(const std::string& id);
    std::optional<common::HostPoint> CurveEndPoint(const std::string& id);
    // The curve's degree, or nothing when the answer is no whole number.
    std::optional<std::int32_t> CurveDegree(const std::string& id);
    // The document's absolute tolerance in its units, or nothing when the answer is no finite number.
    std::optional<double> UnitAbsoluteTolerance();
    // The document's unit system in the host's codes (2 millimeters, 8 inches ...), or nothing when
    // the answer is no whole number.
    std::optional<std::int32_t> UnitSystem();

    // The point object's coordinates, or nothing when the answer is not three numbers.
    std::optional<common::HostPoint> PointCoordinates(const std::string& id);

    // Adds a line between two points given as arrays of three numbers (each number keeps
    // the width it was given). Returns the new line's id, or nothing.
    std::optional<std::string> AddLine(const common::HostValue& start, const common::HostValue& end);
    // Adds a point object at `point`, passed on exactly as given (an element of DivideCurve's answer).
    void AddPoint(const common::HostValue& point);
    // Division points of the curve in order along it, each passed on as the host gave it,
    // or nothing when the answer is not an array.
    std::optional<std::vector<common::HostValue>> DivideCurve(const std::string& id, double segments);
    // The point on curve A of the first intersection event the host reports (element
    // (0, 1) of its answer), or nothing when they do not meet or the answer is malformed.
    std::optional<common::HostPoint> CurveCurveIntersection(const std::string& curveA, const std::string& curveB);

    // Deletes the object. False only when the host answers Boolean false, its word for an object
    // it did not delete (locked or hidden, or an id it does not know); any other answer counts as
    // deleted.
    bool DeleteObject(const std::string& id);
    void SelectObject(const std::string& id);
    void UnselectObject(const std::string& id);
    void UnselectAllObjects();
    // Switches the host's redraw on or off; returns the state before, or nothing when the answer is
    // no Bool.
    std::optional<bool> EnableRedraw(bool enable);
    // Runs `commandText` in the host with the echo argument 0; returns when the command has ended.
    // True only when the host answers Boolean true, its word for success; false, Null, Empty or
    // any other value means the command did not do its work.
    // Taken by value: a generated text runs to megabytes and is moved into the call, not copied.
    bool Command(std::string commandText);

    // The questions below are asked, not called: their answers are ones the caller can do
    // without, so a busy host fails them at once (Dispatcher::Ask) instead of being waited for.

    // The host's result code of the last command (0 success, 1 cancelled, 2 nothing done,
    // 3 failure, 4 unknown command), or nothing when the answer is no whole number.
    std::optional<std::int32_t> LastCommandResult();
    // Whether the host runs a command of the user's now, asked with no argument (commands that
    // run scripts are not counted): greater than 0 while one runs, 0 when none does; nothing
    // when the answer is no whole number.
    std::optional<std::int32_t> InCommand();
    // The ids of the objects the last command created, in the host's order; nothing when the
    // answer is not an array (the host's Null: the command created nothing).
    std::optional<std::vector<std::string>> LastCreatedObjects();

    // The script operations the methods above call, spelt as the host spells them.
    static std::span<const char* const> OperationNames();

    // Reading rules, public so the Win32 dispatcher tests and the handlers share them.
    static bool ReadBool(const common::HostValue& answer);
    static std::optional<std::string> ReadId(common::HostValue answer);
    static std::optional<std::vector<std::string>> ReadIds(common::HostValue answer);
    static std::optional<common::HostPoint> ReadPoint(const common::HostValue& answer);

  private:
    // An operation's name, checked against OperationNames when the call is compiled.
    class Operation;

    common::HostValue Call(Operation operation, std::vector<common::HostValue> args);
    // As Call, for a question: a busy host fails it at once.
    common::HostValue Ask(Operation operation, std::vector<common::HostValue> args);
    // The dispatcher to call, checked: throws common::HostError (NotAttached) without one.
    Dispatcher& Script(const Operation& operation) const;

    Dispatcher* script_;
};

}  // namespace host
