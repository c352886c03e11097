#include "ui/EventRouter.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeBusyPlatform.h"
#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "common/HostError.h"
#include "host/PatientDispatcher.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostError;
using common::HostValue;
using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;
using ui::PanelEvent;

constexpr char kNotAttached[] = "The tool is not attached to Rhino. Start Rhino, then start the tool again.";
constexpr char kHostGone[] =
    "Rhino is no longer running, so the tool cannot reach it. Start Rhino, then start the tool again.";

struct Fixture {
    Fixture() {
        panel.SetFieldText(PanelControl::Text5, "L1");
        host.Default("SelectedObjects", HostValue::Array({HostValue::String("L1")}));
        host.Default("DivideCurve", HostValue::Array({}));
        panel.SetFieldText(PanelControl::Text1, "xy");
        panel.SetFieldText(PanelControl::Text2, "yz");
        panel.ListAppend("P1");
        panel.selectedRow = 0;
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> out;
        for (const auto& call : host.calls) {
            out.push_back(call.Describe());
        }
        return out;
    }
    // A document where P1 is a point at (0, 10, 0) that both probes meet.
    void MakeGeometry() {
        host.Default("IsPoint", HostValue::Bool(true));
        host.Default("PointCoordinates", HostValue::Point(0, 10, 0));
        host.Answer("AddLine", [this](const std::vector<HostValue>&) {
            return HostValue::String("probe-" + std::to_string(++probes));
        });
        host.Default("CurveCurveIntersection",
                     HostValue::Array({HostValue::Int32(1), HostValue::Point(-20, 10, 0)}, {{0, 1}, {0, 2}}));
        host.Default("Command", HostValue::Bool(true));
        host.Default("LastCreatedObjects", HostValue::Array({HostValue::String("curve")}));
    }

    FakeDispatcher host;
    host::HostScript script{&host};
    MemoryPanel panel;
    int webPageOpened = 0;
    int probes = 0;
    ui::EventRouter router{script, panel, [this] { ++webPageOpened; }};
};

TEST(EventRouterTest, EachWiredEventRunsItsHandler) {
    static const struct {
        const char* name;
        PanelControl control;
        PanelEvent event;
        const char* firstCall;   // the handler's first host call; nullptr: no host call
        bool asksFirst = false;  // InCommand is asked before the handler runs
    } kCases[] = {
        {"Pick Line", PanelControl::Command5, PanelEvent::Click, "GetObject(S:\"Pick a Line \", I2:4)", true},
        {"Pick XY curve", PanelControl::Command6, PanelEvent::Click, "GetObject(S:\"Pick a XY curve \", I2:4)", true},
        {"Pick YZ curve", PanelControl::Command7, PanelEvent::Click, "GetObject(S:\"Pick a YZ curve \", I2:4)", true},
        {"Pick Points", PanelControl::Command8, PanelEvent::Click, "GetObjects(S:\"Pick points\", I2:1)", true},
        {"SelAllPts", PanelControl::Command1, PanelEvent::Click, "AllObjects()"},
        {"Create", PanelControl::Command2, PanelEvent::Click, "SelectObject(S:\"L1\")", true},
        {"Generate", PanelControl::Command4, PanelEvent::Click, "UnselectAllObjects()", true},
        {"Text5 down", PanelControl::Text5, PanelEvent::MouseDown, "SelectObject(S:\"L1\")"},
        {"Text5 up", PanelControl::Text5, PanelEvent::MouseUp, "UnselectObject(S:\"L1\")"},
        {"Text1 down", PanelControl::Text1, PanelEvent::MouseDown, "SelectObject(S:\"xy\")"},
        {"Text2 up", PanelControl::Text2, PanelEvent::MouseUp, "UnselectObject(S:\"yz\")"},
        {"List1 down", PanelControl::List1, PanelEvent::MouseDown, "SelectObject(S:\"P1\")"},
        {"List1 up", PanelControl::List1, PanelEvent::MouseUp, "UnselectObject(S:\"P1\")"},
        {"Del All pts", PanelControl::Command3, PanelEvent::Click, nullptr},
        {"logo", PanelControl::Pic1, PanelEvent::Click, nullptr},
        {"click on a field is not wired", PanelControl::Text1, PanelEvent::Click, nullptr},
        {"click on the list is not wired", PanelControl::List1, PanelEvent::Click, nullptr},
        {"press on a button is not wired", PanelControl::Command4, PanelEvent::MouseDown, nullptr},
        {"press on the logo is not wired", PanelControl::Pic1, PanelEvent::MouseDown, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.router.OnPanelEvent(c.control, c.event);
        std::vector<std::string> calls = f.Calls();
        if (c.asksFirst) {
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.front(), "InCommand()");
            calls.erase(calls.begin());
        }
        if (c.firstCall == nullptr) {
            EXPECT_TRUE(calls.empty());
        } else {
            ASSERT_FALSE(calls.empty());
            EXPECT_EQ(calls.front(), c.firstCall);
        }
        EXPECT_EQ(f.host.CountOf("InCommand"), c.asksFirst ? 1 : 0);
        EXPECT_EQ(f.panel.rows.empty(), c.control == PanelControl::Command3);
        EXPECT_EQ(f.webPageOpened, c.control == PanelControl::Pic1 && c.event == PanelEvent::Click ? 1 : 0);
        EXPECT_TRUE(f.panel.messages.empty());
    }
}

// While Rhino runs a command of the user's, the commands that make Rhino act say so and call
// nothing more; a Rhino that cannot answer the question lets them run as they would unasked.
TEST(EventRouterTest, CommandsThatActWaitForTheUsersCommandInRhino) {
    static const struct {
        const char* name;
        HostValue answer;
        std::optional<HostError::Cause> fails;  // the question fails this way instead of answering
        bool stops;
    } kCases[] = {
        {"running a command", HostValue::Int32(1), {}, true},
        {"running a nested command, as a double", HostValue::Double(2), {}, true},
        {"running none", HostValue::Int32(0), {}, false},
        {"an answer that is no number", HostValue::String("1"), {}, false},
        {"Null", HostValue::Null(), {}, false},
        {"the question unknown", {}, HostError::Cause::Raised, false},
        {"busy", {}, HostError::Cause::Busy, false},
        {"gone", {}, HostError::Cause::HostGone, false},
    };
    const PanelControl acting[] = {PanelControl::Command2, PanelControl::Command4, PanelControl::Command5,
                                   PanelControl::Command6, PanelControl::Command7, PanelControl::Command8};
    for (const auto& c : kCases) {
        for (const PanelControl control : acting) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::string(common::NameOf(control)));
            Fixture f;
            f.MakeGeometry();
            f.host.Answer("InCommand", [&c](const std::vector<HostValue>&) {
                if (c.fails) {
                    throw HostError("InCommand", "refused", *c.fails);
                }
                return c.answer;
            });
            f.router.OnPanelEvent(control, PanelEvent::Click);
            if (c.stops) {
                EXPECT_EQ(f.Calls(), std::vector<std::string>{"InCommand()"});
                EXPECT_EQ(f.panel.messages, std::vector<std::string>{"Rhino is running a command. Finish it or press "
                                                                     "Esc in Rhino, then try again."});
                EXPECT_EQ(f.panel.statusCaption, "");
            } else {
                EXPECT_GT(f.host.calls.size(), 1u);
                EXPECT_EQ(f.host.CountOf("InCommand"), 1);
                EXPECT_TRUE(f.panel.messages.empty());
            }
        }
    }
}

TEST(EventRouterTest, HostErrorIsReportedAndThePanelGoesOn) {
    Fixture f;
    f.host.RaiseOn("GetObject", 1, "Picking was interrupted");
    f.host.Default("GetObject", HostValue::String("L2"));
    f.router.OnPanelEvent(PanelControl::Command5, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages,
              std::vector<std::string>{"Rhino could not complete GetObject: Picking was interrupted"});
    EXPECT_EQ(f.panel.FieldText(PanelControl::Text5), "L1");

    f.router.OnPanelEvent(PanelControl::Command5, PanelEvent::Click);
    EXPECT_EQ(f.panel.FieldText(PanelControl::Text5), "L2");
    EXPECT_EQ(f.panel.messages.size(), 1u);
}

TEST(EventRouterTest, ErrorWithoutDescriptionGivesItsCode) {
    Fixture f;
    f.host.Answer("AllObjects", [](const std::vector<HostValue>&) -> HostValue {
        throw HostError("AllObjects", "", HostError::Cause::Raised, static_cast<std::int32_t>(0x80020009u));
    });
    f.router.OnPanelEvent(PanelControl::Command1, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages, std::vector<std::string>{"Rhino could not complete AllObjects (error 0x80020009)."});
}

TEST(EventRouterTest, FailedRunIsReportedAfterItsCleanup) {
    Fixture f;
    f.MakeGeometry();
    f.host.RaiseOn("Command", 1, "Unknown command");
    std::vector<std::string> callsWhenReported;
    f.panel.onMessage = [&](const std::string&) { callsWhenReported = f.Calls(); };
    f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
    ASSERT_EQ(f.panel.messages, std::vector<std::string>{"Rhino could not complete Command: Unknown command"});
    ASSERT_GE(callsWhenReported.size(), 3u);
    const std::vector<std::string> tail(callsWhenReported.end() - 3, callsWhenReported.end());
    const std::vector<std::string> expected = {"DeleteObject(S:\"probe-1\")", "DeleteObject(S:\"probe-2\")",
                                               "EnableRedraw(Bool:true)"};
    EXPECT_EQ(tail, expected);
}

TEST(EventRouterTest, ARunThatEndsLeavingAProbeInRhinoNamesIt) {
    Fixture f;
    f.MakeGeometry();
    f.host.Queue("DeleteObject", HostValue::Bool(false));
    f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages, std::vector<std::string>{"The command could not undo everything it did in Rhino. "
                                                         "Left in Rhino: the probe line probe-1."});
    EXPECT_NE(f.panel.statusCaption, "Curtate cycloid - DONE!");
}

TEST(EventRouterTest, ACommandRunInsideAFailingOneLeavesWhatTheOuterLeftInRhino) {
    Fixture f;
    f.MakeGeometry();
    f.host.RaiseOn("Command", 1, "Unknown command");
    int deletes = 0;
    f.host.Answer("DeleteObject", [&](const std::vector<HostValue>&) -> HostValue {
        if (++deletes == 1) {
            throw HostError("DeleteObject", "Object is locked", HostError::Cause::Raised);
        }
        // Pending messages run while the second probe is deleted: "Del All pts" succeeds.
        f.router.OnPanelEvent(PanelControl::Command3, PanelEvent::Click);
        return HostValue::Empty();
    });
    f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages, std::vector<std::string>{"Rhino could not complete Command: Unknown command Left in "
                                                         "Rhino: the probe line probe-1."});
}

TEST(EventRouterTest, RunStoppedByABusyHostSaysSoAndNamesWhatWasLeftInRhino) {
    static const struct {
        const char* name;
        int busyCalls;  // from the second intersection on
        const char* left;
    } kCases[] = {
        {"free again for the clean-up", 101, ""},
        {"still busy during the clean-up", 100000,
         " Left in Rhino: the probe line probe-1; the probe line probe-2; redraw switched off (Rhino's views do "
         "not update until it is switched on again: run Generate once more)."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.MakeGeometry();
        const HostValue hit = HostValue::Array({HostValue::Int32(1), HostValue::Point(-20, 10, 0)}, {{0, 1}, {0, 2}});
        f.host.Answer("CurveCurveIntersection", [&](const std::vector<HostValue>&) {
            f.host.BusyFor(c.busyCalls);
            return hit;
        });
        testing_support::FakeBusyPlatform platform;  // the user answers Cancel
        host::BusyPolicy policy(platform);
        host::PatientDispatcher patient(f.host, policy);
        host::HostScript script(&patient);
        ui::EventRouter router(script, f.panel, {}, &policy);
        router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);

        ASSERT_EQ(platform.askedAt.size(), 1u);
        EXPECT_EQ(f.panel.messages,
                  std::vector<std::string>{std::string("Rhino is busy (a dialog box or a command may be open in "
                                                       "Rhino), so the command was stopped. Finish what is open in "
                                                       "Rhino, then try again.") +
                                           c.left});
        // The whole clean-up, three calls, within one patience of the Cancel; while it waited the
        // status said so, and it is hidden once the run has ended.
        EXPECT_EQ(f.host.calls.back().Describe(), "EnableRedraw(Bool:true)");
        EXPECT_LE(platform.now - platform.askedAt.front(), host::kBusyPatienceMs);
        EXPECT_EQ(f.panel.statusCaption, *c.left == '\0' ? "Calculating Curtate cycloid... 1" : "Waiting for Rhino...");
        EXPECT_EQ(f.panel.statusVisible, *c.left == '\0');
    }
}

// A press on an id field is a courtesy: whatever the host does, it does nothing at once.
TEST(EventRouterTest, PressToHighlightNeverWaitsAsksOrReports) {
    static const struct {
        const char* name;
        int busyCalls;
        std::optional<HostError::Cause> fails;
    } kCases[] = {
        {"busy", 100000, {}},
        {"raising", 0, HostError::Cause::Raised},
        {"gone", 0, HostError::Cause::HostGone},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.host.BusyFor(c.busyCalls);
        if (c.fails) {
            f.host.Answer("SelectObject", [&c](const std::vector<HostValue>&) -> HostValue {
                throw HostError("SelectObject", "refused", *c.fails);
            });
        }
        testing_support::FakeBusyPlatform platform;
        host::BusyPolicy policy(platform);
        host::PatientDispatcher patient(f.host, policy);
        host::HostScript script(&patient);
        ui::EventRouter router(script, f.panel, {}, &policy);
        router.OnPanelEvent(PanelControl::Text5, PanelEvent::MouseDown);
        EXPECT_EQ(f.Calls(), std::vector<std::string>{"SelectObject(S:\"L1\")"});
        EXPECT_TRUE(platform.pauses.empty());
        EXPECT_TRUE(platform.askedAt.empty());
        EXPECT_TRUE(f.panel.messages.empty());
    }
}

TEST(EventRouterTest, WithoutScriptObjectOnlyTheButtonsSayWhy) {
    MemoryPanel panel;
    panel.ListAppend("P1");
    panel.SetFieldText(PanelControl::Text1, "xy");
    panel.selectedRow = 0;
    host::HostScript detached(nullptr);
    int webPageOpened = 0;
    ui::EventRouter router(detached, panel, [&] { ++webPageOpened; });

    for (const PanelControl button :
         {PanelControl::Command1, PanelControl::Command2, PanelControl::Command4, PanelControl::Command5,
          PanelControl::Command6, PanelControl::Command7, PanelControl::Command8}) {
        panel.messages.clear();
        router.OnPanelEvent(button, PanelEvent::Click);
        EXPECT_EQ(panel.messages, std::vector<std::string>{kNotAttached});
    }
    // Nothing ran: the generation run would have set its red caption.
    EXPECT_EQ(panel.statusCaption, "");

    panel.messages.clear();
    router.OnPanelEvent(PanelControl::Text1, PanelEvent::MouseDown);
    router.OnPanelEvent(PanelControl::List1, PanelEvent::MouseUp);
    EXPECT_TRUE(panel.messages.empty());

    router.OnPanelEvent(PanelControl::Pic1, PanelEvent::Click);
    EXPECT_EQ(webPageOpened, 1);
    router.OnPanelEvent(PanelControl::Command3, PanelEvent::Click);
    EXPECT_TRUE(panel.rows.empty());
    EXPECT_TRUE(panel.messages.empty());
}

TEST(EventRouterTest, HostGoneIsReportedOnce) {
    Fixture f;
    f.host.Answer("AllObjects", [](const std::vector<HostValue>&) -> HostValue {
        throw HostError("AllObjects", "The RPC server is unavailable.", HostError::Cause::HostGone);
    });
    f.router.OnPanelEvent(PanelControl::Command1, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages, std::vector<std::string>{kHostGone});

    // Later commands do not call the gone host; a button still says why it does nothing.
    const std::size_t callsBefore = f.host.calls.size();
    f.router.OnPanelEvent(PanelControl::Command5, PanelEvent::Click);
    f.router.OnPanelEvent(PanelControl::Text5, PanelEvent::MouseDown);
    EXPECT_EQ(f.host.calls.size(), callsBefore);
    EXPECT_EQ(f.panel.messages, (std::vector<std::string>{kHostGone, kHostGone}));
}

TEST(EventRouterTest, HostGoneInsideARunIsReportedOnce) {
    Fixture f;
    f.host.Answer("EnableRedraw", [](const std::vector<HostValue>&) -> HostValue {
        throw HostError("EnableRedraw", "gone", HostError::Cause::HostGone);
    });
    // A second click on "Generate" waits while the first run lets pending messages run.
    f.panel.onPendingMessages = [&] { f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click); };
    f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
    EXPECT_EQ(f.panel.messages, std::vector<std::string>{kHostGone});
}

TEST(EventRouterTest, ClicksHandledInsideARunLeaveTheDocumentSound) {
    static const struct {
        const char* name;
        PanelControl inner;
        int commands;
    } kCases[] = {
        {"Del All pts", PanelControl::Command3, 0},
        {"a second run", PanelControl::Command4, 2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.MakeGeometry();
        f.panel.onPendingMessages = [&] { f.router.OnPanelEvent(c.inner, PanelEvent::Click); };
        f.router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
        EXPECT_EQ(f.host.CountOf("Command"), c.commands);
        EXPECT_EQ(f.host.CountOf("DeleteObject"), f.probes);
        const std::vector<std::string> calls = f.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "EnableRedraw(Bool:true)");
        EXPECT_EQ(f.panel.statusCaption, "Curtate cycloid - DONE!");
        EXPECT_TRUE(f.panel.messages.empty());
    }
}

TEST(EventRouterTest, OtherFailuresAreReportedToo) {
    MemoryPanel panel;
    FakeDispatcher host;
    host::HostScript script(&host);
    ui::EventRouter router(script, panel, [] { throw std::runtime_error("no browser is set up"); });
    router.OnPanelEvent(PanelControl::Pic1, PanelEvent::Click);
    EXPECT_EQ(panel.messages, std::vector<std::string>{"The command could not be completed: no browser is set up"});
}

// A whole session against the simulated host, every button once, through the router.
TEST(EventRouterTest, SimulatedHostSessionThroughEveryButton) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string line = doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {0, 40, 0}));
    const std::string xy = doc.AddCurve(*hostsim::Curve::MakeLine({-20, -100, 0}, {-20, 100, 0}));
    const std::string yz = doc.AddCurve(*hostsim::Curve::MakeLine({0, -100, 30}, {0, 100, 30}));
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;
    ui::EventRouter router(script, panel, [] {});
    auto click = [&](PanelControl control) { router.OnPanelEvent(control, PanelEvent::Click); };

    api.QueuePick(std::vector<std::string>{line});
    click(PanelControl::Command5);
    panel.SetFieldText(PanelControl::Text4, "5");
    click(PanelControl::Command2);  // five points at y = 0, 10, ..., 40 on the Y axis
    api.QueuePick(std::vector<std::string>{xy});
    click(PanelControl::Command6);
    api.QueuePick(std::vector<std::string>{yz});
    click(PanelControl::Command7);
    click(PanelControl::Command1);
    EXPECT_EQ(panel.statusCaption, "5 points added!");
    api.QueuePick(std::nullopt);
    click(PanelControl::Command8);  // cancelled: nothing changes
    ASSERT_EQ(panel.rows.size(), 5u);

    click(PanelControl::Command4);
    EXPECT_TRUE(panel.messages.empty());
    EXPECT_EQ(panel.statusCaption, "Curtate cycloid - DONE!");
    EXPECT_EQ(doc.Count(), 3u + 5u + 5u);  // line, two curves, five points, five cycloids
    EXPECT_TRUE(doc.RedrawEnabled());
    EXPECT_TRUE(doc.SelectedIds().empty());

    click(PanelControl::Command3);
    EXPECT_TRUE(panel.rows.empty());
    EXPECT_EQ(doc.Count(), 13u);
}

// A host operation that raises (here the second probe line) is reported with the host's words;
// the document keeps no probe and redraws.
TEST(EventRouterTest, SimulatedHostErrorIsReportedAndCleanedUp) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string xy = doc.AddCurve(*hostsim::Curve::MakeLine({-20, -100, 0}, {-20, 100, 0}));
    const std::string yz = doc.AddCurve(*hostsim::Curve::MakeLine({0, -100, 30}, {0, 100, 30}));
    const std::string p1 = doc.AddPoint({0, 10, 0});
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;
    panel.SetFieldText(PanelControl::Text1, xy);
    panel.SetFieldText(PanelControl::Text2, yz);
    panel.ListAppend(p1);
    ui::EventRouter router(script, panel, [] {});
    api.Control("fault raise AddLine 2");
    router.OnPanelEvent(PanelControl::Command4, PanelEvent::Click);
    ASSERT_EQ(panel.messages.size(), 1u);
    EXPECT_EQ(panel.messages.front().rfind("Rhino could not complete AddLine: ", 0), 0u) << panel.messages.front();
    EXPECT_EQ(doc.Count(), 3u);
    EXPECT_TRUE(doc.RedrawEnabled());
}

}  // namespace
