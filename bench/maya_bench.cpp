// Cost of the node's compute per light, through the stand-in host's data
// block, beside evaluateShading on the same sample: the difference is the
// glue of compute (and the stand-in's data-block handles).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchScenes.h"
#include "mayahost/host.h"
#include "model/shading.h"

namespace {

using lumaveil::FloatVector;

std::array<float, 3> arr(FloatVector v) {
    return {v.x, v.y, v.z};
}

struct MayaFixture {
    MayaFixture() {
        host.setCallLogEnabled(false);
        std::string error;
        if (!host.loadPlugin(LUMAVEIL_PLUGIN_PATH, &error)) {
            std::abort();
        }
        node = host.createNode("lumaVeil");
        const lumaveil::ShadingInputs in = lumaveil::bench::benchInputs();
        node.setFloat3("color", arr(in.color));
        node.setFloat("diffuseAnisotropy", in.diffuseAnisotropy);
        node.setFloat("diffuse", in.diffuse);
        node.setFloat("refractiveIndex", in.refractiveIndex);
        node.setFloat("anisotropy", in.anisotropy);
        node.setFloat("diffuseReflection", in.diffuseReflection);
        node.setFloat("diffuseScatter", in.diffuseScatter);
        node.setFloat("eccentricity", in.eccentricity);
        node.setFloat("specularRollOff", in.specularRollOff);
        node.setSampleGeometry(arr(in.pointCamera), arr(in.normalCamera), {0.0f, 0.0f, -1.0f});
        outColor = node.attribute("outColor");
    }

    void setLights(int count) {
        node.setLightCount(count);
        const std::vector<lumaveil::LightSample> lights = lumaveil::bench::benchLights(count);
        for (int i = 0; i < count; ++i) {
            mayahost::LightValues v;
            v.direction = arr(lights[static_cast<std::size_t>(i)].lightDirection);
            v.intensity = {1.0f, 1.0f, 1.0f};
            v.ambient = v.diffuse = v.specular = true;
            node.setLight(i, v);
        }
    }

    mayahost::Host host;
    mayahost::Node node;
    mayahost::AttributeRef outColor;
};

MayaFixture& fixture() {
    static MayaFixture instance;
    return instance;
}

void perLight(benchmark::State& state, int count) {
    state.counters["ns_per_light"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void computePerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    MayaFixture& f = fixture();
    f.setLights(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.node.compute(f.outColor));
    }
    perLight(state, count);
}
BENCHMARK(computePerLight)->Arg(1)->Arg(4)->Arg(16);

// The same sample without the host, for the glue's share.
void evaluateShadingPerLight(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    lumaveil::ShadingInputs in = lumaveil::bench::benchInputs();
    const std::vector<lumaveil::LightSample> lights = lumaveil::bench::benchLights(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(in);
        benchmark::DoNotOptimize(lumaveil::evaluateShading(in, lights, count));
    }
    perLight(state, count);
}
BENCHMARK(evaluateShadingPerLight)->Arg(1)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
