// The command text of one base point, both sides, step 0.001 (360,001 samples, 1,080,003
// coordinates), next to a bare std::to_chars loop writing the same doubles with 15 significant
// digits: the reference the generator's text is measured against.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>
#include <vector>

#include "construct/CycloidGenerator.h"

namespace {

// A base point off the origin with span and height of no round value, so that the coordinates
// have the full digit counts a real curve has.
const common::HostPoint kBase{0, 37.25, 0};
const common::HostPoint kXyHit{-123.456, 37.25, 0};
const common::HostPoint kYzHit{0, 37.25, 78.9012};
constexpr double kStepDegrees = 0.001;
constexpr bool kBothSides = true;

void CycloidCommandTextBothSides(benchmark::State& state) {
    std::size_t length = 0;
    for (auto _ : state) {
        const std::string text = construct::CycloidCommandTextFor(kBase, kXyHit, kYzHit, kStepDegrees, kBothSides);
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(length);
}
BENCHMARK(CycloidCommandTextBothSides)->Unit(benchmark::kMillisecond);

void ToCharsGeneral15Reference(benchmark::State& state) {
    std::vector<double> values;
    for (const common::HostPoint& sample : construct::CycloidSamples(kBase, kXyHit, kYzHit, kStepDegrees, kBothSides)) {
        values.insert(values.end(), {sample.x, sample.y, sample.z});
    }
    char buffer[64];
    for (auto _ : state) {
        std::size_t length = 0;
        for (const double value : values) {
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
            length += static_cast<std::size_t>(result.ptr - buffer);
            benchmark::DoNotOptimize(buffer);
        }
        benchmark::DoNotOptimize(length);
    }
    state.counters["values"] = static_cast<double>(values.size());
}
BENCHMARK(ToCharsGeneral15Reference)->Unit(benchmark::kMillisecond);

}  // namespace
