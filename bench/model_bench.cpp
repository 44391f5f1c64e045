// Cost of one shading sample of the model per light.
#include <benchmark/benchmark.h>

#include "modelBenchmark.h"

BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(1)->Arg(4)->Arg(16);

BENCHMARK_MAIN();
