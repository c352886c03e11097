#include "hostsim/model/ScriptApi.h"

#include "hostsim/model/CommandParser.h"
#include "hostsim/model/CurveOperations.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/FaultPlan.h"
#include "hostsim/model/ObjectOperations.h"
#include "hostsim/model/ScriptArgs.h"
#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

// Longest argument text a call log keeps: a generated command text runs to megabytes, and the
// log keeps every call of a session.
constexpr std::size_t kMaxLoggedArgument = 64 * 1024;

std::string ArgumentText(const Value& v) {
    std::string text = v.Text();
    if (text.size() > kMaxLoggedArgument) {
        const std::size_t total = text.size();
        text.resize(kMaxLoggedArgument);
        text += "...(" + std::to_string(total) + " characters)";
    }
    return text;
}

}  // namespace

bool IsLanguageCode(std::string_view code) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::size_t i = 0;
    while (i < code.size() && letter(code[i])) {
        ++i;
    }
    if (i < 2 || i > 3) {
        return false;
    }
    if (i == code.size()) {
        return true;
    }
    if ((code[i] != '-' && code[i] != '_') || i + 1 == code.size()) {
        return false;
    }
    for (++i; i < code.size(); ++i) {
        if (!letter(code[i]) && !(code[i] >= '0' && code[i] <= '9')) {
            return false;
        }
    }
    return true;
}

bool IsEnglish(std::string_view code) {
    return EqualsIgnoringCase(code.substr(0, 2), "en") && (code.size() == 2 || code[2] == '-' || code[2] == '_');
}

ScriptError::ScriptError(std::string operation, std::string description)
    : std::runtime_error(operation + ": " + description),
      operation_(std::move(operation)),
      description_(std::move(description)) {}

const std::vector<Operation>& ScriptApi::Operations() {
    using O = ObjectOperations;
    using C = CurveOperations;
    constexpr DocumentChange kNo = DocumentChange::No;
    constexpr DocumentChange kYes = DocumentChange::Yes;
    // Each operation, its required and its largest number of arguments, how it is answered and
    // whether it can change the document. A pick changes nothing (the viewport redraws itself
    // when a pick it showed ends); DivideCurve adds points when asked to; switching redraw
    // back on shows what changed meanwhile.
    static const std::vector<Operation> kOperations = {
        {"WindowHandle", 0, 0,
         [](ScriptApi& api, const std::vector<Value>&) { return Value::Int32(api.windowHandle_); }, kNo},
        {"GetObject", 0, 6, [](ScriptApi& api, const std::vector<Value>& args) { return api.Pick(args, false); }, kNo},
        {"GetObjects", 0, 7, [](ScriptApi& api, const std::vector<Value>& args) { return api.Pick(args, true); }, kNo},
        {"AllObjects", 0, 3, O::AllObjects, kNo},
        {"SelectedObjects", 0, 2, O::SelectedObjects, kNo},
        {"IsPoint", 1, 1, O::IsPoint, kNo},
        {"IsCurve", 1, 2, O::IsCurve, kNo},
        {"IsCurvePlanar", 1, 2, C::IsCurvePlanar, kNo},
        {"IsCurveInPlane", 1, 2, C::IsCurveInPlane, kNo},
        {"IsCurveClosed", 1, 2, C::IsCurveClosed, kNo},
        {"CurveStartPoint", 1, 2, C::CurveStartPoint, kNo},
        {"CurveEndPoint", 1, 2, C::CurveEndPoint, kNo},
        {"CurveDegree", 1, 2, C::CurveDegree, kNo},
        {"PointCoordinates", 1, 2, O::PointCoordinates, DocumentChange::WithSecondArgument},
        {"AddLine", 2, 2, O::AddLine, kYes},
        {"AddPoint", 1, 1, O::AddPoint, kYes},
        {"DivideCurve", 2, 5, C::DivideCurve, kYes},
        {"CurveCurveIntersection", 1, 3, C::CurveCurveIntersection, kNo},
        {"DeleteObject", 1, 2, O::DeleteObject, kYes},
        {"SelectObject", 1, 2, O::SelectObject, kYes},
        {"UnselectObject", 1, 1, O::UnselectObject, kYes},
        {"UnselectAllObjects", 0, 0, O::UnselectAllObjects, kYes},
        {"EnableRedraw", 0, 1, O::EnableRedraw, kYes},
        {"UnitAbsoluteTolerance", 0, 2, O::UnitAbsoluteTolerance, kNo},
        {"UnitSystem", 0, 3, O::UnitSystem, kNo},
        {"Command", 1, 2, [](ScriptApi& api, const std::vector<Value>& args) { return api.RunCommand(args); }, kYes},
        {"LastCommandResult", 0, 0,
         [](ScriptApi& api, const std::vector<Value>&) {
             return Value::Int32(static_cast<std::int32_t>(api.lastCommandResult_));
         },
         kNo},
        {"LastCreatedObjects", 0, 2,
         [](ScriptApi& api, const std::vector<Value>& args) { return api.LastCreatedObjects(args); }, kYes},
        {"InCommand", 0, 1, [](ScriptApi& api, const std::vector<Value>& args) { return api.InCommand(args); }, kNo},
    };
    return kOperations;
}

std::vector<std::string> ScriptApi::OperationNames() {
    std::vector<std::string> names;
    for (const Operation& operation : Operations()) {
        names.emplace_back(operation.name);
    }
    return names;
}

const Operation* ScriptApi::FindOperation(std::string_view name) {
    for (const Operation& operation : Operations()) {
        if (EqualsIgnoringCase(name, operation.name)) {
            return &operation;
        }
    }
    return nullptr;
}

bool ScriptApi::MayChangeDocument(std::string_view operation, const std::vector<Value>& args) {
    const Operation* found = FindOperation(operation);
    if (found == nullptr) {
        return true;
    }
    switch (found->change) {
        case DocumentChange::No:
            return false;
        case DocumentChange::WithSecondArgument:
            return !Arg(args, 1).IsEmpty();
        case DocumentChange::Yes:
            break;
    }
    return true;
}

ScriptApi::ScriptApi(std::uint32_t idSeed)
    : document_(std::make_unique<Document>(idSeed)), faults_(std::make_unique<FaultPlan>()) {}

ScriptApi::~ScriptApi() = default;

bool ScriptApi::NextGetScriptObjectFails() {
    return faults_->NextGetScriptObjectFails();
}

void ScriptApi::QueuePick(std::optional<std::vector<std::string>> answer) {
    pickQueue_.push_back(std::move(answer));
}

std::string ScriptApi::DocumentText() const {
    return document_->Text();
}

bool ScriptApi::Knows(std::string_view name) const {
    const Operation* operation = FindOperation(name);
    return operation != nullptr && !unknownOperations_.contains(operation->name);
}

void ScriptApi::StartLogRecord(std::string_view operation, const std::vector<Value>& args) {
    log_.StartRecord(operation);
    for (const Value& arg : args) {
        log_.AddArgument(ArgumentText(arg));
    }
}

void ScriptApi::LogUnknownName(std::string_view name, const std::vector<Value>& args, std::string_view how) {
    StartLogRecord(name, args);
    log_.NoteLast("unknown name: " + std::string(how));
}

std::string ScriptApi::UserCommandReason() const {
    if (!userCommand_.empty()) {
        return "the user's command " + userCommand_ + " is running";
    }
    return "a dialog box of the user's command is open";
}

Value ScriptApi::Call(const std::string& operation, const std::vector<Value>& args) {
    StartLogRecord(operation, args);
    const Operation* entry = FindOperation(operation);
    if (entry == nullptr) {
        throw ScriptError(operation, "Unknown name");
    }
    if (!Knows(operation)) {
        log_.NoteLast("unknown name: this host does not know the operation");
        throw ScriptError(operation, "Unknown name");
    }
    const std::string name = entry->name;
    const FaultPlan::Decision fault = faults_->OnCall(name);
    if (fault.exit) {
        exitRequested_ = true;
        if (exitHandler_) {
            exitHandler_();
        }
        throw ScriptError(name, "The host process has ended");
    }
    if (fault.raise) {
        throw ScriptError(name, "Injected failure");
    }
    if (fault.refuse) {
        // Refused as a command that fails: nothing is done and the answer is false.
        if (name == "Command") {
            lastCommandResult_ = CommandResult::Failure;
            lastCreated_.clear();
        }
        return Value::Bool(false);
    }
    if (fault.drawNothing) {
        // A command that says it succeeded while the user cancelled it: nothing is drawn.
        lastCommandNote_.clear();
        lastCommandResult_ = CommandResult::Cancel;
        lastCreated_.clear();
        return Value::Bool(true);
    }
    // Trailing Empty arguments are omitted optional ones.
    std::size_t given = args.size();
    while (given > 0 && args[given - 1].IsEmpty()) {
        --given;
    }
    if (given < entry->minArgs) {
        throw ScriptError(name, "Argument not optional");
    }
    if (given > entry->maxArgs) {
        throw ScriptError(name, "Wrong number of arguments");
    }
    Value answer = entry->run(*this, args);
    if (fault.wrongType) {
        answer = ApplyWrongType(*fault.wrongType, answer);
    }
    return answer;
}

std::optional<std::string> ScriptApi::RefusalOf(const std::vector<std::string>& ids, int filter) const {
    for (const std::string& id : ids) {
        const DocObject* object = document_->Find(id);
        if (object == nullptr) {
            return "scripted pick " + id + " refused: it names no object";
        }
        if (!document_->IsSelectable(*object)) {
            return "scripted pick " + id + " refused: it is " + (document_->IsVisible(*object) ? "locked" : "hidden") +
                   ", so it cannot be picked";
        }
        if (!PickFilterAllows(filter, object->kind)) {
            return "scripted pick " + id + " refused: " + (object->kind == ObjectKind::Point ? "a point" : "a curve") +
                   ", which filter " + std::to_string(filter) + " does not allow";
        }
    }
    return std::nullopt;
}

Value ScriptApi::Pick(const std::vector<Value>& args, bool many) {
    if (InUserCommand()) {
        // The user's command owns the viewports: the pick ends at once, and a queued scripted
        // answer is left for a later pick.
        log_.NoteLast(UserCommandReason() + ": nothing picked");
        return Value::Null();
    }
    const std::string* promptArg = ArgString(Arg(args, 0));
    const std::string prompt = promptArg ? *promptArg : (many ? "Select objects" : "Select object");
    const std::optional<double> filterArg = ArgNumber(Arg(args, 1));
    const std::optional<std::int32_t> filter = RoundHalfEven(filterArg.value_or(0.0));
    if (!filter) {
        return Value::Null();
    }
    std::optional<std::vector<std::string>> answer;
    if (!pickQueue_.empty()) {
        answer = std::move(pickQueue_.front());
        pickQueue_.erase(pickQueue_.begin());
        if (answer && !many && answer->size() > 1) {
            answer->resize(1);
        }
        // The viewport lets the user pick only objects the filter allows; a scripted answer
        // the host could not give is taken as a pick that ended with nothing picked.
        if (answer) {
            if (const std::optional<std::string> refusal = RefusalOf(*answer, *filter)) {
                log_.NoteLast(*refusal);
                return Value::Null();
            }
        }
    } else if (pickProvider_ != nullptr) {
        // The provider may run other calls (control lines) while the user picks, so nothing
        // of the document is held across this call.
        answer = pickProvider_->Pick(prompt, *filter, many);
    }
    if (!answer || answer->empty()) {
        return Value::Null();
    }
    std::vector<std::string> ids;
    for (const std::string& id : *answer) {
        const DocObject* object = document_->Find(id);
        ids.push_back(object ? object->id : id);
        if (!many) {
            return Value::String(ids.front());
        }
    }
    return IdArray(std::move(ids));
}

Value ScriptApi::RunCommand(const std::vector<Value>& args) {
    lastCommandNote_.clear();
    lastCommandResult_ = CommandResult::Failure;
    lastCreated_.clear();
    if (InUserCommand()) {
        // Geometry commands do not nest: the scripted one fails without reading its text.
        lastCommandNote_ = UserCommandReason() + ": the command was not run";
        log_.NoteLast(lastCommandNote_);
        return Value::Bool(false);
    }
    const std::string* text = ArgString(Arg(args, 0));
    if (text == nullptr) {
        return Value::Bool(false);
    }
    CommandReading reading =
        ReadInterpCrvCommand(*text, CommandContext{StandardPlane(activeView_), IsEnglish(language_)});
    lastCommandResult_ = reading.result;
    if (!reading.unknownWord.empty()) {
        lastCommandNote_ = "Unknown command: " + reading.unknownWord;
        log_.NoteLast(lastCommandNote_);
    }
    if (reading.result != CommandResult::Success) {
        return Value::Bool(false);
    }
    lastCommandPoints_ = reading.points;
    std::optional<Curve> curve = Curve::MakeThrough(std::move(reading.points), interpCrv_);
    if (!curve) {
        // Fewer than two distinct points: the command ends without a curve.
        lastCommandResult_ = CommandResult::Failure;
        return Value::Bool(false);
    }
    lastCreated_.push_back(document_->AddCurve(std::move(*curve)));
    return Value::Bool(true);
}

Value ScriptApi::LastCreatedObjects(const std::vector<Value>& args) {
    const Value& selectArg = Arg(args, 0);
    const std::optional<bool> select = selectArg.IsEmpty() ? std::optional<bool>(false) : ArgBool(selectArg);
    if (!select) {
        return Value::Null();
    }
    // The objects deleted since are no longer named.
    std::vector<std::string> ids;
    for (const std::string& id : lastCreated_) {
        if (document_->Find(id) != nullptr) {
            ids.push_back(id);
            if (*select) {
                (void)document_->Select(id);  // false only for an object that cannot be selected
            }
        }
    }
    return IdArray(std::move(ids));
}

Value ScriptApi::InCommand(const std::vector<Value>& args) const {
    // The argument says whether script-running commands are left out of the count; calls from
    // outside run inside no such command, so it changes nothing but must be a boolean.
    const Value& ignoreRunners = Arg(args, 0);
    if (!ignoreRunners.IsEmpty() && !ArgBool(ignoreRunners)) {
        return Value::Null();
    }
    return Value::Int32(InUserCommand() ? 1 : 0);
}

}  // namespace hostsim
