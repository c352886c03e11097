// A generation run over 1,000 points against the in-process simulated document, next to the
// same document operations with the same arguments called directly in a loop: the difference
// is what the tool itself costs (its panel reads, host value conversions, answer checks and
// command texts). The run's host calls are counted per listed point from the host's call log.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchDocument.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "construct/CycloidGenerator.h"
#include "construct/GenerationRun.h"
#include "host/HostScript.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/Value.h"

namespace {

using hostsim::Value;

constexpr std::size_t kRunPoints = 1000;
constexpr double kStepDegrees = 5;  // the panel's default step
constexpr bool kBothSides = true;   // the panel's default

// The operations the run makes for every listed point, each once or twice.
const std::array<const char*, 7> kPerPointOperations = {
    "SelectObject", "IsPoint", "PointCoordinates", "AddLine", "CurveCurveIntersection", "Command", "DeleteObject"};

// A fresh simulated document with the typical curves and kRunPoints base points, and a panel
// listing them with the curves picked; the step and both-sides flag stay at their defaults.
struct RunScene {
    RunScene() {
        curves = bench::AddTypicalCurves(api);
        ids = bench::AddBasePoints(api, kRunPoints);
        panel.SetFieldText(common::PanelField::Text1, curves.xyId);
        panel.SetFieldText(common::PanelField::Text2, curves.yzId);
        for (const std::string& id : ids) {
            panel.ListAppend(id);
        }
    }

    hostsim::ScriptApi api;
    bench::TypicalCurves curves;
    std::vector<std::string> ids;
    testing_support::HostsimDispatcher dispatcher{api};
    host::HostScript script{&dispatcher};
    testing_support::MemoryPanel panel;
};

common::HostPoint PointOf(const Value& point) {
    const std::vector<Value>& xyz = point.Elements();
    return {xyz.at(0).AsDouble(), xyz.at(1).AsDouble(), xyz.at(2).AsDouble()};
}

// The document operations of one run, called on the simulated host directly, with the
// arguments the run passes. The command texts are given; when `commandTexts` is short they are
// computed from the answers and appended, which the untimed first pass does.
void DirectDocumentOperations(RunScene& scene, std::vector<std::string>& commandTexts) {
    hostsim::ScriptApi& api = scene.api;
    const Value xyId = Value::String(scene.curves.xyId);
    const Value yzId = Value::String(scene.curves.yzId);
    (void)api.Call("UnselectAllObjects", {});
    (void)api.Call("EnableRedraw", {Value::Bool(false)});
    for (std::size_t i = 0; i < scene.ids.size(); ++i) {
        const Value id = Value::String(scene.ids[i]);
        (void)api.Call("SelectObject", {id});
        (void)api.Call("IsPoint", {id});
        const Value base = api.Call("PointCoordinates", {id});
        const common::HostPoint p = PointOf(base);
        const Value xProbe = api.Call(
            "AddLine", {base, Value::Array({Value::Int32(-5000), Value::Double(p.y), Value::Double(p.z)})});
        const Value zProbe = api.Call(
            "AddLine", {base, Value::Array({Value::Double(p.x), Value::Double(p.y), Value::Int32(5000)})});
        const Value hitsXy = api.Call("CurveCurveIntersection", {xProbe, xyId});
        const Value hitsYz = api.Call("CurveCurveIntersection", {zProbe, yzId});
        if (commandTexts.size() <= i) {
            commandTexts.push_back(construct::CycloidCommandTextFor(p, PointOf(hitsXy.At({0, 1})),
                                                                    PointOf(hitsYz.At({0, 1})), kStepDegrees,
                                                                    kBothSides));
        }
        (void)api.Call("Command", {Value::String(commandTexts[i]), Value::Int32(0)});
        (void)api.Call("DeleteObject", {xProbe});
        (void)api.Call("DeleteObject", {zProbe});
    }
    (void)api.Call("UnselectAllObjects", {});
    (void)api.Call("EnableRedraw", {Value::Bool(true)});
}

void GenerationRunThroughTool(benchmark::State& state) {
    std::map<std::string, std::size_t> perPointCalls;
    std::size_t allCalls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<RunScene>();
        state.ResumeTiming();

        construct::RunCycloidGeneration(scene->script, scene->panel);

        state.PauseTiming();
        if (scene->panel.statusCaption != "Curtate cycloid - DONE!" || !scene->panel.messages.empty()) {
            state.SkipWithError("the run did not end normally");
            break;
        }
        perPointCalls.clear();
        for (const char* operation : kPerPointOperations) {
            perPointCalls[operation] = scene->api.Log().CountOf(operation);
        }
        allCalls = scene->api.Log().Records().size();
        scene.reset();
        state.ResumeTiming();
    }
    std::size_t perPoint = 0;
    for (const auto& [operation, count] : perPointCalls) {
        perPoint += count;
        state.counters[operation + "_per_point"] = static_cast<double>(count) / kRunPoints;
    }
    state.counters["host_calls_per_point"] = static_cast<double>(perPoint) / kRunPoints;
    // UnselectAllObjects and EnableRedraw, twice each, belong to the run, not to a point.
    state.counters["host_calls_per_run"] = static_cast<double>(allCalls - perPoint);
    state.counters["points"] = kRunPoints;
}
BENCHMARK(GenerationRunThroughTool)->Unit(benchmark::kMillisecond);

void GenerationRunDirectReference(benchmark::State& state) {
    // First pass, untimed: the command texts, and a check that the direct operations leave the
    // same document as the tool's run.
    std::vector<std::string> commandTexts;
    {
        RunScene direct;
        DirectDocumentOperations(direct, commandTexts);
        RunScene tool;
        construct::RunCycloidGeneration(tool.script, tool.panel);
        if (direct.api.DocumentText() != tool.api.DocumentText() ||
            direct.api.Log().Records().size() != tool.api.Log().Records().size()) {
            state.SkipWithError("the direct operations and the run leave different documents");
            return;
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<RunScene>();
        state.ResumeTiming();

        DirectDocumentOperations(*scene, commandTexts);

        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.counters["points"] = kRunPoints;
}
BENCHMARK(GenerationRunDirectReference)->Unit(benchmark::kMillisecond);

}  // namespace
