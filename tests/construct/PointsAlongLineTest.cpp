#include "construct/PointsAlongLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "common/BlankTrim.h"
#include "common/HostError.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostValue;
using common::PanelControl;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;

constexpr char kLineNotSelected[] =
    "Rhino did not select the picked line, so nothing was divided. The line may be locked, hidden, on a locked or "
    "hidden layer, or deleted: unlock or show it in Rhino, or pick a line again.";

struct Fixture {
    Fixture() {
        panel.SetFieldText(PanelControl::Text5, "L1");
        host.Default("SelectedObjects", HostValue::Array({HostValue::String("L1")}));
        host.Default("DivideCurve", HostValue::Array({HostValue::Point(0, 0, 0), HostValue::Point(5, 0, 0)}));
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> out;
        for (const auto& call : host.calls) {
            out.push_back(call.Describe());
        }
        return out;
    }
    void Run() { construct::CreatePointsAlongLine(script, panel, leftInHost); }

    FakeDispatcher host;
    host::HostScript script{&host};
    MemoryPanel panel;
    host::LeftInHost leftInHost;
};

TEST(PointsAlongLineTest, DividesIntoOneSegmentFewerThanPointsAndUnselectsTheLine) {
    static const struct {
        const char* name;
        const char* points;
        const char* segmentsArg;
    } kCases[] = {
        {"ten points", "10", "R8:9"},
        {"fractional count passed unchanged", "2.5", "R8:1.5"},
        {"blanks inside the number", " 1 2 ", "R8:11"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.panel.SetFieldText(PanelControl::Text4, c.points);
        f.Run();
        const std::vector<std::string> expected = {
            "SelectObject(S:\"L1\")",
            "SelectedObjects()",
            std::string("DivideCurve(S:\"L1\", ") + c.segmentsArg + ")",
            "AddPoint(A(R8:0,R8:0,R8:0))",
            "AddPoint(A(R8:5,R8:0,R8:0))",
            "UnselectObject(S:\"L1\")",
        };
        EXPECT_EQ(f.Calls(), expected);
        EXPECT_FALSE(f.panel.statusVisible);
        EXPECT_TRUE(f.panel.messages.empty());
    }
}

TEST(PointsAlongLineTest, OnlyTheLineOfText5IsDividedWhenTheHostListsItAsSelected) {
    static const struct {
        const char* name;
        const char* lineField;
        std::vector<const char*> selected;  // empty: the host answers Null
        const char* dividedId;              // null: nothing divided
    } kCases[] = {
        {"another object listed first", "  L1 ", {"Other", "L1"}, "L1"},
        {"listed in another letter case", "l1", {"L1"}, "L1"},
        {"only another object selected (the line locked or hidden)", "L1", {"Other"}, nullptr},
        {"nothing selected (the line locked, hidden or deleted)", "L1", {}, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.panel.SetFieldText(PanelControl::Text5, c.lineField);
        std::vector<HostValue> selected;
        for (const char* id : c.selected) {
            selected.push_back(HostValue::String(id));
        }
        f.host.Default("SelectedObjects", selected.empty() ? HostValue::Null() : HostValue::Array(selected));
        f.host.Default("DivideCurve", HostValue::Array({}));
        f.Run();
        const std::string lineArg = std::string("S:\"") + common::TrimBlanks(c.lineField) + "\"";
        std::vector<std::string> expected = {"SelectObject(" + lineArg + ")", "SelectedObjects()"};
        if (c.dividedId != nullptr) {
            expected.push_back(std::string("DivideCurve(S:\"") + c.dividedId + "\", R8:9)");
        }
        expected.push_back("UnselectObject(" + lineArg + ")");
        EXPECT_EQ(f.Calls(), expected);
        if (c.dividedId != nullptr) {
            EXPECT_TRUE(f.panel.messages.empty());
        } else {
            EXPECT_EQ(f.panel.messages, std::vector<std::string>{kLineNotSelected});
        }
    }
}

TEST(PointsAlongLineTest, EmptyLineFieldDividesNothingAndAsksForALine) {
    for (const char* field : {"", "   "}) {
        SCOPED_TRACE(field);
        Fixture f;
        f.panel.SetFieldText(PanelControl::Text5, field);
        f.host.Default("SelectedObjects", HostValue::Null());
        f.Run();
        const std::vector<std::string> expected = {"SelectObject(S:\"\")", "SelectedObjects()",
                                                   "UnselectObject(S:\"\")"};
        EXPECT_EQ(f.Calls(), expected);
        EXPECT_EQ(f.panel.messages, std::vector<std::string>{"No line is picked. Click Pick Line and pick the line "
                                                             "in Rhino first."});
    }
}

TEST(PointsAlongLineTest, DivisionWithoutPointsIsReportedAfterTheUnselect) {
    Fixture f;
    f.panel.SetFieldText(PanelControl::Text4, "1");
    f.host.Default("DivideCurve", HostValue::Null());
    std::vector<std::string> callsWhenShown;
    f.panel.onMessage = [&](const std::string&) { callsWhenShown = f.Calls(); };
    f.Run();
    const std::vector<std::string> expected = {"SelectObject(S:\"L1\")", "SelectedObjects()",
                                               "DivideCurve(S:\"L1\", R8:0)", "UnselectObject(S:\"L1\")"};
    EXPECT_EQ(f.Calls(), expected);
    EXPECT_EQ(callsWhenShown, expected);
    EXPECT_EQ(f.panel.messages,
              std::vector<std::string>{"Could not divide the line into 1 point. Type 2 or more points beside "
                                       "\"Create\" and pick a line that Rhino can divide."});
}

TEST(PointsAlongLineTest, DivisionMessageWritesTheCountAsTyped) {
    static const struct {
        const char* typed;
        const char* written;
    } kCases[] = {{"5000000", "5000000"}, {"2.5", "2.5"}, {"-3", "-3"}, {"1e300", "1e+300"}, {"abc", "0"}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.typed);
        Fixture f;
        f.panel.SetFieldText(PanelControl::Text4, c.typed);
        f.host.Default("DivideCurve", HostValue::String("not points"));
        f.Run();
        EXPECT_EQ(f.panel.messages,
                  std::vector<std::string>{"Could not divide the line into " + std::string(c.written) +
                                           " points. Type 2 or more points beside \"Create\" and "
                                           "pick a line that Rhino can divide."});
    }
}

TEST(PointsAlongLineTest, LineIsUnselectedWhateverHostCallFails) {
    static const struct {
        const char* failing;
        int nth;
        int unselectFailures = 0;  // of the unselect on the way out too
    } kCases[] = {{"SelectObject", 1},   {"SelectedObjects", 1}, {"DivideCurve", 1},      {"AddPoint", 2},
                  {"UnselectObject", 1}, {"DivideCurve", 1, 1},  {"UnselectObject", 1, 2}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.failing) + ", unselect failing " + std::to_string(c.unselectFailures));
        Fixture f;
        f.host.RaiseOn(c.failing, c.nth);
        for (int nth = 1; nth <= c.unselectFailures; ++nth) {
            f.host.RaiseOn("UnselectObject", nth);
        }
        EXPECT_THROW(f.Run(), common::HostError);
        const std::vector<std::string> calls = f.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "UnselectObject(S:\"L1\")");
        // Retried once when the normal unselect itself failed, else made once.
        EXPECT_EQ(f.host.CountOf("UnselectObject"), std::string(c.failing) == "UnselectObject" ? 2 : 1);
        // The line stayed selected only when the last unselect failed too.
        EXPECT_EQ(f.leftInHost.Items(), c.unselectFailures == f.host.CountOf("UnselectObject")
                                            ? std::vector<std::string>{"the line L1 selected"}
                                            : std::vector<std::string>{});
    }
}

TEST(PointsAlongLineTest, SimulatedHostGetsEvenlySpacedPointsAndTheLineUnselected) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string line = doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {90, 0, 0}));
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;
    panel.SetFieldText(PanelControl::Text5, line + "  ");
    host::LeftInHost leftInHost;
    construct::CreatePointsAlongLine(script, panel, leftInHost);

    EXPECT_TRUE(panel.messages.empty());
    EXPECT_TRUE(doc.SelectedIds().empty());
    const std::vector<std::string> ids = doc.AllIds();
    ASSERT_EQ(ids.size(), 11u);
    for (std::size_t i = 0; i < 10; ++i) {
        const hostsim::DocObject* point = doc.Find(ids[1 + i]);
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(point->kind, hostsim::ObjectKind::Point);
        EXPECT_NEAR(point->point.x, 10.0 * static_cast<double>(i), 1e-9);
        EXPECT_EQ(point->point.y, 0.0);
    }
}

}  // namespace
