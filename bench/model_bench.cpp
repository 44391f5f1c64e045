// Cost of one shading sample of the model per light.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/shading.h"

namespace {

void evaluateShadingPerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::ShadingInputs in;
    in.pointCamera = {0.1f, -0.2f, -5.0f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    in.color = {0.8f, 0.45f, 0.35f};
    in.diffuseAnisotropy = 0.1f;
    std::vector<lumaveil::LightSample> lights(count);
    for (int i = 0; i < count; ++i) {
        lights[i].lightDirection = {0.1f * i, 0.3f, 0.9f};
        lights[i].lightAmbient = lights[i].lightDiffuse = lights[i].lightSpecular = true;
    }
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
