#include "construct/GenerationRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "common/HostError.h"
#include "construct/CycloidGenerator.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostPoint;
using common::HostValue;
using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;

constexpr char kNoIntersection[] = "No intersection found, make sure curve and points are cooplanar in XY and YZ";

// An intersection answer: one row per crossing, the point on the probe in column 1.
HostValue Crossings(const std::vector<HostPoint>& onProbe) {
    std::vector<HostValue> elements;
    for (const HostPoint& p : onProbe) {
        elements.push_back(HostValue::Int32(1));
        elements.push_back(HostValue::Point(p.x, p.y, p.z));
        elements.push_back(HostValue::Point(p.x, p.y, p.z));
    }
    return HostValue::Array(std::move(elements), {{0, static_cast<std::uint32_t>(onProbe.size())}, {0, 3}});
}

// A document with point objects, an XY curve "xy" crossing the horizontal probes at x = xyCrossX
// and a YZ curve "yz" crossing the vertical probes at z = yzCrossZ. Probe lines get the ids
// probe-1, probe-2, ... in the order they are added.
class Scene {
  public:
    Scene() {
        host.Answer("IsPoint", [this](const std::vector<HostValue>& args) {
            return HostValue::Bool(points.count(args.at(0).text) != 0);
        });
        host.Answer("PointCoordinates", [this](const std::vector<HostValue>& args) {
            const auto found = points.find(args.at(0).text);
            if (found == points.end()) {
                return HostValue::Null();
            }
            return HostValue::Point(found->second.x, found->second.y, found->second.z);
        });
        host.Answer("AddLine", [this](const std::vector<HostValue>& args) {
            const std::string id = "probe-" + std::to_string(++addedProbes);
            const HostValue& end = args.at(1);
            probeStart[id] = {args.at(0).elements.at(0).number, args.at(0).elements.at(1).number,
                              args.at(0).elements.at(2).number};
            probeIsX[id] = end.elements.at(0).kind == HostValue::Kind::Int32;
            liveProbes.insert(id);
            return HostValue::String(id);
        });
        host.Answer("DeleteObject", [this](const std::vector<HostValue>& args) {
            // The host's word for an object it does not delete.
            if (undeletable.count(args.at(0).text) != 0) {
                return HostValue::Bool(false);
            }
            liveProbes.erase(args.at(0).text);
            return HostValue::Bool(true);
        });
        host.Answer("EnableRedraw", [this](const std::vector<HostValue>& args) {
            redrawOn = args.at(0).boolean;
            return HostValue::Bool(true);
        });
        host.Answer("CurveCurveIntersection", [this](const std::vector<HostValue>& args) {
            const std::string& probe = args.at(0).text;
            const std::string& curve = args.at(1).text;
            if (probeStart.count(probe) == 0) {
                return HostValue::Null();
            }
            const HostPoint start = probeStart[probe];
            if (curve == "xy" && probeIsX[probe] && xyMeets) {
                return Crossings({{xyCrossX, start.y, start.z}});
            }
            if (curve == "yz" && !probeIsX[probe] && yzMeets) {
                return Crossings({{start.x, start.y, yzCrossZ}});
            }
            return HostValue::Null();
        });
        host.Default("Command", HostValue::Bool(true));
        host.Default("LastCreatedObjects", HostValue::Array({HostValue::String("curve")}));
        panel.fields[PanelControl::Text1] = "xy";
        panel.fields[PanelControl::Text2] = "yz";
    }

    void AddPoint(const std::string& id, HostPoint at) {
        points[id] = at;
        panel.ListAppend(id);
    }
    void SetField(PanelControl field, const std::string& text) { panel.SetFieldText(field, text); }

    std::vector<std::string> Calls() const {
        std::vector<std::string> out;
        for (const auto& call : host.calls) {
            out.push_back(call.Describe());
        }
        return out;
    }

    // The command text the run must send for a point, given the scene's crossings.
    std::string ExpectedCommand(HostPoint p, double step, bool bothSides) const {
        return construct::CycloidCommandText(
            construct::CycloidSamples(p, {xyCrossX, p.y, p.z}, {p.x, p.y, yzCrossZ}, step, bothSides));
    }

    void Run() { construct::RunCycloidGeneration(script, panel, leftInHost); }

    FakeDispatcher host;
    host::HostScript script{&host};
    MemoryPanel panel;
    host::LeftInHost leftInHost;
    std::map<std::string, HostPoint> points;
    double xyCrossX = -20;
    double yzCrossZ = 30;
    bool xyMeets = true;
    bool yzMeets = true;
    int addedProbes = 0;
    std::map<std::string, HostPoint> probeStart;
    std::map<std::string, bool> probeIsX;
    std::set<std::string> liveProbes;
    std::set<std::string> undeletable;
    bool redrawOn = true;
};

std::string CommandCall(const std::string& text) {
    return "Command(S:\"" + text + "\", I4:0)";
}

TEST(GenerationRunTest, OnePointMakesTheHostCallsInOrder) {
    static const struct {
        const char* name;
        const char* step;
        bool bothSides;
        double stepValue;
    } kCases[] = {
        {"one side, step 90", "90", false, 90},
        {"both sides, step 90", "90", true, 90},
        {"both sides, default step", "5", true, 5},
        {"negative step draws an empty curve", "-5", true, -5},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.SetField(PanelControl::Text3, c.step);
        scene.panel.bothSides = c.bothSides;
        scene.Run();

        const std::vector<std::string> expected = {
            "UnselectAllObjects()",
            "EnableRedraw(Bool:false)",
            "SelectObject(S:\"P1\")",
            "IsPoint(S:\"P1\")",
            "PointCoordinates(S:\"P1\")",
            "AddLine(A(R8:0,R8:10,R8:0), A(I4:-5000,R8:10,R8:0))",
            "AddLine(A(R8:0,R8:10,R8:0), A(R8:0,R8:10,I4:5000))",
            "CurveCurveIntersection(S:\"probe-1\", S:\"xy\")",
            "CurveCurveIntersection(S:\"probe-2\", S:\"yz\")",
            CommandCall(scene.ExpectedCommand({0, 10, 0}, c.stepValue, c.bothSides)),
            "LastCreatedObjects()",
            "DeleteObject(S:\"probe-1\")",
            "DeleteObject(S:\"probe-2\")",
            "UnselectAllObjects()",
            "EnableRedraw(Bool:true)",
        };
        EXPECT_EQ(scene.Calls(), expected);
        EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
        EXPECT_EQ(scene.panel.statusColor, common::kStatusBlue);
        EXPECT_TRUE(scene.panel.statusVisible);
        EXPECT_EQ(scene.panel.pendingMessageRuns, 2);
        EXPECT_TRUE(scene.panel.messages.empty());
    }
}

TEST(GenerationRunTest, EachListedPointCostsExactlyElevenHostCalls) {
    // Per point: SelectObject, IsPoint, PointCoordinates, two AddLine, two CurveCurveIntersection,
    // Command, LastCreatedObjects, two DeleteObject. Per run: UnselectAllObjects and EnableRedraw,
    // twice each.
    static const std::map<std::string, int> kPerPoint = {
        {"SelectObject", 1},           {"IsPoint", 1}, {"PointCoordinates", 1},   {"AddLine", 2},
        {"CurveCurveIntersection", 2}, {"Command", 1}, {"LastCreatedObjects", 1}, {"DeleteObject", 2},
    };
    static const struct {
        const char* name;
        int points;
    } kCases[] = {{"one point", 1}, {"three points", 3}, {"twenty points", 20}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        for (int i = 0; i < c.points; ++i) {
            scene.AddPoint("P" + std::to_string(i), {0, 10.0 + i, 0});
        }
        scene.Run();
        ASSERT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
        EXPECT_EQ(scene.host.calls.size(), static_cast<std::size_t>(4 + 11 * c.points));
        for (const auto& [operation, count] : kPerPoint) {
            EXPECT_EQ(scene.host.CountOf(operation), count * c.points) << operation;
        }
        EXPECT_EQ(scene.host.CountOf("UnselectAllObjects"), 2);
        EXPECT_EQ(scene.host.CountOf("EnableRedraw"), 2);
    }
}

TEST(GenerationRunTest, HalfAndFullArchesFollowTheCheckBox) {
    // The worked example: 3 samples for one side and 5 for both at a step of 90 degrees.
    for (const bool bothSides : {false, true}) {
        SCOPED_TRACE(bothSides ? "checked" : "not checked");
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.SetField(PanelControl::Text3, "90");
        scene.panel.bothSides = bothSides;
        scene.Run();
        const std::string expectedStart = "-_InterpCrv w-20,10,0 w-25,10,15 ";
        ASSERT_EQ(scene.host.CountOf("Command"), 1);
        for (const auto& call : scene.host.calls) {
            if (call.name == "Command") {
                EXPECT_EQ(call.args.at(0).text.rfind(expectedStart, 0), 0u) << call.args.at(0).text;
                const std::string& text = call.args.at(0).text;
                const auto points = std::count(text.begin(), text.end(), ' ') - 1;
                EXPECT_EQ(points, bothSides ? 5 : 3);
            }
        }
    }
}

TEST(GenerationRunTest, MissingInputEndsDoneWithoutTouchingTheDocument) {
    static const struct {
        const char* name;
        const char* xy;
        const char* yz;
        bool listed;
    } kCases[] = {
        {"empty XY field", "", "yz", true},
        {"empty YZ field", "xy", "", true},
        {"empty list", "xy", "yz", false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        if (c.listed) {
            scene.AddPoint("P1", {0, 10, 0});
        }
        scene.SetField(PanelControl::Text1, c.xy);
        scene.SetField(PanelControl::Text2, c.yz);
        scene.Run();
        const std::vector<std::string> expected = {"UnselectAllObjects()", "EnableRedraw(Bool:false)",
                                                   "EnableRedraw(Bool:true)"};
        EXPECT_EQ(scene.Calls(), expected);
        EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
        EXPECT_EQ(scene.panel.statusColor, common::kStatusBlue);
        EXPECT_TRUE(scene.panel.messages.empty());
    }
}

TEST(GenerationRunTest, EntriesThatAreNoPointsStaySelectedAndAreSkipped) {
    Scene scene;
    scene.AddPoint("P1", {0, 10, 0});
    scene.panel.ListAppend("Curve2");
    scene.AddPoint("P3", {0, 20, 0});
    scene.Run();
    EXPECT_EQ(scene.host.CountOf("Command"), 2);
    EXPECT_EQ(scene.host.CountOf("AddLine"), 4);
    const std::vector<std::string> calls = scene.Calls();
    const auto at = std::find(calls.begin(), calls.end(), "SelectObject(S:\"Curve2\")");
    ASSERT_NE(at, calls.end());
    ASSERT_LT(at + 2, calls.end());
    EXPECT_EQ(*(at + 1), "IsPoint(S:\"Curve2\")");
    EXPECT_EQ(*(at + 2), "SelectObject(S:\"P3\")");
    EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
    EXPECT_TRUE(scene.liveProbes.empty());
}

TEST(GenerationRunTest, EntryTextIsTrimmedOnlyForTheSelection) {
    Scene scene;
    scene.points["  P1 "] = {0, 10, 0};
    scene.panel.ListAppend("  P1 ");
    scene.Run();
    const std::vector<std::string> calls = scene.Calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[2], "SelectObject(S:\"P1\")");
    EXPECT_EQ(calls[3], "IsPoint(S:\"  P1 \")");
    EXPECT_EQ(calls[4], "PointCoordinates(S:\"  P1 \")");
}

TEST(GenerationRunTest, PointWithoutReadableCoordinatesIsSkippedWithoutProbes) {
    Scene scene;
    scene.panel.ListAppend("Odd");
    scene.host.Answer("IsPoint", [](const std::vector<HostValue>&) { return HostValue::Bool(true); });
    scene.host.Answer("PointCoordinates", [](const std::vector<HostValue>&) { return HostValue::String("0,0,0"); });
    scene.Run();
    EXPECT_EQ(scene.host.CountOf("AddLine"), 0);
    EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
    EXPECT_TRUE(scene.panel.messages.empty());
}

TEST(GenerationRunTest, AMissedCurveEndsTheRunWithItsMessage) {
    static const struct {
        const char* name;
        bool xyMeets;
        bool yzMeets;
    } kCases[] = {
        {"XY probe misses", false, true},
        {"YZ probe misses", true, false},
        {"both miss", false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.AddPoint("P2", {0, 20, 0});
        scene.AddPoint("P3", {0, 30, 0});
        scene.Run();  // draws P1 first
        scene.host.calls.clear();
        scene.xyMeets = c.xyMeets;
        scene.yzMeets = c.yzMeets;
        scene.panel.statusCaption.clear();
        scene.Run();

        const std::vector<std::string> expected = {
            "UnselectAllObjects()",
            "EnableRedraw(Bool:false)",
            "SelectObject(S:\"P1\")",
            "IsPoint(S:\"P1\")",
            "PointCoordinates(S:\"P1\")",
            "AddLine(A(R8:0,R8:10,R8:0), A(I4:-5000,R8:10,R8:0))",
            "AddLine(A(R8:0,R8:10,R8:0), A(R8:0,R8:10,I4:5000))",
            "CurveCurveIntersection(S:\"probe-7\", S:\"xy\")",
            "CurveCurveIntersection(S:\"probe-8\", S:\"yz\")",
            "DeleteObject(S:\"probe-7\")",
            "DeleteObject(S:\"probe-8\")",
            "EnableRedraw(Bool:true)",
        };
        EXPECT_EQ(scene.Calls(), expected);
        EXPECT_EQ(scene.panel.messages, std::vector<std::string>{kNoIntersection});
        EXPECT_EQ(scene.panel.statusCaption, "Calculating Curtate cycloid... 1");
        EXPECT_EQ(scene.panel.statusColor, common::kStatusRed);
        EXPECT_EQ(scene.panel.pendingMessageRuns, 3);  // two from the first run, one from this
    }
}

TEST(GenerationRunTest, BlankXyFieldPassesTheTestAndMeetsNothing) {
    Scene scene;
    scene.AddPoint("P1", {0, 10, 0});
    scene.SetField(PanelControl::Text1, "   ");
    scene.Run();
    const std::vector<std::string> calls = scene.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "CurveCurveIntersection(S:\"probe-1\", S:\"\")"), calls.end());
    EXPECT_EQ(scene.panel.messages, std::vector<std::string>{kNoIntersection});
    EXPECT_TRUE(scene.liveProbes.empty());
    EXPECT_TRUE(scene.redrawOn);
}

TEST(GenerationRunTest, ProbesReachAbsoluteFarEnds) {
    // A point left of x = -5000 gets its X probe towards positive X, up to -5000.
    Scene scene;
    scene.AddPoint("P1", {-6000, 2.5, 0});
    scene.xyCrossX = -5500;
    scene.Run();
    const std::vector<std::string> calls = scene.Calls();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(calls[5], "AddLine(A(R8:-6000,R8:2.5,R8:0), A(I4:-5000,R8:2.5,R8:0))");
    EXPECT_EQ(calls[6], "AddLine(A(R8:-6000,R8:2.5,R8:0), A(R8:-6000,R8:2.5,I4:5000))");
}

TEST(GenerationRunTest, FirstReportedCrossingCounts) {
    Scene scene;
    scene.AddPoint("P1", {0, 10, 0});
    scene.host.Answer("CurveCurveIntersection", [](const std::vector<HostValue>& args) {
        if (args.at(1).text == "xy") {
            return Crossings({{-20, 10, 0}, {-40, 10, 0}});
        }
        return Crossings({{0, 10, 30}, {0, 10, 60}});
    });
    scene.SetField(PanelControl::Text3, "90");
    scene.Run();
    const std::string expected =
        construct::CycloidCommandText(construct::CycloidSamples({0, 10, 0}, {-20, 10, 0}, {0, 10, 30}, 90, true));
    const std::vector<std::string> calls = scene.Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), CommandCall(expected)), calls.end());
}

// A refused step, or a curve whose coordinates would not be finite.
TEST(GenerationRunTest, RefusedEntryEndsTheRunWithAMessageAndNoCurve) {
    static const struct {
        const char* name;
        const char* step;
        const char* message;
        double xyCrossX = -20;
    } kCases[] = {
        {"zero", "0",
         "The step must be a number of degrees other than 0, for example 5. An empty step, or one that does not "
         "start with a number, reads as 0."},
        {"empty", "",
         "The step must be a number of degrees other than 0, for example 5. An empty step, or one that does not "
         "start with a number, reads as 0."},
        {"not a number", "abc",
         "The step must be a number of degrees other than 0, for example 5. An empty step, or one that does not "
         "start with a number, reads as 0."},
        {"too small", "0.0001",
         "The step is too small: one curve would need more than 1,000,000 points. Type a larger step, for example "
         "5."},
        {"span beyond the double range", "5",
         "The curve of point P1 cannot be drawn: the XY or YZ curve lies so far from the point that its coordinates "
         "are beyond the numbers Rhino can read.",
         -1e200},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.AddPoint("P2", {0, 20, 0});
        scene.SetField(PanelControl::Text3, c.step);
        scene.xyCrossX = c.xyCrossX;
        scene.Run();
        EXPECT_EQ(scene.panel.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(scene.host.CountOf("Command"), 0);
        EXPECT_EQ(scene.host.CountOf("AddLine"), 2);  // the second entry is not reached
        const std::vector<std::string> calls = scene.Calls();
        const std::vector<std::string> tail(calls.end() - 3, calls.end());
        const std::vector<std::string> expectedTail = {"DeleteObject(S:\"probe-1\")", "DeleteObject(S:\"probe-2\")",
                                                       "EnableRedraw(Bool:true)"};
        EXPECT_EQ(tail, expectedTail);
        EXPECT_EQ(scene.panel.statusCaption, "Calculating Curtate cycloid... 1");
    }
}

// A curve the host does not report drawn (anything but Boolean true, or true with no object
// created) ends the run as a miss does, after the curves drawn so far, with the host's reason
// where it gives one.
TEST(GenerationRunTest, ACurveTheHostDidNotDrawEndsTheRunWithItsMessage) {
    static const struct {
        const char* name;
        HostValue answer;
        HostValue resultCode;  // LastCommandResult's answer; Empty: the call raises
        const char* message;
        HostValue created = HostValue::Array({HostValue::String("curve")});  // LastCreatedObjects' answer
    } kCases[] = {
        {"false, failed", HostValue::Bool(false), HostValue::Int32(3),
         "Rhino did not draw the curve of point P2. The command failed."},
        {"false, unknown command", HostValue::Bool(false), HostValue::Int32(4),
         "Rhino did not draw the curve of point P2. Rhino does not know the command."},
        {"null, cancelled", HostValue::Null(), HostValue::Int16(1),
         "Rhino did not draw the curve of point P2. The command was cancelled."},
        {"empty, nothing done", HostValue::Empty(), HostValue::Double(2),
         "Rhino did not draw the curve of point P2. The command did nothing."},
        {"text True, code success", HostValue::String("True"), HostValue::Int32(0),
         "Rhino did not draw the curve of point P2."},
        {"number -1, no code", HostValue::Int16(-1), HostValue::Null(), "Rhino did not draw the curve of point P2."},
        {"false, the code raises", HostValue::Bool(false), HostValue::Empty(),
         "Rhino did not draw the curve of point P2."},
        {"true, nothing created, cancelled", HostValue::Bool(true), HostValue::Int32(1),
         "Rhino did not draw the curve of point P2. The command was cancelled.", HostValue::Null()},
        {"true, an empty list created, code success", HostValue::Bool(true), HostValue::Int32(0),
         "Rhino did not draw the curve of point P2.", HostValue::Array({})},
        {"true, a number for the created ids", HostValue::Bool(true), HostValue::Empty(),
         "Rhino did not draw the curve of point P2.", HostValue::Int32(1)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.AddPoint(" P2", {0, 20, 0});
        scene.AddPoint("P3", {0, 30, 0});
        scene.host.Answer("Command", [&, calls = 0](const std::vector<HostValue>&) mutable {
            return ++calls == 1 ? HostValue::Bool(true) : c.answer;
        });
        scene.host.Answer("LastCreatedObjects", [&, calls = 0](const std::vector<HostValue>&) mutable {
            return ++calls == 1 ? HostValue::Array({HostValue::String("curve-1")}) : c.created;
        });
        if (c.resultCode.kind == HostValue::Kind::Empty) {
            scene.host.RaiseOn("LastCommandResult", 1, "no such method");
        } else {
            scene.host.Default("LastCommandResult", c.resultCode);
        }
        scene.Run();
        EXPECT_EQ(scene.panel.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(scene.host.CountOf("Command"), 2);
        EXPECT_EQ(scene.host.CountOf("LastCommandResult"), 1);
        // Only a true answer is confirmed, and the reason is asked after it.
        const bool confirmed = c.answer == HostValue::Bool(true);
        EXPECT_EQ(scene.host.CountOf("LastCreatedObjects"), confirmed ? 2 : 1);
        EXPECT_TRUE(scene.liveProbes.empty());
        EXPECT_TRUE(scene.redrawOn);
        const std::vector<std::string> calls = scene.Calls();
        const std::vector<std::string> tail(calls.end() - 4, calls.end());
        const std::vector<std::string> expectedTail = {"LastCommandResult()", "DeleteObject(S:\"probe-3\")",
                                                       "DeleteObject(S:\"probe-4\")", "EnableRedraw(Bool:true)"};
        EXPECT_EQ(tail, expectedTail);
        EXPECT_EQ(calls.at(calls.size() - 5).rfind(confirmed ? "LastCreatedObjects(" : "Command(", 0), 0u);
        EXPECT_EQ(scene.panel.statusCaption, "Calculating Curtate cycloid... 2");
        EXPECT_EQ(scene.panel.statusColor, common::kStatusRed);
    }
}

TEST(GenerationRunTest, AProbeTheHostDidNotAddEndsTheRunAsAMiss) {
    Scene scene;
    scene.AddPoint("P1", {0, 10, 0});
    scene.host.Answer("AddLine", [](const std::vector<HostValue>&) { return HostValue::Null(); });
    scene.Run();
    EXPECT_EQ(scene.host.CountOf("CurveCurveIntersection"), 0);
    EXPECT_EQ(scene.host.CountOf("DeleteObject"), 0);
    EXPECT_EQ(scene.panel.messages, std::vector<std::string>{kNoIntersection});
    EXPECT_TRUE(scene.redrawOn);
}

// A host error at any call of a run leaves no probe line behind and redraw on.
TEST(GenerationRunTest, AHostErrorAtAnyCallLeavesNoProbeAndRedrawOn) {
    auto prepare = [](Scene& scene) {
        scene.AddPoint("P1", {0, 10, 0});
        scene.panel.ListAppend("Curve2");
        scene.AddPoint("P3", {0, 20, 0});
    };
    Scene clean;
    prepare(clean);
    clean.Run();
    const std::vector<testing_support::RecordedCall> reference = clean.host.calls;
    ASSERT_GT(reference.size(), 20u);

    for (std::size_t index = 0; index < reference.size(); ++index) {
        const std::string& name = reference[index].name;
        int nth = 0;
        for (std::size_t k = 0; k <= index; ++k) {
            nth += reference[k].name == name ? 1 : 0;
        }
        SCOPED_TRACE("raise at call " + std::to_string(index) + ": " + reference[index].Describe());
        Scene scene;
        prepare(scene);
        scene.host.RaiseOn(name, nth, "boom");
        if (name == "LastCreatedObjects") {
            // A question the run can do without: the command's true answer stands.
            scene.Run();
            ASSERT_EQ(scene.host.calls.size(), reference.size());
            EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
            EXPECT_TRUE(scene.panel.messages.empty());
            EXPECT_TRUE(scene.liveProbes.empty());
            continue;
        }
        try {
            scene.Run();
            ADD_FAILURE() << "the error did not reach the caller";
        } catch (const common::HostError& error) {
            EXPECT_EQ(error.Operation(), name);
            EXPECT_EQ(error.Description(), "boom");
        }
        EXPECT_TRUE(scene.liveProbes.empty());
        EXPECT_TRUE(scene.redrawOn);
        // The calls before the failing one are the same as in the clean run.
        for (std::size_t k = 0; k <= index; ++k) {
            ASSERT_EQ(scene.host.calls.at(k).Describe(), reference[k].Describe());
        }
    }
}

TEST(GenerationRunTest, AProbeTheHostRefusesToDeleteIsNamedAndTheRunIsNotDone) {
    static const struct {
        const char* name;
        const char* raisedBy;  // the call that fails first; nullptr: none
        std::size_t curves;
    } kCases[] = {
        {"after the first point's curve", nullptr, 1},
        {"in the clean-up of a failed command", "Command", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.AddPoint("P2", {0, 20, 0});
        scene.undeletable.insert("probe-2");
        if (c.raisedBy != nullptr) {
            scene.host.RaiseOn(c.raisedBy, 1);
            EXPECT_THROW(scene.Run(), common::HostError);
        } else {
            scene.Run();
        }
        EXPECT_EQ(scene.leftInHost.Items(), std::vector<std::string>{"the probe line probe-2"});
        EXPECT_EQ(scene.liveProbes, std::set<std::string>{"probe-2"});
        EXPECT_EQ(static_cast<std::size_t>(scene.host.CountOf("LastCreatedObjects")), c.curves);
        EXPECT_EQ(scene.panel.statusCaption, "Calculating Curtate cycloid... 1");
        EXPECT_TRUE(scene.redrawOn);
        EXPECT_TRUE(scene.panel.messages.empty());
    }
}

TEST(GenerationRunTest, ListEmptiedWhileTheRunWaitsIsNotReadPastItsEnd) {
    // "Del All pts" handled while pending messages run at the start: the run finds no entries.
    Scene scene;
    scene.AddPoint("P1", {0, 10, 0});
    scene.panel.onPendingMessages = [&] { scene.panel.ListClear(); };
    scene.Run();
    const std::vector<std::string> expected = {"UnselectAllObjects()", "EnableRedraw(Bool:false)",
                                               "EnableRedraw(Bool:true)"};
    EXPECT_EQ(scene.Calls(), expected);
    EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");

    // Emptied while the host works on the first entry: the count read at the start is not trusted.
    Scene later;
    later.AddPoint("P1", {0, 10, 0});
    later.AddPoint("P2", {0, 20, 0});
    later.AddPoint("P3", {0, 30, 0});
    later.host.Answer("Command", [&](const std::vector<HostValue>&) {
        later.panel.ListClear();
        return HostValue::Bool(true);
    });
    later.Run();
    EXPECT_EQ(later.host.CountOf("SelectObject"), 1);
    EXPECT_EQ(later.host.CountOf("Command"), 1);
    EXPECT_TRUE(later.liveProbes.empty());
    EXPECT_TRUE(later.redrawOn);
    EXPECT_EQ(later.panel.statusCaption, "Curtate cycloid - DONE!");
}

TEST(GenerationRunTest, ASecondRunInsideARunLeavesRedrawOnAndBothSetsOfCurves) {
    for (const bool atStart : {true, false}) {
        SCOPED_TRACE(atStart ? "at the start" : "at the end");
        Scene scene;
        scene.AddPoint("P1", {0, 10, 0});
        scene.AddPoint("P2", {0, 20, 0});
        if (atStart) {
            scene.panel.onPendingMessages = [&] { scene.Run(); };
        } else {
            scene.panel.onPendingMessages = [&] { scene.panel.onPendingMessages = [&] { scene.Run(); }; };
        }
        scene.Run();
        EXPECT_EQ(scene.host.CountOf("Command"), 4);
        EXPECT_TRUE(scene.liveProbes.empty());
        EXPECT_TRUE(scene.redrawOn);
        EXPECT_EQ(scene.host.CountOf("EnableRedraw"), 4);
        EXPECT_EQ(scene.panel.statusCaption, "Curtate cycloid - DONE!");
        EXPECT_EQ(scene.panel.statusColor, common::kStatusBlue);
        EXPECT_TRUE(scene.panel.messages.empty());
    }
}

// Against the simulated host's document: the curves drawn run through the generator's samples,
// and the document keeps no probe line.
TEST(GenerationRunTest, SimulatedHostDrawsTheGeneratorsCurves) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string xy = doc.AddCurve(*hostsim::Curve::MakeLine({-20, -100, 0}, {-20, 100, 0}));
    const std::string yz = doc.AddCurve(*hostsim::Curve::MakeLine({0, -100, 30}, {0, 100, 30}));
    const std::string p1 = doc.AddPoint({0, 10, 0});
    const std::string p2 = doc.AddPoint({0, 25, 0});
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;
    panel.SetFieldText(PanelControl::Text1, xy);
    panel.SetFieldText(PanelControl::Text2, " " + yz + " ");
    panel.ListAppend(p1);
    panel.ListAppend(p2);
    panel.SetFieldText(PanelControl::Text3, "7.5");

    host::LeftInHost leftInHost;
    construct::RunCycloidGeneration(script, panel, leftInHost);

    ASSERT_TRUE(panel.messages.empty()) << panel.messages.front();
    EXPECT_EQ(panel.statusCaption, "Curtate cycloid - DONE!");
    EXPECT_TRUE(doc.RedrawEnabled());
    EXPECT_TRUE(doc.SelectedIds().empty());
    const std::vector<std::string> ids = doc.AllIds();
    ASSERT_EQ(ids.size(), 6u);  // two curves, two points and one cycloid per point: no probe left
    const HostPoint bases[] = {{0, 10, 0}, {0, 25, 0}};
    for (std::size_t k = 0; k < 2; ++k) {
        SCOPED_TRACE("point " + std::to_string(k + 1));
        const hostsim::DocObject* drawn = doc.Find(ids[4 + k]);
        ASSERT_NE(drawn, nullptr);
        ASSERT_TRUE(drawn->curve.has_value());
        const HostPoint base = bases[k];
        const std::vector<HostPoint> samples =
            construct::CycloidSamples(base, {-20, base.y, 0}, {0, base.y, 30}, 7.5, true);
        const std::vector<hostsim::Vec3>& through = drawn->curve->Points();
        ASSERT_EQ(through.size(), samples.size());
        // The command text carries 15 significant digits; the hits come from the host's intersection.
        constexpr double kTolerance = 1e-9;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            EXPECT_NEAR(through[i].x, samples[i].x, kTolerance) << i;
            EXPECT_NEAR(through[i].y, samples[i].y, kTolerance) << i;
            EXPECT_NEAR(through[i].z, samples[i].z, kTolerance) << i;
        }
    }
}

// A run the simulated host ends early keeps no probe and switches redraw back on: a probe that
// misses its curve (the YZ curve above z = 5000, beyond the vertical probe), and a negative
// step, which sends a command without points that the host refuses with False, after the
// first entry.
TEST(GenerationRunTest, SimulatedHostEndingTheRunKeepsNoProbe) {
    static const struct {
        const char* name;
        double yzHeight;
        const char* step;
        const char* messageAfterId;  // nullptr: the no-intersection message
    } kCases[] = {
        {"curve missed", 6000, "5", nullptr},
        {"empty command refused", 30, "-5", ". The command failed."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        hostsim::ScriptApi api;
        hostsim::Document& doc = api.Doc();
        const std::string xy = doc.AddCurve(*hostsim::Curve::MakeLine({-20, -100, 0}, {-20, 100, 0}));
        const std::string yz = doc.AddCurve(*hostsim::Curve::MakeLine({0, -100, c.yzHeight}, {0, 100, c.yzHeight}));
        const std::string p1 = doc.AddPoint({0, 10, 0});
        const std::string p2 = doc.AddPoint({0, 25, 0});
        testing_support::HostsimDispatcher dispatcher(api);
        host::HostScript script(&dispatcher);
        MemoryPanel panel;
        panel.SetFieldText(PanelControl::Text1, xy);
        panel.SetFieldText(PanelControl::Text2, yz);
        panel.ListAppend(p1);
        panel.ListAppend(p2);
        panel.SetFieldText(PanelControl::Text3, c.step);
        host::LeftInHost leftInHost;
        construct::RunCycloidGeneration(script, panel, leftInHost);
        const std::string message = c.messageAfterId == nullptr
                                        ? std::string(kNoIntersection)
                                        : "Rhino did not draw the curve of point " + p1 + c.messageAfterId;
        EXPECT_EQ(panel.messages, std::vector<std::string>{message});
        EXPECT_EQ(panel.statusCaption, "Calculating Curtate cycloid... 1");
        EXPECT_EQ(doc.Count(), 4u);
        EXPECT_TRUE(doc.RedrawEnabled());
        EXPECT_EQ(doc.SelectedIds(), std::vector<std::string>{p1});
    }
}

}  // namespace
