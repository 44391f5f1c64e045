// Cost of the renderer shader per light sample, through the stand-in
// renderer, beside the model's cost per light on the same material: 1, 4 and
// 16 directional lights of one sample each, with the binding cache warm. After
// the runs it prints the shader's cost over the model's, from the medians when
// the runs are repeated. On a shared machine run it as
//   mentalray_bench --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchScenes.h"
#include "bench/modelBenchmark.h"
#include "hosts/mentalray/standInRenderer.h"

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

// Each light count's model and shader run one after the other.
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(1);
BENCHMARK(shaderPerLightSample)->Arg(1);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(4);
BENCHMARK(shaderPerLightSample)->Arg(4);
BENCHMARK(lumaveil::bench::evaluateShadingPerLight)->Arg(16);
BENCHMARK(shaderPerLightSample)->Arg(16);

// The console report, then the cost per light of both paths and their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median) {
                keep(run, "ns_per_light", model_, median);
                keep(run, "ns_per_light_sample", shader_, median);
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n| lights | model ns/light | shader ns/light sample | ratio |\n");
        std::printf("|---:|---:|---:|---:|\n");
        for (const auto& [lights, model] : model_) {
            const auto shader = shader_.find(lights);
            if (shader != shader_.end()) {
                std::printf("| %d | %.1f | %.1f | %.3f |\n", lights, model.value,
                            shader->second.value, shader->second.value / model.value);
            }
        }
    }

private:
    struct Figure {
        double value = 0.0;  // nanoseconds
        bool fromMedian = false;
    };

    // A median replaces single runs; a single run never replaces a median.
    static void keep(const Run& run, const char* counter, std::map<int, Figure>& figures,
                     bool median) {
        const auto found = run.counters.find(counter);
        if (found == run.counters.end()) {
            return;
        }
        Figure& figure = figures[std::stoi(run.run_name.args)];
        if (median || !figure.fromMedian) {
            figure = {found->second.value * 1e9, median};
        }
    }

    std::map<int, Figure> model_;
    std::map<int, Figure> shader_;
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
