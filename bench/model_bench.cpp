// Cost of one shading sample of the model per light.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchScenes.h"
#include "model/shading.h"

namespace {

void evaluateShadingPerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::ShadingInputs in = lumaveil::bench::benchInputs();
    const std::vector<lumaveil::LightSample> lights = lumaveil::bench::benchLights(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(lumaveil::evaluateShading(in, lights, count));
    }
    state.counters["ns_per_light"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(evaluateShadingPerLight)->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
