#include "host/BusyPolicy.h"

namespace host {

std::optional<std::uint32_t> BusyPolicy::OnBusy() {
    // On Windows COM's message filter waits first and gives up through this same rule; the
    // call layer behind it then meets the rejection once more and must not wait again.
    if (givenUp_) {
        return std::nullopt;
    }
    const std::uint64_t now = platform_.NowMilliseconds();
    if (!waitStart_) {
        waitStart_ = now;
    }
    if (now - *waitStart_ < kBusyPatienceMs) {
        return kBusyRetryPauseMs;
    }
    if (!questionDeclined_ && platform_.AskRetryWhileBusy()) {
        waitStart_ = platform_.NowMilliseconds();
        return 0;
    }
    // Cancelled, or a clean-up call after a Cancel whose patience ran out: it fails, and the
    // rest of the command is not asked about again.
    questionDeclined_ = true;
    givenUp_ = true;
    return std::nullopt;
}

}  // namespace host
