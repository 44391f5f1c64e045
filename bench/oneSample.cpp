// One shading sample on one path, for an instruction count under callgrind:
//   bench_one_sample model|maya|mentalray LIGHTS
// The path is warmed up first (the plug-in loaded, the renderer's functions
// bound, the host's storage grown); collection covers one sample only when
// callgrind runs with --collect-atstart=no.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchScenes.h"
#include "mayahost/host.h"
#include "model/shading.h"
#include "mrhost/renderer.h"

namespace {

using lumaveil::FloatVector;

std::array<float, 3> arr(FloatVector v) {
    return {v.x, v.y, v.z};
}

template <class Sample>
void measure(Sample&& sample) {
    for (int i = 0; i < 10; ++i) {
        sample();
    }
    CALLGRIND_TOGGLE_COLLECT;
    sample();
    CALLGRIND_TOGGLE_COLLECT;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s model|maya|mentalray LIGHTS\n", argv[0]);
        return 2;
    }
    const std::string_view path = argv[1];
    const int count = std::atoi(argv[2]);
    const lumaveil::ShadingInputs in = lumaveil::bench::benchInputs();
    const std::vector<lumaveil::LightSample> lights = lumaveil::bench::benchLights(count);

    if (path == "model") {
        volatile float sink = 0.0f;
        measure([&] { sink = lumaveil::evaluateShading(in, lights, count).outColor.x; });
        return 0;
    }
    if (path == "maya") {
        mayahost::Host host;
        host.setCallLogEnabled(false);
        if (!host.loadPlugin(LUMAVEIL_PLUGIN_PATH)) {
            return 1;
        }
        mayahost::Node node = host.createNode("lumaVeil");
        node.setFloat3("color", arr(in.color));
        node.setFloat("diffuseAnisotropy", in.diffuseAnisotropy);
        node.setSampleGeometry(arr(in.pointCamera), arr(in.normalCamera), {0.0f, 0.0f, -1.0f});
        node.setLightCount(count);
        for (int i = 0; i < count; ++i) {
            mayahost::LightValues v;
            v.direction = arr(lights[static_cast<std::size_t>(i)].lightDirection);
            v.intensity = {1.0f, 1.0f, 1.0f};
            v.ambient = v.diffuse = v.specular = true;
            node.setLight(i, v);
        }
        const mayahost::AttributeRef outColor = node.attribute("outColor");
        measure([&] { node.compute(outColor); });
        return 0;
    }
    if (path == "mentalray") {
        using namespace lumaveil::mrhost;
        Renderer renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
        Scene scene;
        ParameterBlock params = renderer.makeParameters();
        params.setColor("color", {0.8f, 0.45f, 0.35f, 1.0f});
        params.setScalar("diffuseAnisotropy", 0.1f);
        std::vector<miTag> tags;
        for (int i = 0; i < count; ++i) {
            const FloatVector d = lumaveil::bench::benchLightDirection(i);
            tags.push_back(scene.addDirectionalLight({d.x, d.y, d.z}, {1.0f, 1.0f, 1.0f, 1.0f}));
        }
        params.setLights(tags);
        const miState sample = Renderer::makeState(
            scene, params,
            SamplePoint{{0.1f, -0.2f, -5.0f}, {0.0f, 0.0f, 1.0f}, {0.02f, -0.04f, -1.0f}});
        measure([&] {
            miState s = sample;
            miColor result{0.0f, 0.0f, 0.0f, 0.0f};
            renderer.shade(result, s, params);
        });
        return 0;
    }
    std::fprintf(stderr, "unknown path %s\n", argv[1]);
    return 2;
}
