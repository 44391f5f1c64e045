// The model's cost per light, as a benchmark function that every binary
// comparing a deliverable with the model registers beside its own.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include "BenchScenes.h"
#include "model/shading.h"

namespace lumaveil::bench {

inline void evaluateShadingPerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    ShadingInputs in = benchInputs();
    const std::vector<LightSample> lights = benchLights(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(evaluateShading(in, lights, count));
    }
    state.counters["ns_per_light"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace lumaveil::bench
