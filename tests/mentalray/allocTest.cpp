// The shader allocates nothing. This executable counts the allocations of the
// thread that shades; the stand-in renderer's own per-thread storage is set
// up by a first call before counting starts.
#include <cstring>
#include <vector>

#include "allocationCounter.h"
#include "standInFixture.h"

using lumaveil::test::allocations;

namespace lumaveil::mrtest {
namespace {

using AllocTest = StandInTest;

TEST_F(AllocTest, ShadingAllocatesNothing) {
    params.connect("color", [](const miState&, void* out) {
        const miColor value{0.1f, 0.2f, 0.3f, 1.0f};
        std::memcpy(out, &value, sizeof value);
    });
    std::vector<miTag> lights;
    for (int i = 0; i < 16; ++i) {
        lights.push_back(scene.addAreaLight({-1.0f, -1.0f, 3.0f}, {2.0f, 0.0f, 0.0f},
                                            {0.0f, 2.0f, 0.0f}, white, 1 + i % 4));
    }
    params.setBoolean("useIrradiance", true);
    params.setColor("irradianceColor", white);
    scene.setIrradiance({1.0f, 1.0f, 1.0f, 1.0f});

    for (int count : {0, 1, 4, 16}) {
        params.setLights(lights, 0, count);
        shade();                            // the renderer's first call on this block
        renderer.bind(MRHOST_MODULE_PATH);  // and a cold binding cache
        miState state = workedState();
        miColor result = black;
        const long before = allocations;
        renderer.shade(result, state, params);
        renderer.shade(result, state, params);
        EXPECT_EQ(allocations - before, 0) << count << " lights";
    }
}

}  // namespace
}  // namespace lumaveil::mrtest
