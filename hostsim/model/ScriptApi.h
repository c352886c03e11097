#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/Value.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

class Document;
class FaultPlan;

// An error raised by an automation operation (bad arguments, injected fault) or by a control
// line. The server turns it into DISP_E_EXCEPTION with the description in EXCEPINFO.
class ScriptError : public std::runtime_error {
  public:
    ScriptError(std::string operation, std::string description);

    const std::string& Operation() const { return operation_; }
    const std::string& Description() const { return description_; }

  private:
    std::string operation_;
    std::string description_;
};

// Asks the person in front of the simulated host to pick objects. Implemented by the server
// (a viewport window); the call blocks until the user answers.
class PickProvider {
  public:
    virtual ~PickProvider() = default;
    // filter: the host's object filter bit mask (0 any, 1 points, 4 curves). many: GetObjects
    // rather than GetObject. Returns the picked ids, or nothing when the user cancels.
    virtual std::optional<std::vector<std::string>> Pick(const std::string& prompt, int filter, bool many) = 0;
};

// One automation call as received: the operation name as the caller spelt it and each
// argument rendered by Value::Text().
struct CallRecord {
    std::string operation;
    std::vector<std::string> arguments;
};

// Every call made through ScriptApi::Call, in order, faulted calls included. The texts are
// kept end to end in one buffer: a session's log holds one entry per call, tens of thousands
// of them in a large SelAllPts, without an allocation of their own each.
class CallLog {
  public:
    void Add(const CallRecord& record);
    // Adds a call in two steps: its operation, then each argument's text in order.
    void StartRecord(std::string_view operation);
    void AddArgument(std::string_view text);
    void Clear();
    std::size_t Size() const { return recordStarts_.size(); }
    CallRecord Record(std::size_t index) const;
    // Every record, in order.
    std::vector<CallRecord> Records() const;
    // Number of calls of an operation (name compared ignoring case).
    std::size_t CountOf(const std::string& operation) const;
    // One call in text form: the operation, then "(", the arguments separated by ", ", then
    // ")", e.g. `AddLine(Array[0:3]{Double 1; Double 2; Double 0}, Array[0:3]{Int16 -5000; ...})`.
    std::string Line(std::size_t index) const;
    // One line per call, each ended by a line break.
    std::string Text() const;

  private:
    std::string_view Part(std::size_t part) const;
    // Parts of record `index`: [first, end) in partEnds_.
    std::size_t FirstPart(std::size_t index) const { return recordStarts_[index]; }
    std::size_t EndPart(std::size_t index) const;

    std::string text_;                     // every operation and argument text, end to end
    std::vector<std::size_t> partEnds_;    // where each of them ends in text_
    std::vector<std::size_t> recordStarts_;  // each record's operation, an index into partEnds_
};

// The simulated host's script object: routes automation calls by name to the document and
// answers them as the host's scripting interface does (Null for every "nothing", Bool for
// booleans, 1-D Variant arrays, points as arrays of three doubles, ids as strings).
// Not thread-safe: calls, control lines and picks must come from one thread. A PickProvider
// may re-enter the object (for example run a control line) while a pick waits.
class ScriptApi {
  public:
    // idSeed makes the generated object ids differ between hosts while keeping them repeatable.
    explicit ScriptApi(std::uint32_t idSeed = 0);
    ~ScriptApi();
    ScriptApi(const ScriptApi&) = delete;
    ScriptApi& operator=(const ScriptApi&) = delete;

    // Runs one operation (name compared ignoring case) with its arguments in call order.
    // Throws ScriptError for an unknown operation, wrong arguments or an injected fault.
    Value Call(const std::string& operation, const std::vector<Value>& args);

    // The operations Call knows, spelt as the host spells them.
    static std::vector<std::string> OperationNames();

    // The picker asked when no scripted pick answer is queued; not owned, may be null (then a
    // pick with nothing queued answers as cancelled).
    void SetPickProvider(PickProvider* provider) { pickProvider_ = provider; }
    // The number WindowHandle answers (as Int32).
    void SetWindowHandle(std::int32_t handle) { windowHandle_ = handle; }

    // Asked by the application object once per GetScriptObject call: true while the injected
    // "fail the first K calls" fault still has calls to fail (each call uses up one).
    bool NextGetScriptObjectFails();

    // Called when an injected "exit" fault fires, before the operation answers; the server
    // ends its process there. When the handler returns (or none is set) the call raises a
    // ScriptError and ExitRequested() stays true.
    void SetExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }
    bool ExitRequested() const { return exitRequested_; }

    // Runs one control line (format in README.md). Returns its reply: the new id for "add",
    // the dump for "document", the log for "log", "ok" otherwise. Throws ScriptError with the
    // operation "Control" for a line it cannot read.
    std::string Control(const std::string& line);

    // Queues a scripted pick answer: ids, or nothing for a cancel.
    void QueuePick(std::optional<std::vector<std::string>> answer);

    const CallLog& Log() const { return log_; }
    Document& Doc() { return *document_; }
    const Document& Doc() const { return *document_; }
    // Points read from the last Command text that parsed (empty before any).
    const std::vector<Vec3>& LastCommandPoints() const { return lastCommandPoints_; }

    // Dump of the document (format in README.md).
    std::string DocumentText() const;

  private:
    Value Dispatch(const std::string& canonicalName, const std::vector<Value>& args);
    Value Pick(const std::vector<Value>& args, bool many);
    Value RunCommand(const std::vector<Value>& args);

    std::unique_ptr<Document> document_;
    std::unique_ptr<FaultPlan> faults_;
    CallLog log_;
    std::vector<std::optional<std::vector<std::string>>> pickQueue_;
    std::vector<Vec3> lastCommandPoints_;
    PickProvider* pickProvider_ = nullptr;
    std::int32_t windowHandle_ = 0;
    std::function<void()> exitHandler_;
    bool exitRequested_ = false;
};

}  // namespace hostsim
