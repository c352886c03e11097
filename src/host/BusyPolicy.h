#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace host {

// A call the host turns away as busy is tried again after this pause...
inline constexpr std::uint32_t kBusyRetryPauseMs = 100;
// ...silently for this long (the product's patience); then the user is asked.
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
//   - a busy call is tried again every kBusyRetryPauseMs, silently, until the patience has
//     passed since it was first turned away;
//   - then the user is asked: Retry waits the same again, Cancel makes the call fail;
//   - after a Cancel, the calls of the same command (its clean-up) share one budget of the
//     patience, counted from the Cancel: each busy call waits silently while the budget lasts
//     (never past its end) and then fails without asking; the command learns once, before
//     its first such wait, that its clean-up waits for the host;
//   - a call that has been given up stays given up when another layer asks about it again;
//   - a question (a call whose answer the caller can do without) is given up from its start:
//     a busy host fails it at once, with no pause and no question to the user; in a command
//     made of questions alone every call is one.
// Each call's wait belongs to its CallScope and the user's Cancel to its CommandScope, so a
// call or a command that runs while another call waits (in the pause or the question) leaves
// the outer one's clock, "given up" mark and Cancel as they were. A call made outside every
// CallScope, or a Cancel outside every CommandScope, shares one state of the policy's own.
// One thread; not thread-safe.
class BusyPolicy {
    struct CallState {
        std::optional<std::uint64_t> waitStart;  // when the host first turned the call away
        bool givenUp = false;
    };
    struct CommandState {
        bool onlyQuestions = false;
        std::optional<std::uint64_t> cancelledAt;              // when the user chose Cancel
        const std::function<void()>* onCleanupWait = nullptr;  // run once, before the clean-up's first wait
    };

  public:
    // `platform` must outlive the policy. `patienceMs`: how long a busy call waits silently
    // before the user is asked, and the budget of a clean-up after Cancel.
    explicit BusyPolicy(BusyWaitPlatform& platform, std::uint32_t patienceMs = kBusyPatienceMs)
        : platform_(platform), patienceMs_(patienceMs) {}
    BusyPolicy(const BusyPolicy&) = delete;
    BusyPolicy& operator=(const BusyPolicy&) = delete;

    // What a call is: one the host is waited for, or a question, given up from its start (a
    // host that turns it away as busy fails it at once, in every layer).
    enum class CallKind { Call, Question };

    // One command of the user's, for as long as it lives on the stack: the user may be asked
    // again, and a Cancel holds for this command only. Restores the enclosing command's state.
    // With `calls` Question every call of the command is a question. `onCleanupWait` (may be
    // null; must outlive the scope) runs once, when a call of the command's clean-up after a
    // Cancel is about to wait.
    class CommandScope {
      public:
        explicit CommandScope(BusyPolicy& policy,
                              CallKind calls = CallKind::Call,
                              const std::function<void()>* onCleanupWait = nullptr) noexcept
            : policy_(policy), previous_(policy.command_) {
            state_.onlyQuestions = calls == CallKind::Question;
            state_.onCleanupWait = onCleanupWait;
            policy.command_ = &state_;
        }
        ~CommandScope() { policy_.command_ = previous_; }
        CommandScope(const CommandScope&) = delete;
        CommandScope& operator=(const CommandScope&) = delete;

      private:
        BusyPolicy& policy_;
        CommandState* previous_;
        CommandState state_;
    };

    // One host call, for as long as it lives on the stack: the call OnBusy is about. It has not
    // waited yet; its clock starts when the host first turns it away. Restores the enclosing
    // call (the one whose wait this call was made in). Reads no clock and allocates nothing.
    class CallScope {
      public:
        CallScope(BusyPolicy& policy, CallKind kind) noexcept : policy_(policy), previous_(policy.call_) {
            state_.givenUp = kind == CallKind::Question || policy.command_->onlyQuestions;
            policy.call_ = &state_;
        }
        ~CallScope() { policy_.call_ = previous_; }
        CallScope(const CallScope&) = delete;
        CallScope& operator=(const CallScope&) = delete;

      private:
        BusyPolicy& policy_;
        CallState* previous_;
        CallState state_;
    };

    // The host turned the current call away as busy. Returns the milliseconds to wait before
    // trying it again (0: at once, the user just chose Retry), or nothing when the call is to
    // fail. May ask the user.
    std::optional<std::uint32_t> OnBusy();

    BusyWaitPlatform& Platform() noexcept { return platform_; }

  private:
    BusyWaitPlatform& platform_;
    std::uint32_t patienceMs_;
    CallState unscopedCall_;
    CommandState unscopedCommand_;
    CallState* call_ = &unscopedCall_;
    CommandState* command_ = &unscopedCommand_;
};

}  // namespace host
