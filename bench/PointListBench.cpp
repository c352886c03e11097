// "SelAllPts" over documents of 8,192 and 32,767 point objects (with the typical curves among
// them), in process: the simulated document behind the tool's dispatcher and the in-memory
// panel, whose list keeps the same case-folded index as the Win32 panel's. Every iteration
// starts from an empty list, so every point is searched for and appended.
#include <benchmark/benchmark.h>

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

void SelAllPts(benchmark::State& state) {
    const auto pointCount = static_cast<std::size_t>(state.range(0));
    hostsim::ScriptApi api;
    (void)bench::AddTypicalCurves(api);
    (void)bench::AddBasePoints(api, pointCount);
    testing_support::HostsimDispatcher dispatcher(api);
    host::HostScript script(&dispatcher);
    const std::string expectedCaption = std::to_string(pointCount) + " points added!";

    for (auto _ : state) {
        state.PauseTiming();
        auto panel = std::make_unique<testing_support::MemoryPanel>();
        // The host's call log keeps every call; it is emptied so that it does not grow over
        // the iterations.
        (void)api.Control("log clear");
        state.ResumeTiming();

        const std::size_t found = picking::SelectAllPoints(script, *panel);

        state.PauseTiming();
        if (found != pointCount || panel->rows.size() != pointCount || panel->statusCaption != expectedCaption) {
            state.SkipWithError("SelAllPts did not list every point");
            break;
        }
        panel.reset();
        state.ResumeTiming();
    }
    state.counters["points"] = static_cast<double>(pointCount);
}
BENCHMARK(SelAllPts)->Arg(8192)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
