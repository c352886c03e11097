#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/model/BusyPlan.h"
#include "hostsim/model/CallLog.h"
#include "hostsim/model/CommandParser.h"
#include "hostsim/model/ConstructionPlane.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Value.h"
#include "hostsim/model/Vec3.h"

namespace hostsim {

class Document;
class FaultPlan;
class ScriptApi;

// Whether a call of an operation can change the document, so that the views must be redrawn
// after it: never, always, or when it is given a second argument (PointCoordinates moves its
// point then).
enum class DocumentChange { No, Yes, WithSecondArgument };

// One operation of the host's scripting interface.
struct Operation {
    const char* name;     // as the host spells it
    std::size_t minArgs;  // arguments required
    std::size_t maxArgs;  // arguments accepted: optional ones of the host that are not simulated are ignored
    // Answers a call whose arguments have passed the count check.
    Value (*run)(ScriptApi& api, const std::vector<Value>& args);
    DocumentChange change;
};

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

// A place in the host window's client area, in pixels.
struct ClickSpot {
    int xPixels = 0;
    int yPixels = 0;
};

// Asks the person in front of the simulated host to pick objects. Implemented by the server
// (a viewport window); the call blocks until the user answers.
class PickProvider {
  public:
    virtual ~PickProvider() = default;
    // filter: the host's object filter bit mask (0 any, 1 points, 4 curves). many: GetObjects
    // rather than GetObject. Returns the picked ids, or nothing when the user cancels.
    virtual std::optional<std::vector<std::string>> Pick(const std::string& prompt, int filter, bool many) = 0;
    // Where a click in the viewport would land on the object as drawn there now, or nothing when
    // the view does not show it.
    virtual std::optional<ClickSpot> SpotOf(const std::string& id, ViewKind view) const = 0;
};

// The two kinds of modal dialog box the host can show: one that keeps the host busy (calls are
// turned away while it is open) and one whose modal loop lets calls run, as a dialog box of a
// command does, which counts as a command of the user's running.
enum class DialogKind { Busy, Runs };

// Whether a language code is one the host accepts: letters, then optionally "-" or "_" and a
// region ("de", "en-US"). English is "en" with any region.
bool IsLanguageCode(std::string_view code);
bool IsEnglish(std::string_view code);

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
    // Throws ScriptError for an unknown operation (one made unknown included), wrong arguments
    // or an injected fault.
    Value Call(const std::string& operation, const std::vector<Value>& args);

    // Whether a name names an operation this host knows: one of OperationNames() not made
    // unknown by the control line "unknown".
    bool Knows(std::string_view name) const;
    // Records in the call log a call of an operation made unknown that the server refused
    // before it reached Call (its GetIDsOfNames, or Invoke by a DISPID obtained earlier); `how`
    // says which, after "unknown name: " in the note.
    void LogUnknownName(std::string_view name, const std::vector<Value>& args, std::string_view how);

    // A command of the user's running in the host (control line "command", or the window's
    // menu): its name, empty when none runs. While one runs, or a dialog box that lets calls
    // run is open, InCommand answers 1, Command does nothing and fails, and picks answer Null.
    const std::string& UserCommand() const { return userCommand_; }
    void SetUserCommand(std::string name) { userCommand_ = std::move(name); }
    // Set by the server while its dialog box of the kind DialogKind::Runs is open.
    void SetCommandDialogOpen(bool open) { commandDialogOpen_ = open; }
    bool InUserCommand() const { return !userCommand_.empty() || commandDialogOpen_; }
    // Asked by the control line "dialog" to open a dialog box of a kind (after the control call
    // has returned) or, given nothing, to close the one open; not set, the line raises. It
    // throws ScriptError for a request it cannot carry out.
    void SetDialogHandler(std::function<void(std::optional<DialogKind>)> handler) {
        dialogHandler_ = std::move(handler);
    }

    // The operations Call knows, spelt as the host spells them.
    static std::vector<std::string> OperationNames();
    // The operation a name names (compared ignoring case), or null.
    static const Operation* FindOperation(std::string_view name);
    // Whether a call may have changed the document; true for a name that is no operation.
    static bool MayChangeDocument(std::string_view operation, const std::vector<Value>& args);

    // The picker asked when no scripted pick answer is queued; not owned, may be null (then a
    // pick with nothing queued answers as cancelled).
    void SetPickProvider(PickProvider* provider) { pickProvider_ = provider; }
    // The number WindowHandle answers (as Int32).
    void SetWindowHandle(std::int32_t handle) { windowHandle_ = handle; }

    // The active viewport, whose construction plane Command reads "x,y,z" in (Top at start).
    ViewKind ActiveView() const { return activeView_; }
    void SetActiveView(ViewKind view) { activeView_ = view; }
    // The host's language code ("en" at start, "de", "fr", ...): in any language but English
    // Command knows command names and keywords only behind "_". A code IsLanguageCode refuses
    // is the caller's error.
    const std::string& Language() const { return language_; }
    void SetLanguage(std::string code) { language_ = std::move(code); }
    // The options InterpCrv remembers (control line "interpcrv"): Command draws its curve with them.
    const InterpolationOptions& InterpCrvOptions() const { return interpCrv_; }

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

    // When the host is busy (control line "busy"), and the clock its times are read on
    // (milliseconds; the server sets a steady clock, tests their own).
    BusyPlan& Busy() { return busy_; }
    void SetClock(std::function<std::uint64_t()> clock) { clock_ = std::move(clock); }

    const CallLog& Log() const { return log_; }
    Document& Doc() { return *document_; }
    const Document& Doc() const { return *document_; }
    // Points read from the last Command text that parsed (empty before any).
    const std::vector<Vec3>& LastCommandPoints() const { return lastCommandPoints_; }
    // What the command line says about the last Command beyond echoing it ("Unknown command:
    // Enter"); empty when it says nothing more.
    const std::string& LastCommandNote() const { return lastCommandNote_; }

    // Dump of the document (format in README.md).
    std::string DocumentText() const;

  private:
    // The handlers of the control lines, one per verb (defined beside Control).
    struct ControlLines;

    // Every operation, in the order of OperationNames.
    static const std::vector<Operation>& Operations();
    void StartLogRecord(std::string_view operation, const std::vector<Value>& args);
    Value Pick(const std::vector<Value>& args, bool many);
    // Why a scripted pick answer cannot be the answer of a pick with this filter: an id that
    // names no object or an object the filter does not allow. Nothing when it can.
    std::optional<std::string> RefusalOf(const std::vector<std::string>& ids, int filter) const;
    Value RunCommand(const std::vector<Value>& args);
    Value LastCreatedObjects(const std::vector<Value>& args);
    Value InCommand(const std::vector<Value>& args) const;
    // Why a call that needs the command line was not run, while a command of the user's runs.
    std::string UserCommandReason() const;

    std::unique_ptr<Document> document_;
    std::unique_ptr<FaultPlan> faults_;
    CallLog log_;
    std::vector<std::optional<std::vector<std::string>>> pickQueue_;
    std::vector<Vec3> lastCommandPoints_;
    CommandResult lastCommandResult_ = CommandResult::Success;
    std::string lastCommandNote_;
    // The ids of the objects the last Command created.
    std::vector<std::string> lastCreated_;
    std::set<std::string> unknownOperations_;  // canonical names
    std::string userCommand_;
    bool commandDialogOpen_ = false;
    std::function<void(std::optional<DialogKind>)> dialogHandler_;
    ViewKind activeView_ = ViewKind::Top;
    std::string language_ = "en";
    InterpolationOptions interpCrv_;
    PickProvider* pickProvider_ = nullptr;
    std::int32_t windowHandle_ = 0;
    std::function<void()> exitHandler_;
    bool exitRequested_ = false;
    BusyPlan busy_;
    std::function<std::uint64_t()> clock_ = [] { return std::uint64_t{0}; };
};

}  // namespace hostsim
