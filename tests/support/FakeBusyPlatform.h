#pragma once

#include <cstdint>
#include <vector>

#include "host/BusyPolicy.h"

namespace testing_support {

// A clock that moves only when paused, and scripted answers to the busy question (Cancel
// once they run out). Records when each question was asked, every pause and how often the
// clock was read.
class FakeBusyPlatform : public host::BusyWaitPlatform {
  public:
    std::uint64_t NowMilliseconds() override {
        ++clockReads;
        return now;
    }
    void Pause(std::uint32_t milliseconds) override {
        pauses.push_back(milliseconds);
        now += milliseconds;
    }
    bool AskRetryWhileBusy() override {
        askedAt.push_back(now);
        if (answers.empty()) {
            return false;
        }
        const bool retry = answers.front();
        answers.erase(answers.begin());
        return retry;
    }

    std::uint64_t now = 0;
    std::vector<bool> answers;  // true: Retry
    std::vector<std::uint64_t> askedAt;
    std::vector<std::uint32_t> pauses;
    int clockReads = 0;
};

}  // namespace testing_support
