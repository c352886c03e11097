#include "host/BusyPolicy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "FakeBusyPlatform.h"

namespace {

using host::BusyPolicy;
using testing_support::FakeBusyPlatform;

// Meets the host's "busy" for the current call up to `times` times (-1: until the policy gives
// it up), pausing as the policy says. Returns how often the policy said to wait.
int WaitWhileBusy(BusyPolicy& policy, FakeBusyPlatform& platform, int times = -1) {
    int waits = 0;
    for (int i = 0; times < 0 || i < times; ++i) {
        const std::optional<std::uint32_t> pause = policy.OnBusy();
        if (!pause) {
            break;
        }
        platform.Pause(*pause);
        ++waits;
    }
    return waits;
}

TEST(BusyPolicyTest, ACallGivenUpByOneLayerIsNotWaitedForAgainByTheNext) {
    FakeBusyPlatform platform;
    BusyPolicy policy(platform);
    const BusyPolicy::CommandScope command(policy);
    const BusyPolicy::CallScope call(policy, BusyPolicy::CallKind::Call);
    // COM's message filter waits through the policy until the user cancels...
    EXPECT_EQ(WaitWhileBusy(policy, platform), 100);
    // ...and the call layer behind it, meeting the same rejection, gives up at once.
    EXPECT_EQ(policy.OnBusy(), std::nullopt);
    EXPECT_EQ(platform.askedAt.size(), 1u);
    EXPECT_EQ(platform.now, host::kBusyPatienceMs);
}

TEST(BusyPolicyTest, TheGivenPatienceIsTheWaitAndTheCleanupsBudgetWhichSaysOnceThatItWaits) {
    FakeBusyPlatform platform;  // the user answers Cancel
    BusyPolicy policy(platform, 1500);
    int cleanupWaitsTold = 0;
    const std::function<void()> tellCleanupWait = [&] { ++cleanupWaitsTold; };
    const BusyPolicy::CommandScope command(policy, BusyPolicy::CallKind::Call, &tellCleanupWait);
    {
        const BusyPolicy::CallScope call(policy, BusyPolicy::CallKind::Call);
        EXPECT_EQ(WaitWhileBusy(policy, platform), 15);
    }
    EXPECT_EQ(platform.askedAt, std::vector<std::uint64_t>{1500});
    EXPECT_EQ(cleanupWaitsTold, 0);
    for (const int expectedWaits : {4, 11, 0}) {
        // Clean-up calls after the Cancel: 400 ms, then the rest of the one budget, then none.
        const BusyPolicy::CallScope call(policy, BusyPolicy::CallKind::Call);
        EXPECT_EQ(WaitWhileBusy(policy, platform, expectedWaits == 4 ? 4 : -1), expectedWaits);
        EXPECT_EQ(cleanupWaitsTold, 1);
    }
    EXPECT_EQ(platform.now, 3000u);
    EXPECT_EQ(platform.askedAt.size(), 1u);

    // A command of questions: every call is given up from its start, with no clock read.
    const BusyPolicy::CommandScope questions(policy, BusyPolicy::CallKind::Question);
    const BusyPolicy::CallScope call(policy, BusyPolicy::CallKind::Call);
    const int clockReads = platform.clockReads;
    EXPECT_EQ(policy.OnBusy(), std::nullopt);
    EXPECT_EQ(platform.clockReads, clockReads);
}

TEST(BusyPolicyTest, ACallMadeWhileAnotherWaitsLeavesTheOuterCallsClockAndMarkAsTheyWere) {
    static const struct {
        const char* name;
        int outerTurnedAway;  // before the inner call is made; -1: until the user cancels
        bool innerOwnCommand;
        BusyPolicy::CallKind innerKind;
        int innerTurnedAway;  // -1: until the policy gives it up
        std::vector<std::uint64_t> askedAtMs;
        std::uint64_t endMs;  // when the outer call is given up
        bool innerReadsClock;
    } kCases[] = {
        {"a question turned away, 5 s into the wait",
         50,
         false,
         BusyPolicy::CallKind::Question,
         -1,
         {10000},
         10000,
         false},
        {"a call the host takes at once, 5 s into the wait",
         50,
         false,
         BusyPolicy::CallKind::Call,
         0,
         {10000},
         10000,
         false},
        {"another command's call, cancelled", 50, true, BusyPolicy::CallKind::Call, -1, {15000, 15000}, 15000, true},
        {"a call the host takes at once, after the outer was cancelled",
         -1,
         false,
         BusyPolicy::CallKind::Call,
         0,
         {10000},
         10000,
         false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeBusyPlatform platform;  // the user answers Cancel
        BusyPolicy policy(platform);
        const BusyPolicy::CommandScope command(policy);
        const BusyPolicy::CallScope outer(policy, BusyPolicy::CallKind::Call);
        (void)WaitWhileBusy(policy, platform, c.outerTurnedAway);
        const int clockReadsBefore = platform.clockReads;
        {
            // Made in the outer call's pause or question box.
            std::optional<BusyPolicy::CommandScope> innerCommand;
            if (c.innerOwnCommand) {
                innerCommand.emplace(policy);
            }
            const BusyPolicy::CallScope inner(policy, c.innerKind);
            (void)WaitWhileBusy(policy, platform, c.innerTurnedAway);
        }
        EXPECT_EQ(platform.clockReads > clockReadsBefore, c.innerReadsClock);
        (void)WaitWhileBusy(policy, platform);
        EXPECT_EQ(platform.askedAt, c.askedAtMs);
        EXPECT_EQ(platform.now, c.endMs);
    }
}

}  // namespace
