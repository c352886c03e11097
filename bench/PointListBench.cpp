// "SelAllPts" over documents of 8,192 and 32,767 point objects (with the typical curves among
// them), in process: the simulated document behind the tool's dispatcher and the in-memory
// panel, whose list keeps the same case-folded index as the Win32 panel's. Every run starts
// from an empty list, so every point is searched for and appended.
//
// SelAllPts/<n> times each size on its own. SelAllPtsSideBySide times both sizes in every
// iteration, taking turns at which goes first, so that a change in the machine's speed during
// the run (other work, the host's memory management) falls on both alike; its "ratio" counter
// is the larger document's time over the smaller one's, summed over the iterations.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstddef>
#include <memory>
#include <string>

#include "BenchDocument.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "host/HostScript.h"
#include "hostsim/model/ScriptApi.h"
#include "picking/PointList.h"

namespace {

constexpr std::size_t kSmallDocument = 8192;
constexpr std::size_t kLargeDocument = 32767;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A document of `pointCount` point objects and the typical curves, with the tool's script
// facade over it.
class PointDocument {
  public:
    explicit PointDocument(std::size_t pointCount)
        : pointCount_(pointCount),
          dispatcher_(api_),
          script_(&dispatcher_),
          expectedCaption_(std::to_string(pointCount) + " points added!") {
        (void)bench::AddTypicalCurves(api_);
        (void)bench::AddBasePoints(api_, pointCount);
    }

    // Runs SelAllPts on a fresh panel; returns the thread CPU seconds it took, or a negative
    // number when it did not list every point. The host's call log keeps every call, so it
    // is emptied first, outside the time, that it does not grow over the iterations.
    double SelectAllOnce() {
        (void)api_.Control("log clear");
        auto panel = std::make_unique<testing_support::MemoryPanel>();
        const double start = ThreadCpuSeconds();
        const std::size_t found = picking::SelectAllPoints(script_, *panel);
        const double seconds = ThreadCpuSeconds() - start;
        const bool complete =
            found == pointCount_ && panel->rows.size() == pointCount_ && panel->statusCaption == expectedCaption_;
        return complete ? seconds : -1.0;
    }

  private:
    std::size_t pointCount_;
    hostsim::ScriptApi api_;
    testing_support::HostsimDispatcher dispatcher_;
    host::HostScript script_;
    std::string expectedCaption_;
};

void SelAllPts(benchmark::State& state) {
    const auto pointCount = static_cast<std::size_t>(state.range(0));
    PointDocument document(pointCount);
    for (auto _ : state) {
        const double seconds = document.SelectAllOnce();
        if (seconds < 0) {
            state.SkipWithError("SelAllPts did not list every point");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["points"] = static_cast<double>(pointCount);
}
BENCHMARK(SelAllPts)->Arg(kSmallDocument)->Arg(kLargeDocument)->UseManualTime()->Unit(benchmark::kMillisecond);

void SelAllPtsSideBySide(benchmark::State& state) {
    PointDocument small(kSmallDocument);
    PointDocument large(kLargeDocument);
    double smallSeconds = 0;
    double largeSeconds = 0;
    bool smallFirst = true;
    for (auto _ : state) {
        const double first = smallFirst ? small.SelectAllOnce() : large.SelectAllOnce();
        const double second = smallFirst ? large.SelectAllOnce() : small.SelectAllOnce();
        if (first < 0 || second < 0) {
            state.SkipWithError("SelAllPts did not list every point");
            return;
        }
        smallSeconds += smallFirst ? first : second;
        largeSeconds += smallFirst ? second : first;
        state.SetIterationTime(first + second);
        smallFirst = !smallFirst;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["small_ms"] = smallSeconds / iterations * 1e3;
    state.counters["large_ms"] = largeSeconds / iterations * 1e3;
    state.counters["ratio"] = largeSeconds / smallSeconds;
}
BENCHMARK(SelAllPtsSideBySide)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
