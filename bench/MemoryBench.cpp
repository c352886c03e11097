// Peak memory of a generation run over one point at step 0.001, both sides (360,001 samples),
// next to the size of the command text it sends. The counting operator new of this program
// (CountingAllocator.cpp) measures it. The simulated host runs in process here but in its own
// process in use, so its own work is not counted: what the tool holds is its own text, the
// arguments it converts for the host and the answers it converts back. The peak with the
// host's work counted too is reported beside it.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "BenchDocument.h"
#include "CountingAllocator.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "common/HostError.h"
#include "construct/GenerationRun.h"
#include "host/HostScript.h"
#include "hostsim/model/ScriptApi.h"

namespace {

using common::HostValue;
using testing_support::HostsimDispatcher;

// The simulated host as the tool's dispatcher, as HostsimDispatcher is, with the host's side of
// every call left uncounted when `countHost` is false. Notes the length of the command text sent.
class MeteredDispatcher : public host::Dispatcher {
  public:
    MeteredDispatcher(hostsim::ScriptApi& api, bool countHost) : api_(api), countHost_(countHost) {}

    HostValue Call(const std::string& name, const std::vector<HostValue>& args) override {
        if (name == "Command" && !args.empty()) {
            commandBytes += args[0].text.size();
        }
        std::vector<hostsim::Value> converted;
        converted.reserve(args.size());
        for (const HostValue& arg : args) {
            converted.push_back(HostsimDispatcher::ToHostsim(arg));
        }
        hostsim::Value answer;
        if (countHost_) {
            answer = api_.Call(name, converted);
        } else {
            bench::UncountedScope hostSide;
            answer = api_.Call(name, converted);
        }
        return HostsimDispatcher::FromHostsim(answer);
    }
    void Put(const std::string& name, const HostValue&) override {
        throw common::HostError(name, "the script object has no properties");
    }
    std::unique_ptr<host::Dispatcher> CallForObject(const std::string& name) override {
        throw common::HostError(name, "the script object hands out no objects");
    }

    std::size_t commandBytes = 0;

  private:
    hostsim::ScriptApi& api_;
    bool countHost_;
};

struct RunPeak {
    std::size_t peakBytes = 0;
    std::size_t commandBytes = 0;
    bool done = false;
};

RunPeak MeasureOneRun(bool countHost) {
    hostsim::ScriptApi api;
    const bench::TypicalCurves curves = bench::AddTypicalCurves(api);
    const std::vector<std::string> ids = bench::AddBasePoints(api, 1);
    MeteredDispatcher dispatcher(api, countHost);
    host::HostScript script(&dispatcher);
    testing_support::MemoryPanel panel;
    panel.SetFieldText(common::PanelControl::Text1, curves.xyId);
    panel.SetFieldText(common::PanelControl::Text2, curves.yzId);
    panel.SetFieldText(common::PanelControl::Text3, "0.001");
    panel.bothSides = true;
    panel.ListAppend(ids.at(0));

    const std::size_t before = bench::CountedBytes();
    bench::ResetPeak();
    host::LeftInHost leftInHost;
    construct::RunCycloidGeneration(script, panel, leftInHost);
    RunPeak result;
    result.peakBytes = bench::PeakCountedBytes() - before;
    result.commandBytes = dispatcher.commandBytes;
    result.done = panel.statusCaption == "Curtate cycloid - DONE!" && api.Log().CountOf("Command") == 1;
    return result;
}

void GenerationRunPeakMemory(benchmark::State& state) {
    RunPeak tool;
    RunPeak withHost;
    for (auto _ : state) {
        tool = MeasureOneRun(false);
        withHost = MeasureOneRun(true);
    }
    if (!tool.done || !withHost.done || tool.commandBytes == 0) {
        state.SkipWithError("the run did not send its command");
        return;
    }
    state.counters["peak_bytes"] = static_cast<double>(tool.peakBytes);
    state.counters["command_bytes"] = static_cast<double>(tool.commandBytes);
    state.counters["peak_per_command_byte"] =
        static_cast<double>(tool.peakBytes) / static_cast<double>(tool.commandBytes);
    state.counters["peak_with_host_bytes"] = static_cast<double>(withHost.peakBytes);
}
BENCHMARK(GenerationRunPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
