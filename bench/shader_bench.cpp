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
// for driven parameters) around it.
//
// The Arnold shader's is one Evaluate call on a camera ray's shading globals
// set up once (aihost::PreparedCall), as Arnold's inner loop calls it: its
// local data, the light loop with the light weights, the closures it returns
// and, where enabled, its AOVs, with the stand-in Arnold's answers to its Ai
// calls. Beside it: the same call through aihost::Shader::shade, which also
// fills the shading globals and gathers the closures; the five AOVs enabled;
// 4 lights of 4 samples each (against the model's 16 lights); and a shadow
// ray's call, against a camera ray's at one light.
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

const std::vector<std::string> benchAOVs{"lumaVeil_diffuse", "lumaVeil_translucency",
                                         "lumaVeil_specular", "lumaVeil_ambient",
                                         "lumaVeil_incandescence"};

// Times one Arnold call per iteration, reported per light sample (or per call
// for samples 0) under the counter's name.
template <class Call>
void timeArnold(benchmark::State& state, const char* counter, int samples, Call call) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(call());
    }
    state.counters[counter] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (samples > 0 ? samples : 1),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void arnoldShaderPerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::aihost::enableAOVs({});
    const lumaveil::bench::ArnoldBenchScene bench(count);
    lumaveil::aihost::PreparedCall call = bench.prepared();
    timeArnold(state, "ns_arnold", count, [&] { return call.evaluate(); });
}

void arnoldShadePerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::aihost::enableAOVs({});
    const lumaveil::bench::ArnoldBenchScene bench(count);
    timeArnold(state, "ns_arnold_shade", count, [&] { return bench.shade().emission; });
}

void arnoldShaderWithAOVsPerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::aihost::enableAOVs(benchAOVs);
    const lumaveil::bench::ArnoldBenchScene bench(count);
    lumaveil::aihost::PreparedCall call = bench.prepared();
    if (call.evaluate(), call.aovsStored() != 5) {
        state.SkipWithError("the AOVs were not written");
    }
    timeArnold(state, "ns_arnold_aovs", count, [&] { return call.evaluate(); });
    lumaveil::aihost::enableAOVs({});
}

// range(0) lights of four samples each.
void arnoldShaderFourSamplesPerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::aihost::enableAOVs({});
    const lumaveil::bench::ArnoldBenchScene bench(count, 4);
    lumaveil::aihost::PreparedCall call = bench.prepared();
    timeArnold(state, "ns_arnold_4_samples", 4 * count, [&] { return call.evaluate(); });
}

void arnoldShadowRay(benchmark::State& state) {
    lumaveil::aihost::enableAOVs({});
    const lumaveil::bench::ArnoldBenchScene bench(1);
    lumaveil::aihost::PreparedCall call = bench.prepared(AI_RAY_SHADOW);
    timeArnold(state, "ns_arnold_shadow", 0, [&] { return call.evaluate(); });
}

// The least of the repetitions: on a shared machine the other load only ever
// adds time.
double least(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Each light count's model and shaders run one after the other.
#define LUMAVEIL_SHADER_BENCHMARKS(lights)                                                        \
    BENCHMARK(lumaveil::bench::evaluateShadingPerLight)                                           \
        ->Arg(lights)                                                                             \
        ->ComputeStatistics("min", least);                                                        \
    BENCHMARK(shaderPerLightSample)->Arg(lights)->ComputeStatistics("min", least);                \
    BENCHMARK(shaderThroughRendererPerLightSample)->Arg(lights)->ComputeStatistics("min", least); \
    BENCHMARK(arnoldShaderPerLightSample)->Arg(lights)->ComputeStatistics("min", least);          \
    BENCHMARK(arnoldShadePerLightSample)->Arg(lights)->ComputeStatistics("min", least);           \
    BENCHMARK(arnoldShaderWithAOVsPerLightSample)->Arg(lights)->ComputeStatistics("min", least)
LUMAVEIL_SHADER_BENCHMARKS(1);
LUMAVEIL_SHADER_BENCHMARKS(4);
LUMAVEIL_SHADER_BENCHMARKS(16);
// Sixteen samples of four lights, against the model's sixteen lights.
BENCHMARK(arnoldShaderFourSamplesPerLightSample)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(arnoldShadowRay)->ComputeStatistics("min", least);

// The console report, then the cost per light of each path and its ratio to
// the model's: of single runs, or of the medians and the least of repeated
// runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string statistic =
                run.run_type == Run::RT_Aggregate ? run.aggregate_name : "single";
            const int lights = run.run_name.args.empty() ? 0 : std::stoi(run.run_name.args);
            for (const auto& [counter, value] : run.counters) {
                figures_[{statistic, counter}][lights] = value.value * 1e9;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf(
            "\n| of | lights | model ns/light | mental ray ns/light sample | ratio "
            "| via Renderer::shade | ratio | Arnold ns/light sample | ratio "
            "| via Shader::shade | ratio | five AOVs | ratio |\n");
        std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        for (const char* statistic : {"single", "median", "min"}) {
            for (const int lights : {1, 4, 16}) {
                const double model = figure(statistic, "ns_per_light", lights);
                if (model <= 0.0) {
                    continue;
                }
                std::printf("| %s | %d | %.1f", statistic, lights, model);
                for (const char* counter : {"ns_per_light_sample", "ns_via_renderer", "ns_arnold",
                                            "ns_arnold_shade", "ns_arnold_aovs"}) {
                    const double cost = figure(statistic, counter, lights);
                    std::printf(" | %.1f | %.3f", cost, cost / model);
                }
                std::printf(" |\n");
            }
        }
        std::printf(
            "\n| of | Arnold, 4 lights of 4 samples: ns/light sample | ratio to the model's "
            "16 lights | shadow ray ns/call | ratio to a 1-light camera call |\n");
        std::printf("|---|---:|---:|---:|---:|\n");
        for (const char* statistic : {"single", "median", "min"}) {
            const double model = figure(statistic, "ns_per_light", 16);
            const double fourByFour = figure(statistic, "ns_arnold_4_samples", 4);
            const double shadow = figure(statistic, "ns_arnold_shadow", 0);
            const double camera = figure(statistic, "ns_arnold", 1);
            if (model > 0.0 && camera > 0.0) {
                std::printf("| %s | %.1f | %.3f | %.2f | %.3f |\n", statistic, fourByFour,
                            fourByFour / model, shadow, shadow / camera);
            }
        }
    }

private:
    double figure(const std::string& statistic, const std::string& counter, int lights) const {
        const auto byLights = figures_.find({statistic, counter});
        if (byLights == figures_.end()) {
            return 0.0;
        }
        const auto found = byLights->second.find(lights);
        return found == byLights->second.end() ? 0.0 : found->second;
    }

    // Nanoseconds by statistic and counter, then light count; a single run is
    // overwritten by the next repetition.
    std::map<std::pair<std::string, std::string>, std::map<int, double>> figures_;
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
