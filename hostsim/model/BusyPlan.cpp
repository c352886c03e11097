#include "hostsim/model/BusyPlan.h"

namespace hostsim {

void BusyPlan::BusyFor(std::uint64_t nowMs, std::uint64_t durationMs, Means means, std::uint32_t afterCalls) {
    means_ = means;
    busyCalls_ = 0;
    callsBeforeBusy_ = afterCalls;
    pendingDurationMs_ = durationMs;
    busyUntilMs_ = afterCalls == 0 ? nowMs + durationMs : 0;
}

void BusyPlan::BusyCalls(std::uint32_t count, Means means) {
    means_ = means;
    busyCalls_ = count;
    busyUntilMs_ = 0;
}

void BusyPlan::Clear() {
    busyUntilMs_ = 0;
    busyCalls_ = 0;
    callsBeforeBusy_ = 0;
}

bool BusyPlan::TurnsAway(std::uint64_t nowMs, Means means) {
    bool away = false;
    if (means == means_ && callsBeforeBusy_ > 0) {
        // A call let through before the busy time; the last of them starts it.
        if (--callsBeforeBusy_ == 0) {
            busyUntilMs_ = nowMs + pendingDurationMs_;
        }
    } else if (modalOpen_ && means == Means::Object) {
        away = true;
    } else if (means == means_ && nowMs < busyUntilMs_) {
        away = true;
    } else if (means == means_ && busyCalls_ > 0) {
        --busyCalls_;
        away = true;
    }
    return away;
}

}  // namespace hostsim
