// Cost of the node's compute per light, through the stand-in host's data
// block, beside evaluateShading on the same sample: the difference is the
// glue of compute (and the stand-in's data-block handles).
#include <benchmark/benchmark.h>

#include "BenchScenes.h"
#include "modelBenchmark.h"

namespace {

lumaveil::bench::MayaBenchScene& fixture() {
    static lumaveil::bench::MayaBenchScene instance(1);
    return instance;
}

void perLight(benchmark::State& state, int count) {
    state.counters["ns_per_light"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void computePerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::bench::MayaBenchScene& f = fixture();
    f.setLights(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.node.compute(f.outColor));
    }
    perLight(state, count);
}
BENCHMARK(computePerLight)->Arg(1)->Arg(4)->Arg(16);

// The same sample without the host, for the glue's share.
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
