#include "host/BusyPolicy.h"

namespace host {

std::optional<std::uint32_t> BusyPolicy::OnBusy() {
    // On Windows COM's message filter waits first and gives up through this same rule; the
    // call layer behind it then meets the rejection once more and must not wait again.
    CallState& call = *call_;
    if (call.givenUp) {
        return std::nullopt;
    }
    const std::uint64_t now = platform_.NowMilliseconds();
    if (!call.waitStart) {
        call.waitStart = now;
    }
    if (now - *call.waitStart < kBusyPatienceMs) {
        return kBusyRetryPauseMs;
    }
    // The question runs a modal loop, in which another command or call may run; each has its
    // own state, so this call's is still `call` when the user answers.
    if (!command_->questionDeclined && platform_.AskRetryWhileBusy()) {
        call.waitStart = platform_.NowMilliseconds();
        return 0;
    }
    // Cancelled, or a clean-up call after a Cancel whose patience ran out: it fails, and the
    // rest of the command is not asked about again.
    command_->questionDeclined = true;
    call.givenUp = true;
    return std::nullopt;
}

}  // namespace host
