// Cost of the renderer shader per light sample, through the stand-in
// renderer, beside the model's cost per light on the same material: 1, 4 and
// 16 directional lights of one sample each, with the binding cache warm. After
// the runs it prints the shader's cost over the model's, from the medians and
// the least of the repetitions when the runs are repeated. On a shared
// machine run it as
//   mentalray_bench --benchmark_repetitions=20 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchScenes.h"
#include "bench/modelBenchmark.h"
#include "mrhost/renderer.h"

namespace {

using namespace lumaveil::mrhost;

void shaderPerLightSample(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Renderer renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
    Scene scene;
    ParameterBlock params = renderer.makeParameters();
    params.setColor("color", {0.8f, 0.45f, 0.35f, 1.0f});
    params.setScalar("diffuseAnisotropy", 0.1f);
    std::vector<miTag> tags;
    for (int i = 0; i < count; ++i) {
        const lumaveil::FloatVector d = lumaveil::bench::benchLightDirection(i);
        tags.push_back(scene.addDirectionalLight({d.x, d.y, d.z}, {1.0f, 1.0f, 1.0f, 1.0f}));
    }
    params.setLights(tags);
    miState sample = Renderer::makeState(
        scene, params,
        SamplePoint{{0.1f, -0.2f, -5.0f}, {0.0f, 0.0f, 1.0f}, {0.02f, -0.04f, -1.0f}});
    for (auto _ : state) {
        miState s = sample;
        miColor result{0.0f, 0.0f, 0.0f, 0.0f};
        renderer.shade(result, s, params);
        benchmark::DoNotOptimize(result);
    }
    state.counters["ns_per_light_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The least of the repetitions: on a shared machine the other load only ever
// adds time.
double least(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Each light count's model and shader run one after the other.
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(1)->ComputeStatistics("min", least);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(4)->ComputeStatistics("min", least);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(16)->ComputeStatistics("min", least);
BENCHMARK(shaderPerLightSample)->Arg(16)->ComputeStatistics("min", least);

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
                 {std::pair{"ns_per_light", 0}, std::pair{"ns_per_light_sample", 1}}) {
                const auto found = run.counters.find(counter);
                if (found != run.counters.end()) {
                    figures_[{statistic, lights}][path] = found->second.value * 1e9;
                }
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n| of | lights | model ns/light | shader ns/light sample | ratio |\n");
        std::printf("|---|---:|---:|---:|---:|\n");
        for (const auto& [key, costs] : figures_) {
            const auto& [statistic, lights] = key;
            if (statistic == "single" || statistic == "median" || statistic == "min") {
                if (costs[0] > 0.0 && costs[1] > 0.0) {
                    std::printf("| %s | %d | %.1f | %.1f | %.3f |\n", statistic.c_str(), lights,
                                costs[0], costs[1], costs[1] / costs[0]);
                }
            }
        }
    }

private:
    // Nanoseconds of the model [0] and the shader [1], by statistic and
    // light count; a single run is overwritten by the next repetition.
    std::map<std::pair<std::string, int>, std::array<double, 2>> figures_;
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
