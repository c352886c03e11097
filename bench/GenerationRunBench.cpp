// A generation run over 1,000 points against the in-process simulated document, next to the
// same document operations with the same arguments called directly in a loop, each point's
// command text made by the generator as the operation needs it: the difference is what the
// tool itself adds (panel reads, status captions, host value conversions, answer checks, and the
// busy rule's call layer every host call goes through in the program). The
// command texts alone are timed beside them, and the run's host calls are counted per listed
// point from the host's call log.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BenchDocument.h"
#include "FakeBusyPlatform.h"
#include "HostsimDispatcher.h"
#include "MemoryPanel.h"
#include "construct/CycloidGenerator.h"
#include "construct/GenerationRun.h"
#include "host/BusyPolicy.h"
#include "host/HostScript.h"
#include "host/PatientDispatcher.h"
#include "hostsim/model/ScriptApi.h"
#include "hostsim/model/Value.h"

namespace {

using hostsim::Value;

constexpr std::size_t kRunPoints = 1000;
constexpr double kStepDegrees = 5;  // the panel's default step
constexpr bool kBothSides = true;   // the panel's default

// The operations the run makes for every listed point, each once or twice.
const std::array<const char*, 8> kPerPointOperations = {
    "SelectObject",           "IsPoint", "PointCoordinates",   "AddLine",
    "CurveCurveIntersection", "Command", "LastCreatedObjects", "DeleteObject"};

// A fresh simulated document with the typical curves and kRunPoints base points, and a panel
// listing them with the curves picked; the step and both-sides flag stay at their defaults. The
// script calls the document through the busy rule's call layer, as the program's do; the
// document is never busy, so the busy platform must never be used.
struct RunScene {
    RunScene() {
        curves = bench::AddTypicalCurves(api);
        ids = bench::AddBasePoints(api, kRunPoints);
        panel.SetFieldText(common::PanelControl::Text1, curves.xyId);
        panel.SetFieldText(common::PanelControl::Text2, curves.yzId);
        for (const std::string& id : ids) {
            panel.ListAppend(id);
        }
    }

    hostsim::ScriptApi api;
    bench::TypicalCurves curves;
    std::vector<std::string> ids;
    testing_support::HostsimDispatcher dispatcher{api};
    testing_support::FakeBusyPlatform busyPlatform;
    host::BusyPolicy busyPolicy{busyPlatform};
    host::PatientDispatcher patient{dispatcher, busyPolicy};
    host::HostScript script{&patient};
    testing_support::MemoryPanel panel;
    host::LeftInHost leftInHost;
};

common::HostPoint PointOf(const Value& point) {
    const std::vector<Value>& xyz = point.Elements();
    return {xyz.at(0).AsDouble(), xyz.at(1).AsDouble(), xyz.at(2).AsDouble()};
}

// The document operations of one run, called on the simulated host directly with the
// arguments the run passes; each command text is made from the answers as the run makes it.
void DirectDocumentOperations(RunScene& scene) {
    hostsim::ScriptApi& api = scene.api;
    const Value xyId = Value::String(scene.curves.xyId);
    const Value yzId = Value::String(scene.curves.yzId);
    (void)api.Call("UnselectAllObjects", {});
    (void)api.Call("EnableRedraw", {Value::Bool(false)});
    for (const std::string& idText : scene.ids) {
        const Value id = Value::String(idText);
        (void)api.Call("SelectObject", {id});
        (void)api.Call("IsPoint", {id});
        const Value base = api.Call("PointCoordinates", {id});
        const common::HostPoint p = PointOf(base);
        const Value xProbe =
            api.Call("AddLine", {base, Value::Array({Value::Int32(-5000), Value::Double(p.y), Value::Double(p.z)})});
        const Value zProbe =
            api.Call("AddLine", {base, Value::Array({Value::Double(p.x), Value::Double(p.y), Value::Int32(5000)})});
        const Value hitsXy = api.Call("CurveCurveIntersection", {xProbe, xyId});
        const Value hitsYz = api.Call("CurveCurveIntersection", {zProbe, yzId});
        std::vector<Value> command;
        command.reserve(2);
        command.push_back(Value::String(construct::CycloidCommandTextFor(
            p, PointOf(hitsXy.At({0, 1})), PointOf(hitsYz.At({0, 1})), kStepDegrees, kBothSides)));
        command.push_back(Value::Int32(0));
        (void)api.Call("Command", command);
        (void)api.Call("LastCreatedObjects", {});
        (void)api.Call("DeleteObject", {xProbe});
        (void)api.Call("DeleteObject", {zProbe});
    }
    (void)api.Call("UnselectAllObjects", {});
    (void)api.Call("EnableRedraw", {Value::Bool(true)});
}

// One generation run as the panel's Generate runs it: in a command of the busy rule.
void RunGeneration(RunScene& scene) {
    const host::BusyPolicy::CommandScope command(scene.busyPolicy);
    construct::RunCycloidGeneration(scene.script, scene.panel, scene.leftInHost);
}

// Whether the run's host calls, none turned away, left the busy rule's clock and pause unused.
bool BusyRuleStayedIdle(const RunScene& scene) {
    return scene.busyPlatform.clockReads == 0 && scene.busyPlatform.pauses.empty();
}

void GenerationRunThroughTool(benchmark::State& state) {
    std::map<std::string, std::size_t> perPointCalls;
    std::size_t allCalls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<RunScene>();
        state.ResumeTiming();

        RunGeneration(*scene);

        state.PauseTiming();
        if (scene->panel.statusCaption != "Curtate cycloid - DONE!" || !scene->panel.messages.empty()) {
            state.SkipWithError("the run did not end normally");
            break;
        }
        if (!BusyRuleStayedIdle(*scene)) {
            state.SkipWithError("a host call that was not turned away read the busy rule's clock or paused");
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

double ProcessCpuMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The run and the direct operations timed in turns within each iteration (the one going first
// alternating), so that both meet the same load of a shared machine. Reports the mean CPU time
// of each and the share of the run that the tool adds.
void GenerationRunAgainstDirectOperations(benchmark::State& state) {
    // Untimed: the direct operations must leave the same document as the tool's run.
    {
        RunScene direct;
        DirectDocumentOperations(direct);
        RunScene tool;
        RunGeneration(tool);
        if (direct.api.DocumentText() != tool.api.DocumentText() ||
            direct.api.Log().Records().size() != tool.api.Log().Records().size()) {
            state.SkipWithError("the direct operations and the run leave different documents");
            return;
        }
    }
    double toolMs = 0;
    double directMs = 0;
    bool toolFirst = true;
    for (auto _ : state) {
        auto toolScene = std::make_unique<RunScene>();
        auto directScene = std::make_unique<RunScene>();
        for (int turn = 0; turn < 2; ++turn) {
            const bool runTool = (turn == 0) == toolFirst;
            const double start = ProcessCpuMs();
            if (runTool) {
                RunGeneration(*toolScene);
                toolMs += ProcessCpuMs() - start;
            } else {
                DirectDocumentOperations(*directScene);
                directMs += ProcessCpuMs() - start;
            }
        }
        toolFirst = !toolFirst;
        toolScene.reset();
        directScene.reset();
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["tool_ms"] = toolMs / iterations;
    state.counters["direct_ms"] = directMs / iterations;
    state.counters["overhead_pct"] = toolMs > 0 ? 100.0 * (toolMs - directMs) / toolMs : 0.0;
    state.counters["points"] = kRunPoints;
}
BENCHMARK(GenerationRunAgainstDirectOperations)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The command texts of the run's 1,000 points alone, from the hits the host reports.
void GenerationRunCommandTexts(benchmark::State& state) {
    struct Hits {
        common::HostPoint base;
        common::HostPoint xy;
        common::HostPoint yz;
    };
    std::vector<Hits> hits;
    {
        RunScene scene;
        for (const std::string& id : scene.ids) {
            const std::optional<common::HostPoint> p = scene.script.PointCoordinates(id);
            const auto xProbe = scene.script.AddLine(
                common::HostValue::Point(p->x, p->y, p->z),
                common::HostValue::Array({common::HostValue::Int32(-5000), common::HostValue::Double(p->y),
                                          common::HostValue::Double(p->z)}));
            const auto zProbe = scene.script.AddLine(
                common::HostValue::Point(p->x, p->y, p->z),
                common::HostValue::Array({common::HostValue::Double(p->x), common::HostValue::Double(p->y),
                                          common::HostValue::Int32(5000)}));
            hits.push_back({*p, *scene.script.CurveCurveIntersection(*xProbe, scene.curves.xyId),
                            *scene.script.CurveCurveIntersection(*zProbe, scene.curves.yzId)});
        }
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const Hits& h : hits) {
            const std::string text = construct::CycloidCommandTextFor(h.base, h.xy, h.yz, kStepDegrees, kBothSides);
            bytes += text.size();
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(GenerationRunCommandTexts)->Unit(benchmark::kMillisecond);

}  // namespace
