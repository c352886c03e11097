#include "host/BusyPolicy.h"

#include <algorithm>
#include <utility>

namespace host {

std::optional<std::uint32_t> BusyPolicy::OnBusy() {
    // On Windows COM's message filter waits first and gives up through this same rule; the
    // call layer behind it then meets the rejection once more and must not wait again.
    CallState& call = *call_;
    if (call.givenUp) {
        return std::nullopt;
    }
    const std::uint64_t now = platform_.NowMilliseconds();
    CommandState& command = *command_;
    if (command.cancelledAt) {
        // The clean-up after a Cancel: every call of it draws on the one budget, so the whole
        // clean-up ends within the patience of the Cancel, however many calls it makes.
        const std::uint64_t spent = now - *command.cancelledAt;
        if (spent >= patienceMs_) {
            call.givenUp = true;
            return std::nullopt;
        }
        if (command.onCleanupWait != nullptr) {
            // Forgotten first: it runs once whatever it does.
            const std::function<void()>& tell = *std::exchange(command.onCleanupWait, nullptr);
            tell();
        }
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(kBusyRetryPauseMs, patienceMs_ - spent));
    }
    if (!call.waitStart) {
        call.waitStart = now;
    }
    if (now - *call.waitStart < patienceMs_) {
        return kBusyRetryPauseMs;
    }
    // The question runs a modal loop, in which another command or call may run; each has its
    // own state, so this call's and this command's are still `call` and `command` when the
    // user answers.
    if (platform_.AskRetryWhileBusy()) {
        call.waitStart = platform_.NowMilliseconds();
        return 0;
    }
    // Cancelled: this call fails, and the rest of the command is its clean-up.
    command.cancelledAt = platform_.NowMilliseconds();
    call.givenUp = true;
    return std::nullopt;
}

}  // namespace host
