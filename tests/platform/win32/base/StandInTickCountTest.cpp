#include "platform/win32/base/StandInTickCount.h"

#include <gtest/gtest.h>

namespace {

TEST(StandInTickCountTest, CounterTicksBecomeWholeMillisecondsWithoutOverflow) {
    static const struct {
        const char* name;
        ULONGLONG ticks;
        ULONGLONG ticksPerSecond;
        ULONGLONG expected;
    } kCases[] = {
        {"nothing counted", 0, 10'000'000, 0},
        {"one hour at 10 MHz", 36'000'000'000, 10'000'000, 3'600'000},
        {"below a millisecond", 9'999, 10'000'000, 0},
        {"a third of a second, rounded down", 1, 3, 333},
        {"ten ticks at 3 Hz", 10, 3, 3'333},
        // ticks * 1000 would overflow: 18446744073709551615 ticks are 1844674407370 s and 955 ms.
        {"the largest count at 10 MHz", 0xFFFF'FFFF'FFFF'FFFF, 10'000'000, 1'844'674'407'370'955},
        {"the largest count at 2.5 GHz", 0xFFFF'FFFF'FFFF'FFFF, 2'500'000'000, 7'378'697'629'483},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(win32::CounterMilliseconds(c.ticks, c.ticksPerSecond), c.expected);
    }
}

// Past the 32-bit tick count's wrap after 49.7 days the system's 64-bit count goes on whole.
ULONGLONG WINAPI FiftyDaysUp() {
    return 50ULL * 24 * 60 * 60 * 1000;
}

TEST(StandInTickCountTest, TheSystemsCountIsTakenWholePastTheThirtyTwoBitWrap) {
    EXPECT_EQ(win32::TickCount64(&FiftyDaysUp), 4'320'000'000ULL);
}

// Without the system's GetTickCount64, as on Windows XP, the stand-in counts the same time.
TEST(StandInTickCountTest, WithoutTheSystemsFunctionTheStandInCountsTheSystemsTime) {
    constexpr ULONGLONG kToleranceMs = 1000;
    const ULONGLONG before = ::GetTickCount64();
    const ULONGLONG counted = win32::TickCount64(nullptr);
    const ULONGLONG after = ::GetTickCount64();
    EXPECT_GE(counted + kToleranceMs, before);
    EXPECT_LE(counted, after + kToleranceMs);
}

}  // namespace
