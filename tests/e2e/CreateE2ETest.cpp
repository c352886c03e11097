// "Create": points placed along the picked line for several counts typed beside the button.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

// Model units within which a division point must sit where equal spacing puts it.
constexpr double kPlaceTolerance = 1e-9;

// Lines the rows about the line's mode add beside the scene's own.
constexpr char kLockedLineId[] = "66666666-6666-4666-8666-000000000001";
constexpr char kHiddenLineId[] = "66666666-6666-4666-8666-000000000002";
constexpr char kOtherLineId[] = "66666666-6666-4666-8666-000000000003";
constexpr char kNewLineId[] = "66666666-6666-4666-8666-000000000004";

std::string TrimmedId(const char* field) {
    std::string id = field;
    id.erase(0, id.find_first_not_of(' '));
    id.erase(id.find_last_not_of(' ') + 1);
    return id;
}

class CreateE2ETest : public E2eScenario {};

TEST_F(CreateE2ETest, CreatePlacesEvenlySpacedPointsForSeveralCounts) {
    static const struct {
        const char* name;
        const char* lineField;                // Text5
        const char* countField;               // Text4
        int points;                           // expected new points, evenly spaced from start to end; -1: not checked
        const char* divideCount;              // the DivideCurve count argument; nullptr: no division
        bool message;                         // a box about the count or the line
        std::vector<const char*> setup = {};  // control lines run first (adding the row's own objects)
        const char* keptSelected = nullptr;   // the object still selected afterwards
    } kCases[] = {
        {"the default 10 points", kLineId, "10", 10, "Double 9", false},
        {"2 points: the two ends", kLineId, "2", 2, "Double 1", false},
        {"5 points, the line id typed with blanks around it", "  11111111-1111-4111-8111-111111111111 ", "5", 5,
         "Double 4", false},
        {"a count read by the numeric-field rule", kLineId, " 4 points", 4, "Double 3", false},
        {"a fractional count is passed on unchanged", kLineId, "2.5", -1, "Double 1.5", false},
        {"1 point gives no division and a message", kLineId, "1", 0, "Double 0", true},
        {"a count that is no number gives no division and a message", kLineId, "abc", 0, "Double -1", true},
        {"no line: a message, nothing selected, nothing placed", "", "10", 0, nullptr, true},
        {"a locked line: a message, nothing placed",
         kLockedLineId,
         "10",
         0,
         nullptr,
         true,
         {"add line 5 -40 0 5 40 0 id=66666666-6666-4666-8666-000000000001 locked"}},
        {"a line on a hidden layer: a message, nothing placed",
         kHiddenLineId,
         "10",
         0,
         nullptr,
         true,
         {"add layer Off hidden", "add line 6 -40 0 6 40 0 id=66666666-6666-4666-8666-000000000002 layer=Off"}},
        // The host lists its selection in document order: the other object comes first.
        {"another object selected before: the picked line is divided",
         kNewLineId,
         "4",
         4,
         "Double 3",
         false,
         {"add line 7 -40 0 7 40 0 id=66666666-6666-4666-8666-000000000003 selected",
          "add line 8 -20 0 8 40 0 id=66666666-6666-4666-8666-000000000004"},
         kOtherLineId},
    };
    Start(WithScene("typical.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        for (const char* line : c.setup) {
            (void)S().Control().Control(line);
        }
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
        if (c.points >= 0) {
            ASSERT_EQ(added.size(), static_cast<std::size_t>(c.points));
            const HostObject* line = before.Find(TrimmedId(c.lineField));
            ASSERT_TRUE(c.points == 0 || line != nullptr);
            const common::HostPoint start = c.points == 0 ? common::HostPoint{} : line->points.at(0);
            const common::HostPoint end = c.points == 0 ? common::HostPoint{} : line->points.at(1);
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
        EXPECT_EQ(after.SelectedIds(),
                  c.keptSelected == nullptr ? std::vector<std::string>{} : std::vector<std::string>{c.keptSelected})
            << "selected afterwards: " << Joined(after.SelectedIds());

        const std::vector<LoggedCall> calls = S().Calls();
        std::vector<std::string> want{"InCommand", "SelectObject", "SelectedObjects"};
        if (c.divideCount != nullptr) {
            want.emplace_back("DivideCurve");
            for (int k = 0; k < std::max(c.points, 0); ++k) {
                want.emplace_back("AddPoint");
            }
        }
        want.emplace_back("UnselectObject");
        if (c.points >= 0) {
            EXPECT_EQ(Joined(OperationsOf(calls)), Joined(want));
        }
        for (const LoggedCall& call : calls) {
            if (call.operation == "SelectObject" || call.operation == "UnselectObject") {
                EXPECT_EQ(StringArgument(call.arguments.at(0)),
                          std::optional<std::string>(*c.lineField == '\0' ? "" : TrimmedId(c.lineField)));
            }
            if (call.operation == "DivideCurve") {
                ASSERT_NE(c.divideCount, nullptr);
                ASSERT_EQ(call.arguments.size(), 2u);
                EXPECT_EQ(StringArgument(call.arguments[0]), std::optional<std::string>(TrimmedId(c.lineField)));
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
