// "Pick Points", "SelAllPts" and "Del All pts" on the panel's list, against the host's document.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "E2eScenario.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

class PointListE2ETest : public E2eScenario {};

TEST_F(PointListE2ETest, PickPointsAddsNewPointsInPickOrderAndSkipsTheRest) {
    using Rows = std::vector<std::string>;
    static const struct {
        const char* name;
        std::string answer;
        Rows rowsAfter;
    } kCases[] = {
        {"points picked in any order", std::string(kPoint3Id) + " " + kPoint1Id, {kPoint3Id, kPoint1Id}},
        {"ids already listed, also in other letter case, are not added again",
         Lower(kPoint1Id) + " " + kPoint2Id + " " + kPoint3Id,
         {kPoint3Id, kPoint1Id, kPoint2Id}},
        {"a cancelled pick leaves the list", "cancel", {kPoint3Id, kPoint1Id, kPoint2Id}},
    };
    Start(WithScene("points.scene"));
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        S().QueuePick(c.answer);
        S().Control().ClearLog();
        S().Click(PanelControl::Command8);
        EXPECT_EQ(P().ListRows(), c.rowsAfter);
        EXPECT_FALSE(P().StatusShown());
        const std::vector<LoggedCall> calls = S().Calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[0].operation, "InCommand");
        EXPECT_EQ(calls[1].operation, "GetObjects");
        EXPECT_EQ(calls[1].arguments, (std::vector<std::string>{"String \"Pick points\"", "Int16 1"}));
    }
}

TEST_F(PointListE2ETest, SelAllPtsListsEveryPointAndCountsThem) {
    Start(WithScene("points.scene"));
    S().Click(PanelControl::Command1);
    EXPECT_EQ(P().ListRows(), (std::vector<std::string>{kPoint1Id, kPoint2Id, kPoint3Id}));
    EXPECT_TRUE(P().StatusShown());
    EXPECT_EQ(P().Status(), "3 points added!");

    // All listed already: nothing is added, the count still says how many points there are.
    S().Click(PanelControl::Command1);
    EXPECT_EQ(P().ListRows().size(), 3u);
    EXPECT_EQ(P().Status(), "3 points added!");

    // A point added in the host joins at the end.
    const std::string added = S().Control().Control("add point 0 -35 0");
    S().Click(PanelControl::Command1);
    EXPECT_EQ(P().ListRows(), (std::vector<std::string>{kPoint1Id, kPoint2Id, kPoint3Id, added}));
    EXPECT_EQ(P().Status(), "4 points added!");

    S().Click(PanelControl::Command3);
    EXPECT_TRUE(P().ListRows().empty());
    EXPECT_FALSE(P().StatusShown());
    EXPECT_EQ(S().Document().OfKind("point").size(), 4u) << "Del All pts deletes nothing in the host";
}

TEST_F(PointListE2ETest, SelAllPtsOnADocumentWithoutPointsCountsZero) {
    static const struct {
        const char* name;
        const char* scene;
        const char* status;
        std::size_t rows;
    } kCases[] = {
        {"curves only", "typical.scene", "0 points added!", 0},
        {"an empty document: the host answers no array", "", "0 points added!", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Start(WithScene(c.scene));
        S().Click(PanelControl::Command1);
        EXPECT_EQ(P().Status(), c.status);
        EXPECT_TRUE(P().StatusShown());
        EXPECT_EQ(P().ListRows().size(), c.rows);
        EXPECT_FALSE(S().OpenInfoBox().has_value());
    }
}

}  // namespace
}  // namespace e2e
