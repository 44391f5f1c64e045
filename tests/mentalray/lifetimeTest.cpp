// The shader across many renders: rebound with miSetModuleHandle between
// renders, and loaded afresh by one renderer after another. Every render must
// give the same colour; under LeakSanitizer nothing may leak.
#include <cstring>

#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using LifetimeTest = StandInTest;

TEST_F(LifetimeTest, RebindingBetweenRendersKeepsTheColour) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    const miColor first = shade();
    for (int render = 0; render < 1000; ++render) {
        if (render % 3 == 2) {
            renderer.bindNullHandle();  // a render that never starts
        }
        renderer.bind(MRHOST_MODULE_PATH);
        const miColor again = shade();
        ASSERT_EQ(std::memcmp(&again, &first, sizeof first), 0) << "render " << render;
    }
}

TEST(ShaderLifetime, LoadingTheShaderAfreshKeepsTheColour) {
    miColor first{};
    for (int load = 0; load < 100; ++load) {
        Renderer renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH);
        LightList scene;
        ParameterBlock params = renderer.makeParameters();
        setWorkedMaterial(params);
        params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
        const miColor colour = renderer.shade(
            scene, params,
            SamplePoint{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}});
        if (load == 0) {
            first = colour;
            expectRgb(colour, reference::shaderColour(workedCall({{above}})));
        }
        ASSERT_EQ(std::memcmp(&colour, &first, sizeof first), 0) << "load " << load;
    }
}

}  // namespace
}  // namespace lumaveil::mrtest
