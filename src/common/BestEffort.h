#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/HostError.h"

namespace common {

// Runs `step` and drops any failure it raises; returns whether the step ran through. For a
// step worth trying whose failure must not stop what runs it: cleanup on the way out of
// another failure (deleting a probe line, switching redraw back on), or one step of a
// sequence whose steps may each fail without ending it (attaching to the host at start-up).
// Whatever the step would have assigned before it failed keeps its old value.
template <typename Step>
bool RunBestEffort(Step&& step) noexcept {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        // Dropped on purpose: the caller is already leaving through another failure, or the
        // step is one the caller can do without.
        return false;
    }
}

// Runs `ask`, a question whose answer the caller can do without, and returns its answer (a
// std::optional); nothing when it fails in any way, as when it answers nothing.
// The answer is returned, not assigned inside a RunBestEffort step: GCC 12 at -O2 drops the
// std::nullopt an optional local starts with when it is assigned only inside such a step, and
// then reads it uninitialized after the step threw.
template <typename Ask>
auto AnswerOrNothing(Ask&& ask) noexcept -> decltype(std::forward<Ask>(ask)()) {
    try {
        return std::forward<Ask>(ask)();
    } catch (...) {
        // Dropped on purpose: the caller does without the answer.
        return std::nullopt;
    }
}

// Runs `step` as RunBestEffort does, for a caller that tells the user why a step failed: the
// failure's own words (a HostError's description, another exception's what(), "" for anything
// else), or nothing when the step ran through.
template <typename Step>
std::optional<std::string> RunBestEffortTellingWhy(Step&& step) {
    try {
        std::forward<Step>(step)();
        return std::nullopt;
    } catch (const HostError& error) {
        return error.Description();
    } catch (const std::exception& error) {
        return std::string(error.what());
    } catch (...) {
        return std::string();
    }
}

// Runs a cleanup step when the scope is left, unless it was dismissed first (because the
// normal path did the same work itself). The step's own failure is dropped, as a
// destructor never throws.
class CleanupGuard {
  public:
    explicit CleanupGuard(std::function<void()> cleanup) : cleanup_(std::move(cleanup)) {}
    CleanupGuard(const CleanupGuard&) = delete;
    CleanupGuard& operator=(const CleanupGuard&) = delete;
    ~CleanupGuard() {
        if (cleanup_) {
            (void)RunBestEffort(cleanup_);
        }
    }

    // The cleanup is no longer needed.
    void Dismiss() noexcept { cleanup_ = nullptr; }

  private:
    std::function<void()> cleanup_;
};

}  // namespace common
