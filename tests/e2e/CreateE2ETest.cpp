// "Create": points placed along the picked line, or a message saying why none are.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"
#include "common/BlankTrim.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

// Model units within which a division point must sit where equal spacing puts it.
constexpr double kPlaceTolerance = 1e-9;

// The line the locked-line row adds beside the scene's own.
constexpr char kLockedLineId[] = "66666666-6666-4666-8666-000000000001";

class CreateE2ETest : public E2eScenario {};

// One row per route through Create: points placed, a count that divides nothing, no line, a
// line the host does not select. The counts' and the selections' variations are the unit
// tests' (PointsAlongLineTest).
TEST_F(CreateE2ETest, CreatePlacesEvenlySpacedPointsOrSaysWhyNot) {
    static const struct {
        const char* name;
        const char* lineField;                // Text5
        const char* countField;               // Text4
        int points;                           // expected new points, evenly spaced from start to end
        const char* divideCount;              // the DivideCurve count argument; nullptr: no division
        bool message;                         // a box about the count or the line
        std::vector<const char*> setup = {};  // control lines run first (adding the row's own objects)
    } kCases[] = {
        {"5 points, the line id typed with blanks around it", "  11111111-1111-4111-8111-111111111111 ", "5", 5,
         "Double 4", false},
        {"1 point gives no division and a message", kLineId, "1", 0, "Double 0", true},
        {"no line: a message, nothing selected, nothing placed", "", "10", 0, nullptr, true},
        {"a locked line: a message, nothing placed",
         kLockedLineId,
         "10",
         0,
         nullptr,
         true,
         {"add line 5 -40 0 5 40 0 id=66666666-6666-4666-8666-000000000001 locked"}},
    };
    Start(WithScene("typical.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        for (const char* line : c.setup) {
            (void)S().Control().Control(line);
        }
        const std::string lineId = common::TrimBlanks(c.lineField);
        P().SetText(PanelControl::Text5, c.lineField);
        P().SetText(PanelControl::Text4, c.countField);
        const HostDocument before = S().Document();
        S().Control().ClearLog();
        P().Click(PanelControl::Command2);
        const std::optional<std::string> message = c.message ? S().AnswerInfoBox() : std::nullopt;
        S().WaitIdle();
        EXPECT_EQ(message.has_value(), c.message);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_FALSE(P().StatusShown());
        const HostDocument after = S().Document();
        const std::vector<const HostObject*> added = after.AddedSince(before);
        ASSERT_EQ(added.size(), static_cast<std::size_t>(c.points));
        if (c.points > 0) {
            const HostObject* line = before.Find(lineId);
            ASSERT_NE(line, nullptr);
            const common::HostPoint start = line->points.at(0);
            const common::HostPoint end = line->points.at(1);
            for (int k = 0; k < c.points; ++k) {
                const double f = c.points == 1 ? 0.0 : static_cast<double>(k) / (c.points - 1);
                const common::HostPoint want{start.x + f * (end.x - start.x), start.y + f * (end.y - start.y),
                                             start.z + f * (end.z - start.z)};
                EXPECT_EQ(added[static_cast<std::size_t>(k)]->kind, "point");
                const common::HostPoint got = added[static_cast<std::size_t>(k)]->points.at(0);
                EXPECT_NEAR(got.y, want.y, kPlaceTolerance) << "point " << k << " at " << PointText(got);
                EXPECT_NEAR(got.x, want.x, kPlaceTolerance);
                EXPECT_NEAR(got.z, want.z, kPlaceTolerance);
            }
        }
        EXPECT_EQ(after.SelectedIds(), std::vector<std::string>{})
            << "selected afterwards: " << Joined(after.SelectedIds());

        const std::vector<LoggedCall> calls = S().Calls();
        std::vector<std::string> want{"InCommand", "SelectObject", "SelectedObjects"};
        if (c.divideCount != nullptr) {
            want.emplace_back("DivideCurve");
            for (int k = 0; k < c.points; ++k) {
                want.emplace_back("AddPoint");
            }
        }
        want.emplace_back("UnselectObject");
        EXPECT_EQ(Joined(OperationsOf(calls)), Joined(want));
        for (const LoggedCall& call : calls) {
            if (call.operation == "SelectObject" || call.operation == "UnselectObject") {
                EXPECT_EQ(StringArgument(call.arguments.at(0)), std::optional<std::string>(lineId));
            }
            if (call.operation == "DivideCurve") {
                ASSERT_NE(c.divideCount, nullptr);
                ASSERT_EQ(call.arguments.size(), 2u);
                EXPECT_EQ(StringArgument(call.arguments[0]), std::optional<std::string>(lineId));
                EXPECT_EQ(call.arguments[1], c.divideCount);
            }
        }
    }
}

TEST_F(CreateE2ETest, RepeatingCreateAddsASecondSetAtTheSamePlaces) {
    Start(WithScene("typical.scene"));
    P().SetText(PanelControl::Text5, kLineId);
    P().SetText(PanelControl::Text4, "3");
    S().Click(PanelControl::Command2);
    S().Click(PanelControl::Command2);
    const HostDocument document = S().Document();
    const std::vector<const HostObject*> points = document.OfKind("point");
    ASSERT_EQ(points.size(), 6u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(points[k]->points.at(0), points[k + 3]->points.at(0));
    }
}

}  // namespace
}  // namespace e2e
