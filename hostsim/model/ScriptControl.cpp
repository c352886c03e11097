// Control lines of the simulated host: how tests and the command line script picks, faults
// and the document. The format is described in README.md.
#include <algorithm>
#include <charconv>
#include <span>
#include <stdexcept>

#include "hostsim/model/Document.h"
#include "hostsim/model/FaultPlan.h"
#include "hostsim/model/Scene.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/TextScan.h"

namespace hostsim {

namespace {

// One verb of the control lines (or one word after "fault") and its handler, which reads the
// rest of the line and answers the reply.
struct ControlVerb {
    const char* word;
    std::string (*run)(ScriptApi& api, std::string_view rest);
};

[[noreturn]] void Fail(const std::string& description) {
    throw ScriptError("Control", description);
}

const ControlVerb* FindVerb(std::span<const ControlVerb> verbs, std::string_view word) {
    for (const ControlVerb& verb : verbs) {
        if (EqualsIgnoringCase(word, verb.word)) {
            return &verb;
        }
    }
    return nullptr;
}

std::uint32_t CountWord(std::string_view word, std::uint32_t least) {
    std::uint32_t value = 0;
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    if (word.empty() || result.ec != std::errc{} || result.ptr != end || value < least) {
        Fail("expected a whole number of at least " + std::to_string(least) + ", got \"" + std::string(word) + "\"");
    }
    return value;
}

std::string OperationWord(std::string_view word) {
    if (const Operation* operation = ScriptApi::FindOperation(word)) {
        return operation->name;
    }
    Fail("unknown operation \"" + std::string(word) + "\"");
}

void ExpectEnd(std::string_view rest) {
    if (!NextWord(rest).empty()) {
        Fail("unexpected words at the end of the line");
    }
}

// The N-th call of an operation, as "<Op> <N>" names it.
struct NthCall {
    std::string operation;
    std::uint32_t n;
};

NthCall ReadNthCall(std::string_view rest) {
    std::string operation = OperationWord(NextWord(rest));
    const std::uint32_t n = CountWord(NextWord(rest), 1);
    ExpectEnd(rest);
    return {std::move(operation), n};
}

// An optional call number ending the line: nothing means every call.
std::optional<std::uint32_t> OptionalCallNumber(std::string_view rest) {
    const std::string_view word = NextWord(rest);
    std::optional<std::uint32_t> n;
    if (!word.empty()) {
        n = CountWord(word, 1);
    }
    ExpectEnd(rest);
    return n;
}

std::string TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

}  // namespace

struct ScriptApi::ControlLines {
    static std::string Pick(ScriptApi& api, std::string_view rest);
    static std::string Fault(ScriptApi& api, std::string_view rest);
    static std::string FaultRaise(ScriptApi& api, std::string_view rest);
    static std::string FaultExit(ScriptApi& api, std::string_view rest);
    static std::string FaultRefuse(ScriptApi& api, std::string_view rest);
    static std::string FaultWrongType(ScriptApi& api, std::string_view rest);
    static std::string FaultDrawNothing(ScriptApi& api, std::string_view rest);
    static std::string FaultGetScriptObject(ScriptApi& api, std::string_view rest);
    static std::string FaultClear(ScriptApi& api, std::string_view rest);
    static std::string Scene(ScriptApi& api, std::string_view rest);
    static std::string Add(ScriptApi& api, std::string_view rest);
    static std::string Clear(ScriptApi& api, std::string_view rest);
    static std::string DocumentDump(ScriptApi& api, std::string_view rest);
    static std::string Log(ScriptApi& api, std::string_view rest);
    static std::string LastCommand(ScriptApi& api, std::string_view rest);
    static std::string WindowHandle(ScriptApi& api, std::string_view rest);
    static std::string View(ScriptApi& api, std::string_view rest);
    static std::string Language(ScriptApi& api, std::string_view rest);
    static std::string Spot(ScriptApi& api, std::string_view rest);
    static std::string Busy(ScriptApi& api, std::string_view rest);
    static std::string Command(ScriptApi& api, std::string_view rest);
    static std::string Dialog(ScriptApi& api, std::string_view rest);
    static std::string Unknown(ScriptApi& api, std::string_view rest);
    static std::string InterpCrv(ScriptApi& api, std::string_view rest);
};

std::string ScriptApi::Control(const std::string& line) {
    using L = ControlLines;
    static constexpr ControlVerb kVerbs[] = {
        {"pick", L::Pick},
        {"fault", L::Fault},
        {"scene", L::Scene},
        {"add", L::Add},
        {"clear", L::Clear},
        {"document", L::DocumentDump},
        {"log", L::Log},
        {"lastcommand", L::LastCommand},
        {"windowhandle", L::WindowHandle},
        {"view", L::View},
        {"language", L::Language},
        {"spot", L::Spot},
        {"busy", L::Busy},
        {"command", L::Command},
        {"dialog", L::Dialog},
        {"unknown", L::Unknown},
        {"interpcrv", L::InterpCrv},
    };
    std::string_view rest = line;
    const std::size_t hash = rest.find('#');
    if (hash != std::string_view::npos) {
        rest = rest.substr(0, hash);
    }
    const std::string_view word = NextWord(rest);
    if (word.empty()) {
        return "ok";
    }
    const ControlVerb* verb = FindVerb(kVerbs, word);
    if (verb == nullptr) {
        Fail("unknown control line \"" + std::string(word) + "\"");
    }
    return verb->run(*this, rest);
}

std::string ScriptApi::ControlLines::Pick(ScriptApi& api, std::string_view rest) {
    std::vector<std::string> ids;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        ids.emplace_back(word);
    }
    if (ids.size() == 1 && EqualsIgnoringCase(ids[0], "cancel")) {
        api.QueuePick(std::nullopt);
    } else if (ids.size() == 1 && EqualsIgnoringCase(ids[0], "clear")) {
        api.pickQueue_.clear();
    } else if (ids.empty()) {
        Fail("pick takes ids, cancel or clear");
    } else {
        api.QueuePick(std::move(ids));
    }
    return "ok";
}

std::string ScriptApi::ControlLines::Fault(ScriptApi& api, std::string_view rest) {
    static constexpr ControlVerb kKinds[] = {
        {"raise", FaultRaise},
        {"exit", FaultExit},
        {"refuse", FaultRefuse},
        {"wrongtype", FaultWrongType},
        {"drawnothing", FaultDrawNothing},
        {"getscriptobject", FaultGetScriptObject},
        {"clear", FaultClear},
    };
    const ControlVerb* kind = FindVerb(kKinds, NextWord(rest));
    if (kind == nullptr) {
        Fail("fault takes raise, exit, refuse, wrongtype, drawnothing, getscriptobject or clear");
    }
    return kind->run(api, rest);
}

std::string ScriptApi::ControlLines::FaultRaise(ScriptApi& api, std::string_view rest) {
    NthCall call = ReadNthCall(rest);
    api.faults_->RaiseOn(std::move(call.operation), call.n);
    return "ok";
}

std::string ScriptApi::ControlLines::FaultExit(ScriptApi& api, std::string_view rest) {
    NthCall call = ReadNthCall(rest);
    api.faults_->ExitOn(std::move(call.operation), call.n);
    return "ok";
}

std::string ScriptApi::ControlLines::FaultRefuse(ScriptApi& api, std::string_view rest) {
    std::string operation = OperationWord(NextWord(rest));
    const std::uint32_t n = CountWord(NextWord(rest), 1);
    ExpectEnd(rest);
    api.faults_->RefuseOn(std::move(operation), n);
    return "ok";
}

std::string ScriptApi::ControlLines::FaultWrongType(ScriptApi& api, std::string_view rest) {
    std::string operation = OperationWord(NextWord(rest));
    const std::string_view kindWord = NextWord(rest);
    const std::optional<WrongType> kind = ParseWrongType(kindWord);
    if (!kind) {
        Fail("unknown wrong type \"" + std::string(kindWord) + "\"");
    }
    api.faults_->WrongTypeFor(std::move(operation), *kind, OptionalCallNumber(rest));
    return "ok";
}

std::string ScriptApi::ControlLines::FaultDrawNothing(ScriptApi& api, std::string_view rest) {
    std::string operation = OperationWord(NextWord(rest));
    if (operation != "Command") {
        Fail("drawnothing applies to Command only");
    }
    api.faults_->DrawNothingFor(std::move(operation), OptionalCallNumber(rest));
    return "ok";
}

std::string ScriptApi::ControlLines::FaultGetScriptObject(ScriptApi& api, std::string_view rest) {
    const std::uint32_t k = CountWord(NextWord(rest), 0);
    ExpectEnd(rest);
    api.faults_->FailGetScriptObject(k);
    return "ok";
}

std::string ScriptApi::ControlLines::FaultClear(ScriptApi& api, std::string_view rest) {
    ExpectEnd(rest);
    api.faults_->Clear();
    return "ok";
}

std::string ScriptApi::ControlLines::Scene(ScriptApi& api, std::string_view rest) {
    const std::string path = TrimBlanks(rest);
    if (path.empty()) {
        Fail("scene takes a file path");
    }
    try {
        LoadSceneFile(*api.document_, path);
    } catch (const std::invalid_argument& error) {
        Fail(error.what());
    }
    return "ok";
}

std::string ScriptApi::ControlLines::Add(ScriptApi& api, std::string_view rest) {
    std::optional<std::string> id;
    try {
        id = ApplySceneLine(*api.document_, rest);
    } catch (const std::invalid_argument& error) {
        Fail(error.what());
    }
    // A redraw, tolerance or layer line is applied as in a scene; it has no id to answer.
    return id ? *id : "ok";
}

std::string ScriptApi::ControlLines::Clear(ScriptApi& api, std::string_view rest) {
    ExpectEnd(rest);
    api.document_->Clear();
    return "ok";
}

std::string ScriptApi::ControlLines::DocumentDump(ScriptApi& api, std::string_view rest) {
    ExpectEnd(rest);
    return api.DocumentText();
}

std::string ScriptApi::ControlLines::Log(ScriptApi& api, std::string_view rest) {
    const std::string_view what = NextWord(rest);
    ExpectEnd(rest);
    if (what.empty()) {
        return api.log_.Text();
    }
    if (!EqualsIgnoringCase(what, "clear")) {
        Fail("log takes nothing or clear");
    }
    api.log_.Clear();
    return "ok";
}

std::string ScriptApi::ControlLines::LastCommand(ScriptApi& api, std::string_view rest) {
    ExpectEnd(rest);
    std::string out;
    for (const Vec3& p : api.lastCommandPoints_) {
        out += NumberText(p.x) + ' ' + NumberText(p.y) + ' ' + NumberText(p.z) + '\n';
    }
    return out;
}

std::string ScriptApi::ControlLines::WindowHandle(ScriptApi& api, std::string_view rest) {
    const std::string_view word = NextWord(rest);
    ExpectEnd(rest);
    std::int32_t handle = 0;
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, handle);
    if (word.empty() || result.ec != std::errc{} || result.ptr != end) {
        Fail("windowhandle takes a whole number");
    }
    api.windowHandle_ = handle;
    return "ok";
}

std::string ScriptApi::ControlLines::View(ScriptApi& api, std::string_view rest) {
    const std::string_view word = NextWord(rest);
    ExpectEnd(rest);
    if (word.empty()) {
        return ViewName(api.activeView_);
    }
    const std::optional<ViewKind> view = ParseViewName(word);
    if (!view) {
        Fail("view takes Top, Front, Right or Perspective");
    }
    api.activeView_ = *view;
    return "ok";
}

std::string ScriptApi::ControlLines::Language(ScriptApi& api, std::string_view rest) {
    const std::string_view word = NextWord(rest);
    ExpectEnd(rest);
    if (word.empty()) {
        return api.language_;
    }
    if (!IsLanguageCode(word)) {
        Fail("language takes a code such as en or de");
    }
    api.language_ = std::string(word);
    return "ok";
}

std::string ScriptApi::ControlLines::Spot(ScriptApi& api, std::string_view rest) {
    const std::string_view id = NextWord(rest);
    const std::optional<ViewKind> view = ParseViewName(NextWord(rest));
    ExpectEnd(rest);
    if (id.empty() || !view) {
        Fail("spot takes an object id and a viewport");
    }
    const DocObject* object = api.document_->Find(id);
    if (object == nullptr) {
        Fail("spot: " + std::string(id) + " names no object");
    }
    const std::optional<ClickSpot> spot =
        api.pickProvider_ ? api.pickProvider_->SpotOf(object->id, *view) : std::nullopt;
    if (!spot) {
        Fail("spot: the object is not drawn in a viewport");
    }
    return std::to_string(spot->xPixels) + " " + std::to_string(spot->yPixels);
}

std::string ScriptApi::ControlLines::Busy(ScriptApi& api, std::string_view rest) {
    const std::string_view kind = NextWord(rest);
    if (EqualsIgnoringCase(kind, "off")) {
        ExpectEnd(rest);
        api.busy_.Clear();
        return "ok";
    }
    if (!EqualsIgnoringCase(kind, "for") && !EqualsIgnoringCase(kind, "calls")) {
        Fail("busy takes for <milliseconds> [after <N>], calls <N> or off");
    }
    const std::uint32_t amount = CountWord(NextWord(rest), 1);
    std::string_view meansWord = NextWord(rest);
    std::uint32_t afterCalls = 0;
    if (EqualsIgnoringCase(kind, "for") && EqualsIgnoringCase(meansWord, "after")) {
        afterCalls = CountWord(NextWord(rest), 1);
        meansWord = NextWord(rest);
    }
    BusyPlan::Means means = BusyPlan::Means::Object;
    if (EqualsIgnoringCase(meansWord, "filter-rejected")) {
        means = BusyPlan::Means::FilterRejected;
    } else if (EqualsIgnoringCase(meansWord, "filter-retrylater")) {
        means = BusyPlan::Means::FilterRetryLater;
    } else if (!meansWord.empty() && !EqualsIgnoringCase(meansWord, "object")) {
        Fail("busy turns calls away by object, filter-rejected or filter-retrylater");
    }
    ExpectEnd(rest);
    if (EqualsIgnoringCase(kind, "for")) {
        api.busy_.BusyFor(api.clock_(), amount, means, afterCalls);
    } else {
        api.busy_.BusyCalls(amount, means);
    }
    return "ok";
}

std::string ScriptApi::ControlLines::Command(ScriptApi& api, std::string_view rest) {
    const std::string_view what = NextWord(rest);
    if (EqualsIgnoringCase(what, "start")) {
        const std::string_view name = NextWord(rest);
        ExpectEnd(rest);
        api.userCommand_ = name.empty() ? "Move" : std::string(name);
        return "ok";
    }
    if (!EqualsIgnoringCase(what, "end")) {
        Fail("command takes start [<name>] or end");
    }
    ExpectEnd(rest);
    api.userCommand_.clear();
    return "ok";
}

std::string ScriptApi::ControlLines::Dialog(ScriptApi& api, std::string_view rest) {
    const std::string_view what = NextWord(rest);
    std::optional<DialogKind> kind;
    if (EqualsIgnoringCase(what, "open")) {
        const std::string_view kindWord = NextWord(rest);
        if (EqualsIgnoringCase(kindWord, "busy")) {
            kind = DialogKind::Busy;
        } else if (EqualsIgnoringCase(kindWord, "runs")) {
            kind = DialogKind::Runs;
        } else {
            Fail("dialog open takes busy or runs");
        }
    } else if (!EqualsIgnoringCase(what, "close")) {
        Fail("dialog takes open busy|runs or close");
    }
    ExpectEnd(rest);
    if (!api.dialogHandler_) {
        Fail("dialog: no window to show a dialog box in");
    }
    api.dialogHandler_(kind);
    return "ok";
}

std::string ScriptApi::ControlLines::Unknown(ScriptApi& api, std::string_view rest) {
    std::vector<std::string> names;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        if (names.empty() && EqualsIgnoringCase(word, "clear")) {
            ExpectEnd(rest);
            api.unknownOperations_.clear();
            return "ok";
        }
        names.push_back(OperationWord(word));
    }
    if (names.empty()) {
        Fail("unknown takes operation names or clear");
    }
    api.unknownOperations_.insert(names.begin(), names.end());
    return "ok";
}

std::string ScriptApi::ControlLines::InterpCrv(ScriptApi& api, std::string_view rest) {
    static constexpr const char* kKnotWords[] = {"Uniform", "Chord", "SqrtChrd"};
    InterpolationOptions options = api.interpCrv_;
    bool any = false;
    for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
        any = true;
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : word.substr(equals + 1);
        if (EqualsIgnoringCase(name, "Degree")) {
            // InterpCrv takes degrees 1 to 11.
            const std::uint32_t degree = CountWord(value, 1);
            if (degree > 11) {
                Fail("interpcrv Degree runs from 1 to 11");
            }
            options.degree = static_cast<int>(degree);
        } else if (EqualsIgnoringCase(name, "Knots")) {
            const auto found = std::find_if(std::begin(kKnotWords), std::end(kKnotWords),
                                            [&](const char* knots) { return EqualsIgnoringCase(value, knots); });
            if (found == std::end(kKnotWords)) {
                Fail("interpcrv Knots is Uniform, Chord or SqrtChrd");
            }
            options.knots = static_cast<KnotStyle>(found - std::begin(kKnotWords));
        } else if (EqualsIgnoringCase(name, "PersistentClose") &&
                   (EqualsIgnoringCase(value, "Yes") || EqualsIgnoringCase(value, "No"))) {
            options.closed = EqualsIgnoringCase(value, "Yes");
        } else {
            Fail("interpcrv takes Degree=<n>, Knots=<style> and PersistentClose=Yes|No, not \"" + std::string(word) +
                 "\"");
        }
    }
    if (!any) {
        return "Degree=" + std::to_string(options.degree) + " Knots=" + kKnotWords[static_cast<int>(options.knots)] +
               " PersistentClose=" + (options.closed ? "Yes" : "No");
    }
    api.interpCrv_ = options;
    return "ok";
}

}  // namespace hostsim
