// A busy Rhino: during a generation run the tool waits silently, then asks once; Retry finishes
// the run, Cancel stops it with the busy message and cleans up within one patience, naming what
// it could not undo. A press on an id field neither waits nor asks.
//
// The tool is started with a short patience; the busy state is switched off by the test itself
// before it answers the box, so every row holds whatever patience the tool runs with.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CycloidCheck.h"
#include "E2eScenario.h"
#include "host/BusyPolicy.h"

namespace e2e {
namespace {

using namespace driver;
using common::PanelControl;

constexpr char kBusyMessage[] =
    "Rhino is busy (a dialog box or a command may be open in Rhino), so the command was stopped. Finish what is "
    "open in Rhino, then try again.";
constexpr char kRedrawLeftOff[] =
    "redraw switched off (Rhino's views do not update until it is switched on again: run Generate once more).";

// The scene with the tool's patience for these scenarios, far below the product's.
HostOptions WithShortPatience() {
    HostOptions options = WithScene("points.scene");
    options.toolArguments = {L"--busy-patience", L"1500"};
    return options;
}
// The box comes after the patience (the product's, should the tool not take the switch).
constexpr DWORD kBoxWithinMs = host::kBusyPatienceMs + 10000;

class BusyHostE2ETest : public E2eScenario {};

TEST_F(BusyHostE2ETest, GenerationWaitsForABusyHostAsksOnceAndCleansUpWithinOnePatience) {
    enum class Answer { Retry, Cancel };
    // The host's ninth call of a run (after the question InCommand) is its first intersection:
    // the two probe lines of the first point exist and redraw is off when the host turns busy.
    static const struct {
        const char* name;
        Answer answer;
        bool freeBeforeAnswer;
    } kCases[] = {
        {"Retry once free: draws every curve", Answer::Retry, true},
        {"Cancel, free for the clean-up: says so and leaves nothing", Answer::Cancel, true},
        {"Cancel, still busy: the clean-up gives up within one patience and names what it left", Answer::Cancel, false},
    };
    Start(WithShortPatience());
    S().QueuePick(kXyCurveId);
    S().Click(PanelControl::Command6);
    S().QueuePick(kYzCurveId);
    S().Click(PanelControl::Command7);
    S().Click(PanelControl::Command1);
    ASSERT_EQ(P().ListRows().size(), 3u);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const HostDocument before = S().Document();
        ASSERT_EQ(S().Control().Control("busy for 600000 after 8"), "ok");
        P().Click(PanelControl::Command4);
        if (c.freeBeforeAnswer) {
            ASSERT_TRUE(WaitUntil([&] { return FindBusyBox(S().ToolProcessId()) != nullptr; }, kBoxWithinMs));
            ASSERT_EQ(S().Control().Control("busy off"), "ok");
        }
        ASSERT_TRUE(S().AnswerBusyBox(c.answer == Answer::Retry, kBoxWithinMs));
        const ULONGLONG cancelledAt = ::GetTickCount64();
        bool saidWaiting = false;
        if (!c.freeBeforeAnswer) {
            saidWaiting = WaitUntil([&] { return P().Status() == "Waiting for Rhino..."; }, 5000, 10);
        }
        S().WaitIdle();
        const ULONGLONG cleanupMs = ::GetTickCount64() - cancelledAt;
        std::optional<std::string> message;
        if (c.answer == Answer::Cancel) {
            message = S().AnswerInfoBox();
        }
        EXPECT_FALSE(S().OpenInfoBox().has_value());
        if (!c.freeBeforeAnswer) {
            ASSERT_EQ(S().Control().Control("busy off"), "ok");
        }
        const HostDocument after = S().Document();
        const std::vector<const HostObject*> created = after.AddedSince(before);
        if (c.answer == Answer::Retry) {
            EXPECT_EQ(P().Status(), "Curtate cycloid - DONE!");
            EXPECT_EQ(CompareCurves(ExpectedCurves(before, P().ListRows(), kXyCurveId, kYzCurveId, 5, true), created),
                      "");
        } else if (c.freeBeforeAnswer) {
            EXPECT_EQ(message, std::optional<std::string>(kBusyMessage));
            EXPECT_TRUE(created.empty());
            EXPECT_TRUE(after.redrawOn);
            EXPECT_NE(P().Status(), "Curtate cycloid - DONE!");
        } else {
            // Two probe lines and redraw, all in one patience (not one each), said while waiting.
            const std::vector<const HostObject*> probes = after.AddedSince(before);
            ASSERT_EQ(probes.size(), 2u);
            EXPECT_EQ(message, std::optional<std::string>(std::string(kBusyMessage) +
                                                          " Left in Rhino: the probe line " + probes[0]->id +
                                                          "; the probe line " + probes[1]->id + "; " + kRedrawLeftOff));
            EXPECT_LT(cleanupMs, host::kBusyPatienceMs + 5000u);
            EXPECT_TRUE(saidWaiting);
            EXPECT_FALSE(P().StatusShown());
        }
    }
}

TEST_F(BusyHostE2ETest, PressOnAnIdFieldAgainstABusyHostDoesNothingAtOnce) {
    Start(WithShortPatience());
    P().SetText(PanelControl::Text5, kLineId);
    ASSERT_EQ(S().Control().Control("busy for 600000"), "ok");
    const ULONGLONG pressedAt = ::GetTickCount64();
    S().Press(PanelControl::Text5, MouseButton::Left);
    // Handled well within the short patience: the call did not wait (a wait would have ended in
    // the box, which would have let the press count as handled only once it opened).
    EXPECT_LT(::GetTickCount64() - pressedAt, 1000u);
    S().Release(PanelControl::Text5, MouseButton::Left);
    EXPECT_EQ(FindBusyBox(S().ToolProcessId()), nullptr);
    EXPECT_FALSE(S().OpenInfoBox().has_value());
    ASSERT_EQ(S().Control().Control("busy off"), "ok");
    EXPECT_TRUE(S().Document().SelectedIds().empty());
    // The panel answers at once and works as before.
    S().Press(PanelControl::Text5, MouseButton::Left);
    EXPECT_EQ(S().Document().SelectedIds(), std::vector<std::string>{kLineId});
    S().Release(PanelControl::Text5, MouseButton::Left);
}

}  // namespace
}  // namespace e2e
