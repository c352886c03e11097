#pragma once

#include <functional>
#include <utility>

namespace construct {

// Runs `step` and drops any failure it raises. For cleanup that is worth trying but must
// not hide the failure that led to it (deleting a probe line, switching redraw back on).
inline void RunBestEffort(const std::function<void()>& step) noexcept {
    try {
        step();
    } catch (...) {
        // Dropped on purpose: the caller is already leaving through another failure, or the
        // cleanup is a courtesy to the user's document that the host refused.
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
            RunBestEffort(cleanup_);
        }
    }

    // The cleanup is no longer needed.
    void Dismiss() noexcept { cleanup_ = nullptr; }

  private:
    std::function<void()> cleanup_;
};

}  // namespace construct
