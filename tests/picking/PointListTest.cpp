#include "picking/PointList.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "FakeDispatcher.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "common/HostError.h"
#include "hostsim/model/Curve.h"
#include "hostsim/model/Document.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostValue;
using testing_support::FakeDispatcher;
using testing_support::MemoryPanel;

HostValue Ids(const std::vector<std::string>& ids) {
    std::vector<HostValue> elements;
    for (const auto& id : ids) {
        elements.push_back(HostValue::String(id));
    }
    return HostValue::Array(std::move(elements));
}

struct Fixture {
    // `pointIds` are the document's point objects; IsPoint answers true exactly for them.
    explicit Fixture(std::set<std::string> pointIds) : points(std::move(pointIds)) {
        host.Answer("IsPoint", [this](const std::vector<HostValue>& args) {
            return HostValue::Bool(points.count(args.at(0).text) != 0);
        });
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> out;
        for (const auto& call : host.calls) {
            out.push_back(call.Describe());
        }
        return out;
    }

    std::set<std::string> points;
    FakeDispatcher host;
    host::HostScript script{&host};
    MemoryPanel panel;
};

TEST(PointListTest, PickPointsAppendsNewPointsInTheHostsOrder) {
    Fixture f({"P1", "P2", "p3"});
    f.panel.ListAppend("P3");
    f.host.Default("GetObjects", Ids({"P2", "C9", "p3", "P1"}));
    picking::PickPoints(f.script, f.panel);
    const std::vector<std::string> expected = {"GetObjects(S:\"Pick points\", I2:1)", "IsPoint(S:\"P2\")",
                                               "IsPoint(S:\"C9\")", "IsPoint(S:\"p3\")", "IsPoint(S:\"P1\")"};
    EXPECT_EQ(f.Calls(), expected);
    // p3 differs from the listed P3 only in letter case: not added again.
    EXPECT_EQ(f.panel.rows, (std::vector<std::string>{"P3", "P2", "P1"}));
    EXPECT_FALSE(f.panel.statusVisible);
}

TEST(PointListTest, CancelledPickLeavesTheList) {
    Fixture f({"P1"});
    f.panel.ListAppend("P1");
    f.host.Default("GetObjects", HostValue::Null());
    picking::PickPoints(f.script, f.panel);
    EXPECT_EQ(f.Calls(), std::vector<std::string>{"GetObjects(S:\"Pick points\", I2:1)"});
    EXPECT_EQ(f.panel.rows, std::vector<std::string>{"P1"});
    EXPECT_TRUE(f.panel.messages.empty());
}

TEST(PointListTest, SelAllPtsCountsEveryPointFoundListedOrNot) {
    static const struct {
        const char* name;
        HostValue all;
        std::set<std::string> points;
        std::vector<std::string> listedBefore;
        std::vector<std::string> rowsAfter;
        const char* caption;
    } kCases[] = {
        {"no objects (no array)", HostValue::Null(), {}, {"P1"}, {"P1"}, "0 points added!"},
        {"objects but no points", Ids({"C1", "C2"}), {}, {}, {}, "0 points added!"},
        {"one point, the last object", Ids({"C1", "P1"}), {"P1"}, {}, {"P1"}, "1 points added!"},
        {"all three listed already",
         Ids({"p1", "C1", "P2", "P3"}),
         {"p1", "P2", "P3"},
         {"P1", "p2", "P3"},
         {"P1", "p2", "P3"},
         "3 points added!"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f(c.points);
        for (const auto& row : c.listedBefore) {
            f.panel.ListAppend(row);
        }
        f.host.Default("AllObjects", c.all);
        f.panel.statusVisible = false;
        picking::SelectAllPoints(f.script, f.panel);
        EXPECT_EQ(f.panel.rows, c.rowsAfter);
        EXPECT_EQ(f.panel.statusCaption, c.caption);
        EXPECT_TRUE(f.panel.statusVisible);
        EXPECT_FALSE(f.panel.statusColor.has_value());  // the colour is left as it was
        EXPECT_EQ(f.host.CountOf("IsPoint"), c.all.IsArray() ? static_cast<int>(c.all.elements.size()) : 0);
    }
}

TEST(PointListTest, SelAllPtsWalksDocumentsBeyondSixteenBitCounts) {
    constexpr std::size_t kObjects = 40000;
    std::set<std::string> points;
    std::vector<std::string> all;
    for (std::size_t i = 0; i < kObjects; ++i) {
        all.push_back("P" + std::to_string(i));
        points.insert(all.back());
    }
    Fixture f(points);
    f.host.Default("AllObjects", Ids(all));
    EXPECT_EQ(picking::SelectAllPoints(f.script, f.panel), kObjects);
    EXPECT_EQ(f.panel.statusCaption, "40000 points added!");
    ASSERT_EQ(f.panel.rows.size(), kObjects);
    EXPECT_EQ(f.panel.rows.back(), "P39999");
    // A second run lists no row twice but counts every point again.
    EXPECT_EQ(picking::SelectAllPoints(f.script, f.panel), kObjects);
    EXPECT_EQ(f.panel.statusCaption, "40000 points added!");
    EXPECT_EQ(f.panel.rows.size(), kObjects);
}

// Appending rows one by one to a painting list box repaints it after every row; the pick and
// SelAllPts append with painting paused and resume it once, also when the host fails midway.
TEST(PointListTest, RowsAreAppendedWithPaintingPausedAndPaintingResumes) {
    Fixture f({"P1", "P2", "P3"});
    f.host.Default("GetObjects", Ids({"P1", "P2"}));
    picking::PickPoints(f.script, f.panel);
    EXPECT_EQ(f.panel.rows.size(), 2u);
    EXPECT_EQ(f.panel.rowsAppendedPainting, 0u);
    EXPECT_EQ(f.panel.listRedrawPauses, 0);

    f.host.Default("AllObjects", Ids({"P1", "P2", "P3"}));
    picking::SelectAllPoints(f.script, f.panel);
    EXPECT_EQ(f.panel.rows.size(), 3u);
    EXPECT_EQ(f.panel.rowsAppendedPainting, 0u);
    EXPECT_EQ(f.panel.listRedrawPauses, 0);

    Fixture failing({"P1", "P2", "P3"});
    failing.host.Default("AllObjects", Ids({"P1", "P2", "P3"}));
    failing.host.RaiseOn("IsPoint", 3);
    EXPECT_THROW(picking::SelectAllPoints(failing.script, failing.panel), common::HostError);
    EXPECT_EQ(failing.panel.rows, (std::vector<std::string>{"P1", "P2"}));
    EXPECT_EQ(failing.panel.listRedrawPauses, 0);

    failing.host.Default("GetObjects", Ids({"P3"}));
    failing.host.RaiseOn("IsPoint", 4);
    EXPECT_THROW(picking::PickPoints(failing.script, failing.panel), common::HostError);
    EXPECT_EQ(failing.panel.listRedrawPauses, 0);
}

TEST(PointListTest, DelAllPtsEmptiesTheListWithoutTheHost) {
    MemoryPanel panel;
    panel.ListAppend("P1");
    panel.ListAppend("P2");
    panel.selectedRow = 1;
    picking::DeleteAllPoints(panel);
    EXPECT_TRUE(panel.rows.empty());
    EXPECT_FALSE(panel.statusVisible);
    // The index goes with the rows: an id cleared can be listed again.
    EXPECT_TRUE(picking::AddPointId(panel, "p1"));
}

TEST(PointListTest, SimulatedHostListsItsPointsOnce) {
    hostsim::ScriptApi api;
    hostsim::Document& doc = api.Doc();
    const std::string p1 = doc.AddPoint({0, 1, 0});
    (void)doc.AddCurve(*hostsim::Curve::MakeLine({0, 0, 0}, {1, 0, 0}));
    const std::string p2 = doc.AddPoint({0, 2, 0});
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    MemoryPanel panel;

    api.QueuePick(std::vector<std::string>{p2});
    picking::PickPoints(script, panel);
    EXPECT_EQ(panel.rows, std::vector<std::string>{p2});
    picking::SelectAllPoints(script, panel);
    EXPECT_EQ(panel.rows, (std::vector<std::string>{p2, p1}));
    EXPECT_EQ(panel.statusCaption, "2 points added!");
}

}  // namespace
