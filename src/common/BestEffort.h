#pragma once

#include <functional>
#include <utility>

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
