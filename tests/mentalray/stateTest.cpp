// What the shader does with the render state.
#include <cstring>

#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using StateTest = StandInTest;

TEST_F(StateTest, StateIsUnchangedAfterReturnAndPriIsNullWhileSampling) {
    const miTag area =
        scene.addAreaLight({-1.0f, -1.0f, 4.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, white, 3);
    const miTag behind = scene.addDirectionalLight({0.0f, 0.0f, -1.0f}, white);
    for (const std::vector<miTag>& lights :
         {std::vector<miTag>{area, behind}, std::vector<miTag>{}}) {
        params.setLights(lights);
        params.setBoolean("useIrradiance", true);
        miState state = workedState();
        ASSERT_NE(state.pri, nullptr);
        unsigned char before[sizeof(miState)];
        std::memcpy(before, &state, sizeof state);
        miColor result = black;
        CallTrace trace;
        renderer.shade(result, state, params, &trace);
        EXPECT_EQ(std::memcmp(before, &state, sizeof state), 0);
        EXPECT_FALSE(trace.priSetWhileSampling);
        EXPECT_EQ(trace.sampledTags.size(), lights.empty() ? 0u : 6u);
    }
}

TEST_F(StateTest, IrradianceStateCarriesTheShadingNormalAndTheHitPrimitive) {
    params.setVector("normalCamera", {0.5f, 0.0f, 0.0f});
    params.setBoolean("useIrradiance", true);
    params.setColor("irradianceColor", white);
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    const miState state = workedState();
    CallTrace trace;
    shade(black, &trace);
    ASSERT_EQ(trace.irradianceCalls, 1);
    const miState& seen = trace.irradianceState;
    // (0.5, 0, 1) normalised.
    expectNear(seen.normal.x, 1.0 / std::sqrt(5.0));
    EXPECT_EQ(seen.normal.y, 0.0f);
    expectNear(seen.normal.z, 2.0 / std::sqrt(5.0));
    EXPECT_EQ(seen.pri, state.pri);
    EXPECT_EQ(seen.options, state.options);
    EXPECT_EQ(seen.shader, state.shader);
    EXPECT_EQ(std::memcmp(&seen.point, &state.point, sizeof state.point), 0);
    EXPECT_EQ(std::memcmp(&seen.dir, &state.dir, sizeof state.dir), 0);
    EXPECT_EQ(std::memcmp(&seen.normal_geom, &state.normal_geom, sizeof state.normal_geom), 0);
}

}  // namespace
}  // namespace lumaveil::mrtest
