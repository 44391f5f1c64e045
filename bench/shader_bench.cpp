// Cost of the renderer shaders per light sample beside the model's cost per
// light, on the same material, sample and light directions (BenchScenes.h):
// 1, 4 and 16 directional lights of one sample each.
//
// The model's figure is one evaluateShading call on prepared inputs. The
// shader's is one call of its exported entry point on a prepared state and
// parameter block, as the renderer's inner loop makes it once a sample is set
// up: the shader's reading of its parameters and its mi_sample_light calls
// (two per light: a sample, then none left) through the binding to the
// stand-in renderer, with the binding warm. The shader leaves the state as it
// found it, so each call gets the same state, as each model call gets the
// same inputs. A third figure makes the same call through the stand-in's
// Renderer::shade, which adds its test features (the call trace, the storage
// for driven parameters) around it. The Arnold shader's is one Evaluate call
// through the stand-in Arnold with the samples prepared: its reading of its
// parameters, the light loop and the closures it returns.
//
// After the runs it prints each shader's cost over the model's, from the
// medians and the least of the repetitions when the runs are repeated. On a
// shared machine run it pinned, as
//   taskset -c 1 shader_bench --benchmark_repetitions=20
//       --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BenchScenes.h"
#include "modelBenchmark.h"

namespace {

// Times one shading call per iteration on a scene of state.range(0) lights,
// and reports it per light sample under the counter's name.
template <class Shade>
void timePerLightSample(benchmark::State& state, const char* counter, Shade shade) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::bench::RendererBenchScene bench(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.state);
        miColor result{0.0f, 0.0f, 0.0f, 0.0f};
        shade(bench, result);
        benchmark::DoNotOptimize(result);
    }
    state.counters[counter] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void shaderPerLightSample(benchmark::State& state) {
    timePerLightSample(
        state, "ns_per_light_sample",
        [](lumaveil::bench::RendererBenchScene& bench, miColor& result) { bench.shade(result); });
}

void shaderThroughRendererPerLightSample(benchmark::State& state) {
    timePerLightSample(state, "ns_via_renderer",
                       [](lumaveil::bench::RendererBenchScene& bench, miColor& result) {
                           bench.renderer.shade(result, bench.state, bench.params);
                       });
}

void arnoldShaderPerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const lumaveil::bench::ArnoldBenchScene bench(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.point);
        benchmark::DoNotOptimize(bench.shade());
    }
    state.counters["ns_arnold"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The least of the repetitions: on a shared machine the other load only ever
// adds time.
double least(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Each light count's model and shaders run one after the other.
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(shaderThroughRendererPerLightSample)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(arnoldShaderPerLightSample)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(shaderThroughRendererPerLightSample)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(arnoldShaderPerLightSample)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(16)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(16)->ComputeStatistics("min", least);
BENCHMARK(shaderThroughRendererPerLightSample)->Arg(16)->ComputeStatistics("min", least);
BENCHMARK(arnoldShaderPerLightSample)->Arg(16)->ComputeStatistics("min", least);

// The console report, then the cost per light of both paths and their ratio:
// of single runs, or of the medians and the least of repeated runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string statistic =
                run.run_type == Run::RT_Aggregate ? run.aggregate_name : "single";
            const int lights = std::stoi(run.run_name.args);
            for (const auto& [counter, path] :
                 {std::pair{"ns_per_light", 0}, std::pair{"ns_per_light_sample", 1},
                  std::pair{"ns_via_renderer", 2}, std::pair{"ns_arnold", 3}}) {
                const auto found = run.counters.find(counter);
                if (found != run.counters.end()) {
                    figures_[{statistic, lights}][path] = found->second.value * 1e9;
                }
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\n| of | lights | model ns/light | mental ray ns/light sample | ratio "
            "| via Renderer::shade | ratio | Arnold ns/light sample | ratio |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const auto& [key, costs] : figures_) {
            const auto& [statistic, lights] = key;
            if ((statistic == "single" || statistic == "median" || statistic == "min") &&
                costs[0] > 0.0 && costs[1] > 0.0 && costs[2] > 0.0 && costs[3] > 0.0) {
                std::printf("| %s | %d | %.1f | %.1f | %.3f | %.1f | %.3f | %.1f | %.3f |\n",
                            statistic.c_str(), lights, costs[0], costs[1], costs[1] / costs[0],
                            costs[2], costs[2] / costs[0], costs[3], costs[3] / costs[0]);
            }
        }
    }

private:
    // Nanoseconds of the model [0], the mental ray shader [1], that shader
    // through Renderer::shade [2] and the Arnold shader [3], by statistic and
    // light count; a single run is overwritten by the next repetition.
    std::map<std::pair<std::string, int>, std::array<double, 4>> figures_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
