#include "picking/Pickers.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostValue;
using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;

constexpr char kXyPlane[] = "A(A(I2:0,I2:0,I2:0),A(I2:1,I2:0,I2:0),A(I2:0,I2:1,I2:0),A(I2:0,I2:0,I2:0))";
constexpr char kYzPlane[] = "A(A(I2:0,I2:0,I2:0),A(I2:0,I2:0,I2:1),A(I2:0,I2:1,I2:0),A(I2:0,I2:0,I2:1))";

using Picker = void (*)(host::HostScript&, common::PanelSurface&);

struct Outcome {
    std::vector<std::string> calls;
    std::string field;
    std::vector<std::string> messages;
    bool statusVisible = true;
};

// Runs `picker` on a panel whose field holds "old", against a host answering `answers`.
Outcome RunPicker(Picker picker, PanelControl field, const std::function<void(FakeDispatcher&)>& answers) {
    FakeDispatcher host;
    answers(host);
    host::HostScript script(&host);
    MemoryPanel panel;
    panel.SetFieldText(field, "old");
    picker(script, panel);
    Outcome out;
    for (const auto& call : host.calls) {
        out.calls.push_back(call.Describe());
    }
    out.field = panel.FieldText(field);
    out.messages = panel.messages;
    out.statusVisible = panel.statusVisible;
    return out;
}

void Answer(FakeDispatcher& host, const char* name, bool value) {
    host.Default(name, HostValue::Bool(value));
}

TEST(PickersTest, CancelledPickChangesNothing) {
    static const struct {
        const char* name;
        Picker picker;
        PanelControl field;
        const char* prompt;
    } kCases[] = {
        {"line", picking::PickLine, PanelControl::Text5, "GetObject(S:\"Pick a Line \", I2:4)"},
        {"XY curve", picking::PickXyCurve, PanelControl::Text1, "GetObject(S:\"Pick a XY curve \", I2:4)"},
        {"YZ curve", picking::PickYzCurve, PanelControl::Text2, "GetObject(S:\"Pick a YZ curve \", I2:4)"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Outcome out =
            RunPicker(c.picker, c.field, [](FakeDispatcher& host) { host.Default("GetObject", HostValue::Null()); });
        EXPECT_EQ(out.calls, std::vector<std::string>{c.prompt});
        EXPECT_EQ(out.field, "old");
        EXPECT_TRUE(out.messages.empty());
        EXPECT_FALSE(out.statusVisible);
    }
}

TEST(PickersTest, AcceptedPickReplacesTheWholeField) {
    const Outcome line = RunPicker(picking::PickLine, PanelControl::Text5, [](FakeDispatcher& host) {
        host.Default("GetObject", HostValue::String("Arc-7"));  // any curve is taken as the line
    });
    EXPECT_EQ(line.calls, std::vector<std::string>{"GetObject(S:\"Pick a Line \", I2:4)"});
    EXPECT_EQ(line.field, "Arc-7");

    const Outcome xy = RunPicker(picking::PickXyCurve, PanelControl::Text1, [](FakeDispatcher& host) {
        host.Default("GetObject", HostValue::String("C1"));
        Answer(host, "IsCurve", true);
        Answer(host, "IsCurvePlanar", true);
        Answer(host, "IsCurveInPlane", true);
    });
    const std::vector<std::string> xyCalls = {"GetObject(S:\"Pick a XY curve \", I2:4)", "IsCurve(S:\"C1\")",
                                              "IsCurvePlanar(S:\"C1\")",
                                              std::string("IsCurveInPlane(S:\"C1\", ") + kXyPlane + ")"};
    EXPECT_EQ(xy.calls, xyCalls);
    EXPECT_EQ(xy.field, "C1");
    EXPECT_TRUE(xy.messages.empty());

    const Outcome yz = RunPicker(picking::PickYzCurve, PanelControl::Text2, [](FakeDispatcher& host) {
        host.Default("GetObject", HostValue::String("C2"));
        Answer(host, "IsCurveInPlane", true);
    });
    const std::vector<std::string> yzCalls = {"GetObject(S:\"Pick a YZ curve \", I2:4)",
                                              std::string("IsCurveInPlane(S:\"C2\", ") + kYzPlane + ")"};
    EXPECT_EQ(yz.calls, yzCalls);
    EXPECT_EQ(yz.field, "C2");
}

TEST(PickersTest, XyCurveThatIsNotPlanarEndsSilentlyAfterBothQuestions) {
    static const struct {
        const char* name;
        bool isCurve;
        bool isPlanar;
    } kCases[] = {{"not planar", true, false}, {"not a curve", false, true}, {"neither", false, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Outcome out = RunPicker(picking::PickXyCurve, PanelControl::Text1, [&](FakeDispatcher& host) {
            host.Default("GetObject", HostValue::String("C1"));
            Answer(host, "IsCurve", c.isCurve);
            Answer(host, "IsCurvePlanar", c.isPlanar);
        });
        const std::vector<std::string> expected = {"GetObject(S:\"Pick a XY curve \", I2:4)", "IsCurve(S:\"C1\")",
                                                   "IsCurvePlanar(S:\"C1\")"};
        EXPECT_EQ(out.calls, expected);
        EXPECT_EQ(out.field, "old");
        EXPECT_TRUE(out.messages.empty());
    }
}

TEST(PickersTest, CurveOutsideItsPlaneIsRejectedWithAMessage) {
    static const struct {
        const char* name;
        Picker picker;
        PanelControl field;
        HostValue inPlane;
        const char* message;
    } kCases[] = {
        {"XY false", picking::PickXyCurve, PanelControl::Text1, HostValue::Bool(false),
         "Selected curve is not in the XY plane"},
        {"XY null", picking::PickXyCurve, PanelControl::Text1, HostValue::Null(),
         "Selected curve is not in the XY plane"},
        {"YZ false", picking::PickYzCurve, PanelControl::Text2, HostValue::Bool(false),
         "Selected curve is not in the YZ plane"},
        {"YZ null", picking::PickYzCurve, PanelControl::Text2, HostValue::Null(),
         "Selected curve is not in the YZ plane"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Outcome out = RunPicker(c.picker, c.field, [&](FakeDispatcher& host) {
            host.Default("GetObject", HostValue::String("C1"));
            Answer(host, "IsCurve", true);
            Answer(host, "IsCurvePlanar", true);
            host.Default("IsCurveInPlane", c.inPlane);
        });
        EXPECT_EQ(out.field, "old");
        EXPECT_EQ(out.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(out.statusVisible);
    }
}

// Against the simulated host: each picker accepts the curve of its plane and the XY picker
// rejects a curve of the YZ plane.
TEST(PickersTest, SimulatedHostAcceptsCurvesOfTheirPlanes) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string xy = doc.AddCurve(*hostsim::Curve::MakePolyline({{-20, -5, 0}, {-30, 0, 0}, {-20, 5, 0}}));
    const std::string yz = doc.AddCurve(*hostsim::Curve::MakePolyline({{0, -5, 30}, {0, 0, 40}, {0, 5, 30}}));
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;

    api.QueuePick(std::vector<std::string>{xy});
    picking::PickLine(script, panel);
    api.QueuePick(std::vector<std::string>{xy});
    picking::PickXyCurve(script, panel);
    api.QueuePick(std::vector<std::string>{yz});
    picking::PickYzCurve(script, panel);
    EXPECT_EQ(panel.FieldText(PanelControl::Text5), xy);
    EXPECT_EQ(panel.FieldText(PanelControl::Text1), xy);
    EXPECT_EQ(panel.FieldText(PanelControl::Text2), yz);
    EXPECT_TRUE(panel.messages.empty());

    api.QueuePick(std::vector<std::string>{yz});
    picking::PickXyCurve(script, panel);
    api.QueuePick(std::vector<std::string>{xy});
    picking::PickYzCurve(script, panel);
    EXPECT_EQ(panel.messages, (std::vector<std::string>{"Selected curve is not in the XY plane",
                                                        "Selected curve is not in the YZ plane"}));
    EXPECT_EQ(panel.FieldText(PanelControl::Text1), xy);
    EXPECT_EQ(panel.FieldText(PanelControl::Text2), yz);
}

}  // namespace
