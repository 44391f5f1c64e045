// One shading sample on one path, for an instruction count under callgrind:
//   bench_one_sample model|maya|mentalray|arnold LIGHTS
// Each path shades the bench scene (BenchScenes.h) as its benchmark does, and
// is warmed up first (the plug-in loaded, the renderer's functions bound, the
// host's storage grown); collection covers one sample only when callgrind
// runs with --collect-atstart=no.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "BenchScenes.h"
#include "model/shading.h"
#include "mrhost/renderer.h"

namespace {

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
        std::fprintf(stderr, "usage: %s model|maya|mentalray|arnold LIGHTS\n", argv[0]);
        return 2;
    }
    const std::string_view path = argv[1];
    const int count = std::atoi(argv[2]);

    if (path == "model") {
        const lumaveil::ShadingInputs in = lumaveil::bench::benchInputs();
        const std::vector<lumaveil::LightSample> lights = lumaveil::bench::benchLights(count);
        volatile float sink = 0.0f;
        measure([&] { sink = lumaveil::evaluateShading(in, lights, count).outColor.x; });
        return 0;
    }
    if (path == "maya") {
        lumaveil::bench::MayaBenchScene bench(count);
        measure([&] { bench.node.compute(bench.outColor); });
        return 0;
    }
    if (path == "mentalray") {
        lumaveil::bench::RendererBenchScene bench(count);
        volatile float sink = 0.0f;
        measure([&] {
            miColor result{0.0f, 0.0f, 0.0f, 0.0f};
            bench.shade(result);
            sink = result.r;
        });
        return 0;
    }
#if defined(LUMAVEIL_ARNOLD_SHADER_PATH)
    if (path == "arnold") {
        const lumaveil::bench::ArnoldBenchScene bench(count);
        lumaveil::aihost::PreparedCall call = bench.prepared();
        volatile float sink = 0.0f;
        measure([&] { sink = call.evaluate().r; });
        return 0;
    }
#endif
    std::fprintf(stderr, "unknown path %s\n", argv[1]);
    return 2;
}
