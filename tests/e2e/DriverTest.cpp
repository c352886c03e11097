// The driver's own readers and the curve check: if they misread the host or accepted a wrong
// curve, every end-to-end scenario built on them could pass on a broken tool.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "HostDocument.h"

namespace e2e {
namespace {

using namespace driver;

TEST(DriverTest, CallLogArgumentsSplitOnlyAtTheTopLevel) {
    const std::vector<LoggedCall> calls = ParseCallLog(
        "UnselectAllObjects()\n"
        "AddLine(Array[0:3]{Double 0; Double -20; Double 0}, Array[0:3]{Int16 -5000; Double -20; Double 0})\n"
        "Command(String \"-InterpCrv 1,2,3 Enter\", Int16 0)\n"
        "exit\n"
        "SelectObject(String \"a \\\"b\\\", c\")\n"
        "GetObject(String \"x (y) # z\", Int16 4) # scripted pick P refused: a point\n");
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].operation, "UnselectAllObjects");
    EXPECT_TRUE(calls[0].arguments.empty());
    EXPECT_EQ(calls[1].arguments, (std::vector<std::string>{"Array[0:3]{Double 0; Double -20; Double 0}",
                                                            "Array[0:3]{Int16 -5000; Double -20; Double 0}"}));
    EXPECT_EQ(StringArgument(calls[2].arguments.at(0)), std::optional<std::string>("-InterpCrv 1,2,3 Enter"));
    EXPECT_EQ(calls[2].arguments.at(1), "Int16 0");
    ASSERT_EQ(calls[3].arguments.size(), 1u);
    EXPECT_EQ(StringArgument(calls[3].arguments[0]), std::optional<std::string>("a \"b\", c"));
    EXPECT_EQ(StringArgument("Double 2"), std::nullopt);
    EXPECT_EQ(calls[4].arguments, (std::vector<std::string>{"String \"x (y) # z\"", "Int16 4"}));
    EXPECT_EQ(calls[4].note, "scripted pick P refused: a point");
    EXPECT_TRUE(calls[3].note.empty());
}

TEST(DriverTest, DocumentDumpIsReadBackWithKindsPointsIdsAndSelection) {
    const HostDocument document = HostDocument::Parse(
        "redraw off\n"
        "point 0 -20 0 id=AAAAAAAA-0000-4000-8000-000000000001 selected\n"
        "curve -20 10 0 -25 10 15 -4.9737991503207e-14 10 30 id=AAAAAAAA-0000-4000-8000-000000000002\n");
    EXPECT_FALSE(document.redrawOn);
    ASSERT_EQ(document.objects.size(), 2u);
    EXPECT_EQ(document.objects[0].kind, "point");
    EXPECT_TRUE(document.objects[0].selected);
    EXPECT_EQ(document.objects[1].points.size(), 3u);
    EXPECT_DOUBLE_EQ(document.objects[1].points[2].x, -4.9737991503207e-14);
    EXPECT_NE(document.Find("aaaaaaaa-0000-4000-8000-000000000002"), nullptr);
    EXPECT_EQ(document.SelectedIds(), std::vector<std::string>{"AAAAAAAA-0000-4000-8000-000000000001"});
    EXPECT_THROW(HostDocument::Parse("point 1 2 id=X\n"), std::invalid_argument);
    EXPECT_THROW(HostDocument::Parse("point 1 2 three id=X\n"), std::invalid_argument);
}

TEST(DriverTest, ProbeHitFindsTheCrossingOnThePolylineOrNothing) {
    const std::vector<common::HostPoint> xy{{-30, -60, 0}, {-18, 5, 0}, {-32, 60, 0}};
    const std::optional<common::HostPoint> hit = ProbeHit({0, -20, 0}, {-5000, -20, 0}, xy);
    ASSERT_TRUE(hit.has_value());
    EXPECT_NEAR(hit->x, -30 + 12.0 * 40 / 65, 1e-12);
    EXPECT_DOUBLE_EQ(hit->y, -20);
    EXPECT_FALSE(ProbeHit({0, -20, 3}, {-5000, -20, 3}, xy).has_value()) << "a probe above the plane misses";
    EXPECT_FALSE(ProbeHit({0, 80, 0}, {-5000, 80, 0}, xy).has_value()) << "beyond the curve's end";
}

TEST(DriverTest, CompareCurvesReportsEveryKindOfDifference) {
    CurveExpectation want;
    want.p = {0, 10, 0};
    want.samples = {{-20, 10, 0}, {-25, 10, 15}, {0, 10, 30}};
    HostObject good{"curve", want.samples, "id", false};
    HostObject moved = good;
    moved.points[1].z += 1e-6;
    HostObject shorter = good;
    shorter.points.pop_back();
    HostObject line = good;
    line.kind = "line";

    static const struct {
        const char* name;
        const HostObject* created;
        const char* mentions;  // nullptr: the curves agree
    } kCases[] = {
        {"the same points", &good, nullptr},
        {"one point 1e-6 off", &moved, "point 1 expected"},
        {"a point missing", &shorter, "expected 3 points, found 2"},
        {"not an interpolated curve", &line, "found a line"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string report = CompareCurves({want}, {c.created});
        if (c.mentions == nullptr) {
            EXPECT_EQ(report, "");
        } else {
            EXPECT_NE(report.find(c.mentions), std::string::npos) << report;
        }
    }
    EXPECT_NE(CompareCurves({want}, {}).find("expected 1 new curves"), std::string::npos);
}

}  // namespace
}  // namespace e2e
