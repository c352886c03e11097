// A busy Rhino during a generation run: the tool waits silently, then asks once; Retry
// finishes the run, Cancel stops it with the busy message and, once Rhino is free, leaves no
// probe line and redraw on.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

constexpr char kBusyMessage[] =
    "Rhino is busy (a dialog box or a command may be open in Rhino), so the command was stopped. Finish what is "
    "open in Rhino, then try again.";

class BusyHostE2ETest : public E2eScenario {};

TEST_F(BusyHostE2ETest, GenerationWaitsForABusyHostAsksOnceAndCleansUp) {
    enum class Answer { NoBox, Retry, Cancel };
    // The host's ninth call of a run (after the question InCommand) is its first intersection:
    // the two probe lines of the first point exist and redraw is off when the host turns busy.
    static const struct {
        const char* name;
        const char* busy;
        Answer answer;
    } kCases[] = {
        {"busy for 2 s: waits without asking and draws every curve", "busy for 2000 after 8", Answer::NoBox},
        {"busy for 12 s, Retry: waits again and draws every curve", "busy for 12000 after 8", Answer::Retry},
        {"busy for 15 s, Cancel: stops, says so, and cleans up once free", "busy for 15000 after 8", Answer::Cancel},
    };
    Start(WithScene("points.scene"));
    S().QueuePick(kXyCurveId);
    S().Click(PanelControl::Command6);
    S().QueuePick(kYzCurveId);
    S().Click(PanelControl::Command7);
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().ListRows().size(), 3u);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const HostDocument before = S().Document();
        ASSERT_EQ(S().Control().Control(c.busy), "ok");
        P().Click(PanelControl::Command4);
        if (c.answer == Answer::NoBox) {
            S().WaitIdle();
            EXPECT_EQ(FindBusyBox(S().ToolProcessId()), nullptr);
        } else {
            // The box comes after 10 s of silent waiting.
            ASSERT_TRUE(S().AnswerBusyBox(c.answer == Answer::Retry, 20000));
            S().WaitIdle();
        }
        std::optional<std::string> message;
        if (c.answer == Answer::Cancel) {
            message = S().AnswerInfoBox();
        }
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        const HostDocument after = S().Document();
        EXPECT_TRUE(after.redrawOn);
        EXPECT_EQ(after.OfKind("line").size(), before.OfKind("line").size()) << "probe lines left behind";
        const std::vector<const HostObject*> created = after.AddedSince(before);
        if (c.answer == Answer::Cancel) {
            EXPECT_EQ(message, std::optional<std::string>(kBusyMessage));
            EXPECT_TRUE(created.empty());
            EXPECT_NE(P().Status(), "Curtate cycloid - DONE!");
        } else {
            EXPECT_EQ(P().Status(), "Curtate cycloid - DONE!");
            EXPECT_EQ(CompareCurves(ExpectedCurves(before, P().ListRows(), kXyCurveId, kYzCurveId, 5, true), created),
                      "");
        }
        ASSERT_EQ(S().Control().Control("busy off"), "ok");
    }
}

}  // namespace
}  // namespace e2e
