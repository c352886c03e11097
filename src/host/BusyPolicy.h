#pragma once

#include <cstdint>
#include <optional>

namespace host {

// A call the host turns away as busy is tried again after this pause...
inline constexpr std::uint32_t kBusyRetryPauseMs = 100;
// ...silently for this long; then the user is asked.
inline constexpr std::uint32_t kBusyPatienceMs = 10000;

// What the busy rule needs from outside: the time, a pause, and the question to the user.
class BusyWaitPlatform {
  public:
    virtual ~BusyWaitPlatform() = default;

    // A monotonic clock, in milliseconds.
    virtual std::uint64_t NowMilliseconds() = 0;
    // Waits about `milliseconds` while the panel keeps repainting; runs no handler.
    virtual void Pause(std::uint32_t milliseconds) = 0;
    // Asks the user, in a box owned by the panel, whether to wait for the host again: true
    // for Retry, false for Cancel.
    virtual bool AskRetryWhileBusy() = 0;
};

// The one rule for a host that answers "busy", shared by every layer that meets such an
// answer (COM's message filter and the tool's own call layer), so that a call waits once,
// with one patience, and the user is asked one question:
//   - a busy call is tried again every kBusyRetryPauseMs, silently, until kBusyPatienceMs
//     have passed since it was first turned away;
//   - then the user is asked: Retry waits the same again, Cancel makes the call fail;
//   - after a Cancel, the calls of the same command (its clean-up) still wait the same
//     patience, silently, and then fail without asking;
//   - a call that has been given up stays given up when another layer asks about it again;
//   - a question (a call whose answer the caller can do without) is given up from its start:
//     a busy host fails it at once, with no pause and no question to the user.
// One thread; not thread-safe.
class BusyPolicy {
  public:
    // `platform` must outlive the policy.
    explicit BusyPolicy(BusyWaitPlatform& platform) : platform_(platform) {}

    // A new command of the user's begins: the user may be asked again.
    void BeginCommand() noexcept { questionDeclined_ = false; }
    // A new host call begins: it has not waited yet.
    void BeginCall() noexcept {
        waitStart_.reset();
        givenUp_ = false;
    }
    // A new question begins: a host that turns it away as busy fails it at once, in every layer.
    // The user's answers for the command are left as they are.
    void BeginQuestion() noexcept {
        waitStart_.reset();
        givenUp_ = true;
    }

    // The host turned the current call away as busy. Returns the milliseconds to wait before
    // trying it again (0: at once, the user just chose Retry), or nothing when the call is to
    // fail. May ask the user.
    std::optional<std::uint32_t> OnBusy();

    BusyWaitPlatform& Platform() noexcept { return platform_; }

  private:
    BusyWaitPlatform& platform_;
    std::optional<std::uint64_t> waitStart_;
    bool givenUp_ = false;
    bool questionDeclined_ = false;
};

}  // namespace host
