#pragma once

#include <cstdint>

namespace hostsim {

// When the simulated host is busy, as a host is while a dialog box or a command is open in it,
// and by which means it turns calls away then:
//   Object           the script object answers RPC_E_SERVERCALL_RETRYLATER itself (what
//                    reaches a client under Wine as well as on Windows);
//   FilterRejected   the server's COM message filter answers SERVERCALL_REJECTED;
//   FilterRetryLater the filter answers SERVERCALL_RETRYLATER, as an MFC application does.
// Busy for a time (from when it was asked, on the caller's clock), for the next N calls, or
// while the host's own modal box is open (means Object). Portable; the server asks it on every
// incoming call with the means of the layer asking.
class BusyPlan {
  public:
    enum class Means { Object, FilterRejected, FilterRetryLater };

    // Busy from `nowMs` for `durationMs`; with `afterCalls`, from the moment the layer of
    // `means` has let that many more calls through.
    void BusyFor(std::uint64_t nowMs, std::uint64_t durationMs, Means means, std::uint32_t afterCalls = 0);
    // Busy for the next `count` calls that reach the layer of `means`.
    void BusyCalls(std::uint32_t count, Means means);
    // The host's own modal box opened or closed.
    void SetModalOpen(bool open) { modalOpen_ = open; }
    // Not busy any more (the modal box aside).
    void Clear();

    // Whether a call reaching the layer of `means` at `nowMs` is turned away; a call turned
    // away uses up one of the N calls.
    bool TurnsAway(std::uint64_t nowMs, Means means);

  private:
    Means means_ = Means::Object;
    std::uint64_t busyUntilMs_ = 0;
    std::uint64_t pendingDurationMs_ = 0;
    std::uint32_t callsBeforeBusy_ = 0;
    std::uint32_t busyCalls_ = 0;
    bool modalOpen_ = false;
};

}  // namespace hostsim
