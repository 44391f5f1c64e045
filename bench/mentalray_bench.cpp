// Cost of the renderer shader per light sample, through the stand-in
// renderer: 1, 4 and 16 directional lights of one sample each, with the
// binding cache warm.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/BenchScenes.h"
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
BENCHMARK(shaderPerLightSample)->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
