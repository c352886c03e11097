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

// One route through Create.
struct CreateRow {
    const char* name;
    const char* lineField;                // Text5
    const char* countField;               // Text4
    int points;                           // expected new points, evenly spaced from start to end
    const char* divideCount;              // the DivideCurve count argument; nullptr: no division
    bool message;                         // a box about the count or the line
    std::vector<const char*> setup = {};  // control lines run first (adding the row's own objects)
};

class CreateE2ETest : public E2eScenario {
  protected:
    // Fills the line and count fields, clicks Create and answers its box when the row expects
    // one; the panel is idle again, with no box open and no status shown.
    void ClickCreate(const CreateRow& row) {
        P().SetText(PanelControl::Text5, row.lineField);
        P().SetText(PanelControl::Text4, row.countField);
        P().Click(PanelControl::Command2);
        const std::optional<std::string> message = row.message ? S().AnswerInfoBox() : std::nullopt;
        S().WaitIdle();
        EXPECT_EQ(message.has_value(), row.message);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        EXPECT_FALSE(P().StatusShown());
    }
};

// `added` are `count` points spaced evenly from the start to the end of `line`, in order.
void ExpectEvenlySpacedAlong(const HostObject& line, const std::vector<const HostObject*>& added, int count) {
    const common::HostPoint start = line.points.at(0);
    const common::HostPoint end = line.points.at(1);
    for (int k = 0; k < count; ++k) {
        const double f = count == 1 ? 0.0 : static_cast<double>(k) / (count - 1);
        const common::HostPoint want{start.x + f * (end.x - start.x), start.y + f * (end.y - start.y),
                                     start.z + f * (end.z - start.z)};
        const HostObject& point = *added.at(static_cast<std::size_t>(k));
        EXPECT_EQ(point.kind, "point");
        const common::HostPoint got = point.points.at(0);
        EXPECT_NEAR(got.y, want.y, kPlaceTolerance) << "point " << k << " at " << PointText(got);
        EXPECT_NEAR(got.x, want.x, kPlaceTolerance);
        EXPECT_NEAR(got.z, want.z, kPlaceTolerance);
    }
}

// Create's host calls: the busy question, the line selected and read back, the division and
// one AddPoint per point when the row divides, the line unselected; the line always by `lineId`.
void ExpectCreateCalls(const std::vector<LoggedCall>& calls, const CreateRow& row, const std::string& lineId) {
    std::vector<std::string> want{"InCommand", "SelectObject", "SelectedObjects"};
    if (row.divideCount != nullptr) {
        want.emplace_back("DivideCurve");
        want.insert(want.end(), static_cast<std::size_t>(row.points), "AddPoint");
    }
    want.emplace_back("UnselectObject");
    EXPECT_EQ(Joined(OperationsOf(calls)), Joined(want));
    for (const LoggedCall& call : calls) {
        if (call.operation == "SelectObject" || call.operation == "UnselectObject") {
            EXPECT_EQ(StringArgument(call.arguments.at(0)), std::optional<std::string>(lineId));
        }
        if (call.operation == "DivideCurve") {
            ASSERT_NE(row.divideCount, nullptr);
            ASSERT_EQ(call.arguments.size(), 2u);
            EXPECT_EQ(StringArgument(call.arguments[0]), std::optional<std::string>(lineId));
            EXPECT_EQ(call.arguments[1], row.divideCount);
        }
    }
}

// One row per route through Create: points placed, a count that divides nothing, no line, a
// line the host does not select. The counts' and the selections' variations are the unit
// tests' (PointsAlongLineTest).
TEST_F(CreateE2ETest, CreatePlacesEvenlySpacedPointsOrSaysWhyNot) {
    static const CreateRow kRows[] = {
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
    for (const CreateRow& row : kRows) {
        SCOPED_TRACE(row.name);
        for (const char* line : row.setup) {
            (void)S().Control().Control(line);
        }
        const std::string lineId = common::TrimBlanks(row.lineField);
        const HostDocument before = S().Document();
        S().Control().ClearLog();

        ClickCreate(row);

        const HostDocument after = S().Document();
        const std::vector<const HostObject*> added = after.AddedSince(before);
        ASSERT_EQ(added.size(), static_cast<std::size_t>(row.points));
        if (row.points > 0) {
            const HostObject* line = before.Find(lineId);
            ASSERT_NE(line, nullptr);
            ExpectEvenlySpacedAlong(*line, added, row.points);
        }
        EXPECT_EQ(after.SelectedIds(), std::vector<std::string>{})
            << "selected afterwards: " << Joined(after.SelectedIds());
        ExpectCreateCalls(S().Calls(), row, lineId);
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
