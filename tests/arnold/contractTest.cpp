// The Arnold shader gives what the Maya node gives for the same point and
// lights, call after call, for any material a finite colour not below 0, and
// restores what it changes of the context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "arnoldCalls.h"

namespace lumaveil::arnoldtest {
namespace {

bool sameBits(const AtRGB& a, FloatVector b) {
    const float got[3] = {a.r, a.g, a.b};
    return std::memcmp(got, &b, sizeof got) == 0;
}

TEST(ArnoldShader, EveryCallKeepsTheContractWithTheMayaNode) {
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    test::RandomScene rng(29);
    int withBackLights = 0, shadowed = 0, transparent = 0, areaLights = 0, unlit = 0;
    for (int i = 0; i < 20000; ++i) {
        const Call call = randomCall(rng, i);
        test::setMaterial(shader, call.material);
        const aihost::Lights lights(call.lights);
        const aihost::ShadeResult got = shader.shade(call.point, lights, call.samples);
        const ShadingOutputs expected = contractColour(call);

        ASSERT_EQ(got.emissionClosures, 1) << "call " << i;
        ASSERT_TRUE(sameBits(got.emission, expected.outColor))
            << "call " << i << ": " << got.emission.r << " " << got.emission.g << " "
            << got.emission.b << " against " << expected.outColor.x << " " << expected.outColor.y
            << " " << expected.outColor.z;
        for (const float channel : {got.emission.r, got.emission.g, got.emission.b}) {
            ASSERT_TRUE(std::isfinite(channel) && channel >= 0.0f) << "call " << i;
        }
        // The transparency as the model holds it: within [0, 1], a channel
        // that is not a number at its default.
        const FloatVector& t = expected.outTransparency;
        const bool seeThrough = t.x > 0.0f || t.y > 0.0f || t.z > 0.0f;
        ASSERT_EQ(got.transparentClosures, seeThrough ? 1 : 0) << "call " << i;
        if (seeThrough) {
            ASSERT_TRUE(sameBits(got.transparency, t)) << "call " << i;
        }
        // Every sample reaches the shader, from behind the surface too.
        ASSERT_EQ(got.samplesHandedOut, static_cast<int>(call.samples.size())) << "call " << i;
        ASSERT_TRUE(got.fhemiRestored) << "call " << i;

        for (const auto& s : call.samples) {
            withBackLights += AiV3Dot(s.direction, call.point.Nf) < 0.0f;
            shadowed += s.occlusion != AtRGB(0.0f);
            areaLights += s.pdf > 1.0f;
        }
        transparent += seeThrough;
        unlit += call.lights.empty();
    }
    // The run covered what it is for.
    EXPECT_GT(withBackLights, 1000);
    EXPECT_GT(shadowed, 1000);
    EXPECT_GT(transparent, 1000);
    EXPECT_GT(areaLights, 1000);
    EXPECT_GT(unlit, 100);
}

// The stand-in hands out only lights above the surface while fhemi is set,
// as Arnold does: a shader that leaves it set never sees a light from behind.
TEST(ArnoldShader, LightsBehindTheSurfaceReachTheGlowOnlyWithTheHemisphereOpened) {
    aihost::Shader lumaVeil(LUMAVEIL_ARNOLD_SHADER_PATH);
    aihost::Shader frontOnly(FRONT_LIGHTS_SHADER_PATH, "frontLights");
    const aihost::Lights lights({aihost::LightWeights{}});
    LightSampleValues behind;
    behind.direction = AtVector(0.0f, 0.0f, -1.0f);
    aihost::ShadingPoint point;
    point.fhemi = true;

    const aihost::ShadeResult glow = lumaVeil.shade(point, lights, {behind});
    EXPECT_EQ(glow.samplesHandedOut, 1);
    EXPECT_GT(glow.emission.r, 0.0f);
    EXPECT_TRUE(glow.fhemiRestored);

    const aihost::ShadeResult none = frontOnly.shade(point, lights, {behind});
    EXPECT_EQ(none.samplesHandedOut, 0);
    EXPECT_EQ(none.emission, AtRGB(0.0f));
}

}  // namespace
}  // namespace lumaveil::arnoldtest
