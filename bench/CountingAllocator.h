#pragma once

#include <cstddef>

namespace bench {

// The program's global operator new and delete count the bytes the program holds (the sizes
// asked for, not the allocator's own overhead) and the most it held since ResetPeak.
std::size_t CountedBytes();
std::size_t PeakCountedBytes();
// Starts a new peak at what is held now.
void ResetPeak();

// While one is alive, allocations made on this thread are not counted, and neither is their
// release later, wherever it happens. Used around the simulated host's own work, which in use
// happens in the host's process, not in the tool's.
class UncountedScope {
  public:
    UncountedScope();
    ~UncountedScope();
    UncountedScope(const UncountedScope&) = delete;
    UncountedScope& operator=(const UncountedScope&) = delete;

  private:
    bool wasCounting_;
};

}  // namespace bench
