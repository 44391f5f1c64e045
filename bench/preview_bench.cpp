// Cost of one sample of the preview tool through each host, beside
// evaluateShading alone for the same sample and the same three lights of the
// default scene. Each host benchmark reports its time per sample as a
// multiple of the model's ("x_model"): for the Maya path that is the node's
// whole data-block round trip (sample geometry, light elements, outColor and
// outTransparency computed and read back); for the renderer path the shader
// call with its light sampling.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include "materialSettings.h"
#include "model/shading.h"
#include "render.h"
#include "scene.h"
#include "swatchRenderers.h"

namespace {

using namespace lumaveil;
using namespace lumaveil::preview;
using Clock = std::chrono::steady_clock;

// A sample on the lit side of the sphere, off its centre.
struct PreviewSample {
    PreviewSample() : scene(defaultScene()) {
        const std::optional<SurfaceSample> hit =
            hitSphere(scene, cameraRay(scene, 0.1f, 0.2f, 1.0f));
        if (!hit) {
            std::abort();
        }
        sample = *hit;
        // The node's defaults: the material leaves every input unset.
        inputs.pointCamera = sample.point;
        inputs.normalCamera = sample.normal;
        for (const SceneLight& light : scene.lights) {
            lights.push_back(mayaLightData(light, sample));
        }
    }

    ShadingOutputs evaluate() const {
        return evaluateShading(inputs, lights, static_cast<int>(lights.size()));
    }

    Scene scene;
    MaterialSettings material;
    SurfaceSample sample{};
    ShadingInputs inputs;
    std::vector<LightSample> lights;
};

const PreviewSample& previewSample() {
    static const PreviewSample instance;
    return instance;
}

// The model's time per sample, the best of a few timed runs.
double modelNanoseconds() {
    static const double best = [] {
        const PreviewSample& s = previewSample();
        constexpr int iterations = 200000;
        double fastest = 1e30;
        for (int run = 0; run < 5; ++run) {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < iterations; ++i) {
                ShadingInputs in = s.inputs;
                benchmark::DoNotOptimize(in);
                benchmark::DoNotOptimize(
                    evaluateShading(in, s.lights, static_cast<int>(s.lights.size())));
            }
            const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
            fastest = std::min(fastest, spent.count() / iterations);
        }
        return fastest;
    }();
    return best;
}

void evaluateShadingPerSample(benchmark::State& state) {
    const PreviewSample& s = previewSample();
    for (auto _ : state) {
        ShadingInputs in = s.inputs;
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(evaluateShading(in, s.lights, static_cast<int>(s.lights.size())));
    }
}
BENCHMARK(evaluateShadingPerSample);

void shadePerSample(benchmark::State& state, SwatchRenderer& renderer) {
    const PreviewSample& s = previewSample();
    const double model = modelNanoseconds();
    const std::unique_ptr<SwatchShader> shader = renderer.newShader(s.material, s.scene);
    FloatVector color, transparency;
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        shader->shade(s.sample, color, transparency);
        benchmark::DoNotOptimize(color);
        benchmark::DoNotOptimize(transparency);
    }
    const std::chrono::duration<double, std::nano> spent = Clock::now() - start;
    state.counters["x_model"] = spent.count() / static_cast<double>(state.iterations()) / model;
}

void mayaPerSample(benchmark::State& state) {
    static const std::unique_ptr<SwatchRenderer> maya =
        loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH);
    shadePerSample(state, *maya);
}
BENCHMARK(mayaPerSample);

void mentalrayPerSample(benchmark::State& state) {
    static const std::unique_ptr<SwatchRenderer> mentalray =
        loadMentalraySwatchRenderer(QV7K_SHADER_PATH, builtRendererModulePath());
    shadePerSample(state, *mentalray);
}
BENCHMARK(mentalrayPerSample);

}  // namespace

BENCHMARK_MAIN();
