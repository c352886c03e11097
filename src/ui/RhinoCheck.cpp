#include "ui/RhinoCheck.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "common/HostError.h"
#include "common/NumberText.h"
#include "construct/CycloidGenerator.h"
#include "host/Census.h"
#include "host/EventLog.h"
#include "host/HostScript.h"
#include "host/ModernHosts.h"

namespace ui {

namespace {

using common::HostValue;

// The automation errors of a name the object does not know: DISP_E_UNKNOWNNAME from
// GetIDsOfNames, DISP_E_MEMBERNOTFOUND from Invoke.
constexpr std::uint32_t kUnknownNameCode = 0x80020006;
constexpr std::uint32_t kMemberNotFoundCode = 0x80020003;
constexpr std::int32_t kExpectedDegree = 3;
// The host's unit systems, by code (0 to 25).
constexpr const char* kUnitSystemNames[] = {
    "no unit system", "microns",    "millimeters",    "centimeters",   "meters",         "kilometers",
    "microinches",    "mils",       "inches",         "feet",          "miles",          "custom units",
    "angstroms",      "nanometers", "decimeters",     "dekameters",    "hectometers",    "megameters",
    "gigameters",     "yards",      "printer points", "printer picas", "nautical miles", "astronomical units",
    "lightyears",     "parsecs",
};

// Start-up's platform for the check: the panel is neither titled, placed nor docked, no other
// instance is looked for, and the messages start-up would show are kept for the report. Records
// what start-up decided.
class CheckStartupPlatform final : public host::StartupPlatform {
  public:
    explicit CheckStartupPlatform(host::StartupPlatform& inner) : inner_(inner) {}

    bool PreviousInstance() override { return false; }
    std::int32_t FindPanelWindow(std::string_view, std::string_view) override { return 0; }
    void SetPanelTitle(std::string_view) override {}
    std::int32_t CountHostProcesses() override {
        const std::int32_t value = inner_.CountHostProcesses();
        census = host::DecodeCensus(value);
        return value;
    }
    std::vector<host::RunningExecutable> RunningModernHosts() override {
        std::vector<host::RunningExecutable> running = inner_.RunningModernHosts();
        modern = host::CountModernHosts(running);
        return running;
    }
    void ShowNoHostMessage(std::string_view text) override { messages.emplace_back(text); }
    std::int16_t ShowChooser() override { return inner_.ShowChooser(); }
    std::unique_ptr<host::Dispatcher> CreateObject(std::string_view progId) override {
        std::unique_ptr<host::Dispatcher> object = inner_.CreateObject(progId);
        createdProgId = progId;
        return object;
    }
    bool IsRegistered(std::string_view progId) override { return inner_.IsRegistered(progId); }
    void Sleep(std::uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    void LetPendingMessagesRun() override { inner_.LetPendingMessagesRun(); }
    void ShowMessageBox(std::string_view text) override { messages.emplace_back(text); }
    std::uint32_t WindowProcessId(std::int32_t window) override { return inner_.WindowProcessId(window); }
    void PlacePanelTopmost() override {}
    void Dock(std::int32_t) override {}

    host::DecodedCensus census;
    host::ModernCensus modern;
    std::string createdProgId;
    std::vector<std::string> messages;

  private:
    host::StartupPlatform& inner_;
};

// A dispatcher that keeps the raw answer of the last call it passed on, for the report.
class AnswerRecorder final : public host::Dispatcher {
  public:
    explicit AnswerRecorder(host::Dispatcher& inner) : inner_(inner) {}

    HostValue Call(const std::string& name, const std::vector<HostValue>& args) override {
        return Record([&] { return inner_.Call(name, args); });
    }
    HostValue Ask(const std::string& name, const std::vector<HostValue>& args) override {
        return Record([&] { return inner_.Ask(name, args); });
    }
    void Put(const std::string& name, const HostValue& value) override { inner_.Put(name, value); }
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override {
        return inner_.CallForObject(name);
    }

    // "Rhino answered <kind:value>", shortened as the log shortens it.
    std::string Answer() const { return "Rhino answered " + answer_; }

  private:
    HostValue Record(const std::function<HostValue()>& call) {
        answer_ = "nothing";
        HostValue answer = call();
        answer_ = host::EventLog::ValueText(answer);
        return answer;
    }

    host::Dispatcher& inner_;
    std::string answer_;
};

std::string PointText(const common::HostPoint& p) {
    return common::NumberText(p.x) + "," + common::NumberText(p.y) + "," + common::NumberText(p.z);
}

bool IsUnknownName(const common::HostError& error) {
    const auto code = static_cast<std::uint32_t>(error.Code());
    return code == kUnknownNameCode || code == kMemberNotFoundCode;
}

// Runs the checks in order, each turning a host error into a line that differs.
class Checker {
  public:
    Checker(AnswerRecorder& recorder, RhinoCheckReport& report)
        : recorder_(recorder), script_(&recorder), report_(report) {}

    host::HostScript& Script() { return script_; }

    // Runs `check`, which returns whether the answer is as expected and what it means (may be
    // empty); the line gets Rhino's raw answer.
    void Line(std::string subject, const std::function<std::pair<bool, std::string>(host::HostScript&)>& check) {
        try {
            auto [expected, meaning] = check(script_);
            std::string detail = recorder_.Answer();
            if (!meaning.empty()) {
                detail += " (" + meaning + ")";
            }
            report_.lines.push_back({std::move(subject), expected, std::move(detail)});
        } catch (const common::HostError& error) {
            std::string detail = IsUnknownName(error) ? "unknown to this Rhino: " : "Rhino raised an error: ";
            const std::string code = common::HexCodeText(static_cast<std::uint32_t>(error.Code()));
            if (error.Code() != 0 && error.Description().find(code) == std::string::npos) {
                detail += code + " ";
            }
            report_.lines.push_back({std::move(subject), false, detail + error.Description()});
        }
    }

    void Note(std::string subject, bool expected, std::string detail) {
        report_.lines.push_back({std::move(subject), expected, std::move(detail)});
    }

  private:
    AnswerRecorder& recorder_;
    host::HostScript script_;
    RhinoCheckReport& report_;
};

std::string RhinoText(const CheckStartupPlatform& platform) {
    std::string text;
    if (platform.createdProgId.starts_with("Rhino3")) {
        text = "Rhino 3, 32-bit";
    } else if (platform.createdProgId.starts_with("Rhino4")) {
        text = "Rhino 4, 32-bit";
    } else {
        const int version = platform.modern.Newest();
        bool any64 = false;
        bool any32 = false;
        for (const host::RunningExecutable& process : platform.modern.counted) {
            if (process.majorVersion == version) {
                (process.is64Bit ? any64 : any32) = true;
            }
        }
        text = "Rhino " + std::to_string(version) + ", " +
               (any64 && any32 ? "64-bit and 32-bit processes"
                : any64        ? "64-bit"
                               : "32-bit");
    }
    return text + ", attached through " + platform.createdProgId;
}

void DrawAndReadBack(Checker& checker,
                     const std::vector<common::HostPoint>& points,
                     double tolerance,
                     const std::vector<std::string>& before);

void CheckDocument(Checker& checker) {
    const std::vector<common::HostPoint> points = CheckCurvePoints();
    double tolerance = 0.01;

    checker.Line("InCommand", [](host::HostScript& script) {
        const std::optional<std::int32_t> running = script.InCommand();
        return std::pair(running == 0, std::string(running.value_or(0) > 0 ? "a command of yours runs in Rhino" : ""));
    });
    checker.Line("UnitAbsoluteTolerance", [&](host::HostScript& script) {
        const std::optional<double> read = script.UnitAbsoluteTolerance();
        if (read && *read > 0) {
            tolerance = *read;
        }
        return std::pair(read && *read > 0, std::string());
    });
    checker.Line("UnitSystem", [](host::HostScript& script) {
        const std::optional<std::int32_t> system = script.UnitSystem();
        const bool known = system && *system >= 0 && *system < static_cast<std::int32_t>(std::size(kUnitSystemNames));
        return std::pair(known, known ? std::string(kUnitSystemNames[*system]) : std::string());
    });

    std::vector<std::string> before;
    checker.Line("AllObjects before the test curve", [&](host::HostScript& script) {
        before = script.AllObjects().value_or(std::vector<std::string>());
        return std::pair(true, std::to_string(before.size()) + " objects");
    });

    // Redraw off while the test curve is drawn, as a generation does, and back as it was at the end.
    std::optional<bool> redrawBefore;
    checker.Line("EnableRedraw False", [&](host::HostScript& script) {
        redrawBefore = script.EnableRedraw(false);
        return std::pair(redrawBefore.has_value(), std::string(!redrawBefore   ? ""
                                                               : *redrawBefore ? "redraw was on"
                                                                               : "redraw was off"));
    });
    DrawAndReadBack(checker, points, tolerance, before);
    checker.Line(std::string("EnableRedraw ") + (redrawBefore.value_or(true) ? "True" : "False"),
                 [&](host::HostScript& script) {
                     const std::optional<bool> answer = script.EnableRedraw(redrawBefore.value_or(true));
                     return std::pair(answer == false, std::string("redraw as before the check; False expected"));
                 });
}

// Draws the test curve, reads it back and deletes it; `before` are the document's objects before.
void DrawAndReadBack(Checker& checker,
                     const std::vector<common::HostPoint>& points,
                     double tolerance,
                     const std::vector<std::string>& before) {
    const std::string commandText = construct::CycloidCommandText(points);
    checker.Line("Command " + commandText, [&](host::HostScript& script) {
        const bool drawn = script.Command(commandText);
        return std::pair(drawn, drawn ? std::string() : "True expected");
    });
    checker.Line("LastCommandResult", [](host::HostScript& script) {
        const std::optional<std::int32_t> code = script.LastCommandResult();
        return std::pair(code == 0, std::string(code == 0 ? "success" : "0, success, expected"));
    });

    std::optional<std::string> curve;
    checker.Line("LastCreatedObjects", [&](host::HostScript& script) {
        const std::optional<std::vector<std::string>> created = script.LastCreatedObjects();
        const bool one = created && created->size() == 1;
        if (one) {
            curve = created->front();
        }
        return std::pair(one, one ? std::string() : "the id of one curve expected");
    });
    if (!curve) {
        // Without LastCreatedObjects the test curve is found as the one new object.
        checker.Line("AllObjects after the test curve", [&](host::HostScript& script) {
            const std::vector<std::string> after = script.AllObjects().value_or(std::vector<std::string>());
            const std::set<std::string> old(before.begin(), before.end());
            std::vector<std::string> added;
            std::copy_if(after.begin(), after.end(), std::back_inserter(added),
                         [&](const std::string& id) { return !old.contains(id); });
            if (added.size() == 1) {
                curve = added.front();
            }
            return std::pair(added.size() == 1, std::to_string(added.size()) + " new objects");
        });
    }
    if (!curve) {
        checker.Note("test curve", false, "no curve was drawn, so none could be read back");
        return;
    }

    const auto matches = [&](const std::optional<common::HostPoint>& read, const common::HostPoint& expected) {
        const bool close = read && std::fabs(read->x - expected.x) <= tolerance &&
                           std::fabs(read->y - expected.y) <= tolerance && std::fabs(read->z - expected.z) <= tolerance;
        return std::pair(close, "world " + PointText(expected) + " expected");
    };
    checker.Line("CurveStartPoint",
                 [&](host::HostScript& script) { return matches(script.CurveStartPoint(*curve), points.front()); });
    checker.Line("CurveEndPoint",
                 [&](host::HostScript& script) { return matches(script.CurveEndPoint(*curve), points.back()); });
    checker.Line("CurveDegree", [&](host::HostScript& script) {
        const std::optional<std::int32_t> degree = script.CurveDegree(*curve);
        return std::pair(degree == kExpectedDegree, degree == kExpectedDegree
                                                        ? std::string()
                                                        : "3 expected: InterpCrv's option Degree was changed");
    });
    checker.Line("IsCurveClosed", [&](host::HostScript& script) {
        const bool closed = script.IsCurveClosed(*curve);
        return std::pair(!closed, std::string(closed ? "open expected: InterpCrv's option PersistentClose is on" : ""));
    });

    checker.Line("DeleteObject", [&](host::HostScript& script) {
        script.DeleteObject(*curve);
        return std::pair(true, std::string());
    });
    checker.Line("AllObjects after deleting the test curve", [&](host::HostScript& script) {
        std::vector<std::string> after = script.AllObjects().value_or(std::vector<std::string>());
        std::vector<std::string> expected = before;
        std::sort(after.begin(), after.end());
        std::sort(expected.begin(), expected.end());
        const bool same = after == expected;
        return std::pair(same, same ? "nothing left" : "the test curve " + *curve + " may be left in the document");
    });
}

}  // namespace

std::vector<common::HostPoint> CheckCurvePoints() {
    return {{1, 2, 0}, {2.5, 3, 0}, {4, 2, 5E-15}};
}

int RhinoCheckReport::ExitCode() const {
    if (!reached) {
        return 2;
    }
    return std::all_of(lines.begin(), lines.end(), [](const CheckLine& line) { return line.asExpected; }) ? 0 : 1;
}

std::string RhinoCheckReport::Text() const {
    std::string text = "Curtate: check of the running Rhino\n\n";
    for (const CheckLine& line : lines) {
        text += line.subject + ": " + (line.asExpected ? "as expected" : "differs") + ": " + line.detail + "\n";
    }
    return text;
}

std::string RhinoCheckReport::Summary() const {
    switch (ExitCode()) {
        case 0:
            return "Rhino answered every question as Curtate expects.";
        case 1: {
            std::string differing;
            for (const CheckLine& line : lines) {
                if (!line.asExpected) {
                    differing += (differing.empty() ? "" : ", ") + line.subject.substr(0, line.subject.find(' '));
                }
            }
            return "Rhino answered differently than Curtate expects: " + differing + ".";
        }
        default:
            return "No Rhino could be reached.";
    }
}

RhinoCheckReport CheckRhino(host::StartupPlatform& platform, host::BusyPolicy& busy) {
    RhinoCheckReport report;
    CheckStartupPlatform checkPlatform(platform);
    host::HostLink link;
    const host::StartupOutcome outcome = host::RunStartup(checkPlatform, link, busy);
    for (const std::string& message : checkPlatform.messages) {
        report.lines.push_back({"start-up", false, message});
    }
    report.reached = outcome == host::StartupOutcome::ShowPanel && link.RhinoScript != nullptr;
    if (!report.reached) {
        if (checkPlatform.messages.empty()) {
            report.lines.push_back({"start-up", false, "no Rhino was reached"});
        }
        return report;
    }
    report.lines.insert(report.lines.begin(), CheckLine{"Rhino", true, RhinoText(checkPlatform)});
    const host::BusyPolicy::CommandScope command(busy);
    AnswerRecorder recorder(*link.RhinoScript);
    Checker checker(recorder, report);
    CheckDocument(checker);
    return report;
}

}  // namespace ui
