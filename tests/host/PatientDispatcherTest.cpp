#include "host/PatientDispatcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FakeBusyPlatform.h"
#include "FakeDispatcher.h"
#include "common/HostError.h"
#include "host/HostScript.h"

namespace {

using common::HostError;
using common::HostValue;
using testing_support::FakeBusyPlatform;
using testing_support::FakeDispatcher;

struct Fixture {
    Fixture() { host.Default("IsPoint", HostValue::Bool(true)); }
    // Calls IsPoint through the patient dispatcher, or asks the script's `question` through it;
    // false when it failed as busy.
    bool CallSucceeds(const std::string& question = "") {
        try {
            host::HostScript script(&patient);
            if (question == "InCommand") {
                (void)script.InCommand();
            } else if (question == "LastCommandResult") {
                (void)script.LastCommandResult();
            } else if (question == "LastCreatedObjects") {
                (void)script.LastCreatedObjects();
            } else {
                (void)patient.Call("IsPoint", {HostValue::String("P")});
            }
            return true;
        } catch (const HostError& error) {
            EXPECT_EQ(error.GetCause(), HostError::Cause::Busy);
            return false;
        }
    }

    FakeDispatcher host;
    FakeBusyPlatform platform;
    host::BusyPolicy policy{platform};
    host::PatientDispatcher patient{host, policy};
};

TEST(PatientDispatcherTest, BusyCallWaitsSilentlyTenSecondsThenAsksOnce) {
    static const struct {
        const char* name;
        int busyCalls;
        std::vector<bool> answers;  // true: Retry
        bool succeeds;
        std::vector<std::uint64_t> askedAtMs;
        int calls;
        const char* question = "";  // a question the script asks instead of calling IsPoint
    } kCases[] = {
        {"free again after 2 s: never asked", 20, {}, true, {}, 21},
        {"busy just under the patience: never asked", 100, {}, true, {}, 101},
        {"busy longer, Retry: waits again and succeeds", 150, {true}, true, {10000}, 151},
        {"busy longer, Cancel: fails at once", 1000, {false}, false, {10000}, 101},
        {"Retry, then Cancel the next time", 1000, {true, false}, false, {10000, 20000}, 202},
        // A question is not waited for: no pause, no question to the user.
        {"InCommand asked: fails at once", 1000, {}, false, {}, 1, "InCommand"},
        {"LastCommandResult asked: fails at once", 1000, {}, false, {}, 1, "LastCommandResult"},
        {"LastCreatedObjects asked: fails at once", 1000, {}, false, {}, 1, "LastCreatedObjects"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.platform.answers = c.answers;
        f.host.BusyFor(c.busyCalls);
        const host::BusyPolicy::CommandScope command(f.policy);
        EXPECT_EQ(f.CallSucceeds(c.question), c.succeeds);
        EXPECT_EQ(f.platform.askedAt, c.askedAtMs);
        EXPECT_EQ(f.host.calls.size(), static_cast<std::size_t>(c.calls));
        for (const std::uint32_t pause : f.platform.pauses) {
            EXPECT_EQ(pause, host::kBusyRetryPauseMs);
        }
        if (*c.question != '\0') {
            EXPECT_TRUE(f.platform.pauses.empty());
            // The command's next call waits and asks as any call does.
            EXPECT_FALSE(f.CallSucceeds());
            EXPECT_EQ(f.platform.askedAt, std::vector<std::uint64_t>{10000});
        }
    }
}

TEST(PatientDispatcherTest, AfterCancelTheSameCommandSharesOneBudgetWithoutAskingAndTheNextCommandAsksAgain) {
    Fixture f;
    {
        const host::BusyPolicy::CommandScope command(f.policy);
        f.host.BusyFor(100000);
        EXPECT_FALSE(f.CallSucceeds());  // the user cancels
        ASSERT_EQ(f.platform.askedAt.size(), 1u);

        // Clean-up calls of the same command share one patience from the Cancel, and ask nothing.
        const std::uint64_t cancelledAt = f.platform.now;
        f.host.BusyFor(30);
        EXPECT_TRUE(f.CallSucceeds());
        EXPECT_EQ(f.platform.now - cancelledAt, 3000u);
        f.host.BusyFor(100000);
        EXPECT_FALSE(f.CallSucceeds());
        EXPECT_EQ(f.platform.now - cancelledAt, host::kBusyPatienceMs);
        // The budget spent: a busy call fails at once, one the host takes goes through.
        EXPECT_FALSE(f.CallSucceeds());
        f.host.BusyFor(0);
        EXPECT_TRUE(f.CallSucceeds());
        EXPECT_EQ(f.platform.now - cancelledAt, host::kBusyPatienceMs);
        EXPECT_EQ(f.platform.askedAt.size(), 1u);
    }
    const host::BusyPolicy::CommandScope next(f.policy);
    f.host.BusyFor(100000);
    EXPECT_FALSE(f.CallSucceeds());
    EXPECT_EQ(f.platform.askedAt.size(), 2u);
}

TEST(PatientDispatcherTest, OtherFailuresPassAtOnceAndObjectsAnsweredWaitToo) {
    Fixture f;
    f.host.RaiseOn("IsPoint", 1);
    EXPECT_THROW((void)f.patient.Call("IsPoint", {}), HostError);
    EXPECT_TRUE(f.platform.pauses.empty());

    auto script = std::make_unique<FakeDispatcher>();
    FakeDispatcher& inner = *script;
    f.host.QueueObject("GetScriptObject", std::move(script));
    f.host.BusyFor(2);
    std::unique_ptr<host::Dispatcher> object = f.patient.CallForObject("GetScriptObject");
    EXPECT_EQ(f.host.CountOf("GetScriptObject"), 3);
    inner.BusyFor(5);
    (void)object->Call("WindowHandle", {});
    EXPECT_EQ(inner.CountOf("WindowHandle"), 6);
    EXPECT_EQ(f.platform.pauses.size(), 7u);
}

}  // namespace
