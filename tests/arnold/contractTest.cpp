// The Arnold shader gives what the Maya node gives for the same point and
// lights, call after call, through links, bumps, broken light samples, odd
// values and every kind of ray; restores what it changes of the context; and
// writes its AOVs on camera rays alone. Shaders built with a fault the
// contract forbids are caught by the same check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arnoldCalls.h"

namespace lumaveil::arnoldtest {
namespace {

TEST(ArnoldShader, EveryCallKeepsTheContractWithTheMayaNode) {
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    test::RandomScene rng(29);
    Call previous;
    int withBackLights = 0, shadowed = 0, transparent = 0, areaLights = 0, unlit = 0;
    int shadowRays = 0, shadowRaysThrough = 0, indirectRays = 0, linkedCalls = 0, bumped = 0,
        brokenSamples = 0, oddValues = 0, allAOVs = 0;
    for (int i = 0; i < 20000; ++i) {
        const Call call = randomCall(rng, i, i % 8 != 0);
        setUp(shader, call, previous);
        const aihost::ShadeResult got = shade(shader, call);
        const std::string breach = contractBreach(call, got);
        ASSERT_EQ(breach, "") << "call " << i << " (ray type " << int(call.point.rayType) << ")";

        for (const auto& s : call.samples) {
            withBackLights += AiV3Dot(s.direction, call.point.Nf) < 0.0f;
            shadowed += s.occlusion != AtRGB(0.0f);
            areaLights += s.pdf > 1.0f;
            brokenSamples += !usable(s);
        }
        const AtRGB t = shadowTransparency(call);
        transparent += t.r > 0.0f || t.g > 0.0f || t.b > 0.0f;
        unlit += call.lights.empty();
        shadowRays += call.point.rayType == AI_RAY_SHADOW;
        shadowRaysThrough += call.point.rayType == AI_RAY_SHADOW && got.transparentClosures == 1;
        indirectRays += (call.point.rayType & (AI_RAY_CAMERA | AI_RAY_SHADOW)) == 0;
        linkedCalls += got.parameterEvaluations > 0;
        bumped += call.linked[normalIndex];
        oddValues +=
            !(inputsAt(call).refractiveIndex >= 1.0f) || !(inputsAt(call).transparency.x <= 1.0f);
        allAOVs += got.aovsStored == 5;
    }
    EXPECT_EQ(shader.linkedParameterReads(), 0) << "a linked parameter was read as stored";
    // The run covered what it is for.
    EXPECT_GT(withBackLights, 1000);
    EXPECT_GT(shadowed, 1000);
    EXPECT_GT(transparent, 1000);
    EXPECT_GT(areaLights, 1000);
    EXPECT_GT(unlit, 100);
    EXPECT_GT(shadowRays, 1000);
    EXPECT_GT(shadowRaysThrough, 300);
    EXPECT_GT(indirectRays, 1000);
    EXPECT_GT(linkedCalls, 5000);
    EXPECT_GT(bumped, 5000);
    EXPECT_GT(brokenSamples, 1000);
    EXPECT_GT(oddValues, 500);
    EXPECT_GT(allAOVs, 300);
}

// Built from the shader's own source with one fault each: the check above
// fails them.
TEST(ArnoldShader, TheContractCatchesAShaderThatBreaksIt) {
    const struct {
        const char* library;
        const char* fault;
    } faulty[] = {
        {FAULT_CACHES_LINKED_PATH, "reads its linked parameters once, in node_update"},
        {FAULT_SHADES_SHADOW_RAYS_PATH, "shades shadow rays as camera rays, AOVs included"},
    };
    for (const auto& f : faulty) {
        aihost::Shader shader(f.library);
        test::RandomScene rng(29);
        Call previous;
        int breaches = 0;
        for (int i = 0; i < 200; ++i) {
            const Call call = randomCall(rng, i, true);
            setUp(shader, call, previous);
            breaches += !contractBreach(call, shade(shader, call)).empty();
        }
        EXPECT_GT(breaches, 20) << "a shader that " << f.fault;
    }
    aihost::enableAOVs({});
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
