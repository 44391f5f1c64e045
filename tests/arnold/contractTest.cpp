// The Arnold shader gives what the Maya node gives for the same point and
// lights, call after call, through links, bumps, broken light samples, odd
// values and every kind of ray, for any material with a finite colour not
// below 0; restores what it changes of the context; and writes its AOVs on
// camera rays alone. Shaders built with a fault the contract forbids are
// caught by the same check.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "arnoldCalls.h"
#include "namedMaterial.h"
#include "referenceShading.h"
#include "workedExample.h"

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

// Each parameter set by its own name shades as the reference given the field
// of that name: no parameter reaches another's field.
TEST(ArnoldShader, EachParameterSetByItsNameReachesItsField) {
    ASSERT_TRUE(test::everyRowIsNamed()) << "tests/support/namedMaterial.h";
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    ShadingInputs in = test::namedMaterial();
    for (const test::NamedField& field : test::namedFields) {
        const FloatVector v = test::namedValue(in, field);
        ASSERT_TRUE(field.colour ? shader.setRGB(field.name, test::atRGB(v))
                                 : shader.setFloat(field.name, v.x))
            << field.name;
    }
    // Seen 30 degrees off the normal; a light near the mirror direction and
    // one behind the surface, one sample each.
    aihost::ShadingPoint point;
    point.Ro = AtVector(-2.5f, 0.0f, 4.3301270f);
    const FloatVector front{0.4f, 0.3f, 0.8660254f}, behind{0.0f, 0.6f, -0.8f};
    const FloatVector frontColour{1.2f, 0.9f, 0.7f}, behindColour{0.6f, 0.8f, 1.1f};
    LightSampleValues frontSample, behindSample;
    frontSample.direction = test::atVector(front);
    frontSample.unoccluded = test::atRGB(frontColour);
    behindSample.light = 1;
    behindSample.direction = test::atVector(behind);
    behindSample.unoccluded = test::atRGB(behindColour);
    const aihost::Lights lights({aihost::LightWeights{}, aihost::LightWeights{}});
    const aihost::ShadeResult got = shader.shade(point, lights, {frontSample, behindSample});

    // Each sample as the node's light records: one for the matte and
    // translucent terms, whose intensity before shadowing is the mean of the
    // colour, and one for the highlight.
    std::vector<LightSample> records;
    for (const auto& [direction, colour] :
         {std::pair{front, frontColour}, {behind, behindColour}}) {
        LightSample diffuse = test::workedLight(direction, false);
        diffuse.lightIntensity = colour;
        diffuse.preShadowIntensity = (colour.x + colour.y + colour.z) / 3.0f;
        LightSample specular = diffuse;
        specular.lightDiffuse = false;
        specular.lightSpecular = true;
        records.push_back(diffuse);
        records.push_back(specular);
    }
    in.pointCamera = {2.5f, 0.0f, -4.3301270f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    const reference::Rgb expected = reference::modelColour(in, records, 2);
    const float emission[] = {got.emission.r, got.emission.g, got.emission.b};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(emission[k], expected[static_cast<std::size_t>(k)], 1e-5) << "channel " << k;
    }
    EXPECT_EQ(got.transparency, test::atRGB(in.transparency));
}

// The transparent closure is there as soon as one channel lets light through,
// whichever it is, with the weight of each channel.
TEST(ArnoldShader, OneSeeThroughChannelGivesTheTransparentClosure) {
    aihost::Shader shader(LUMAVEIL_ARNOLD_SHADER_PATH);
    const aihost::Lights lights({aihost::LightWeights{}});
    for (int k = 0; k < 3; ++k) {
        FloatVector transparency{};
        transparency[k] = 0.25f;
        ASSERT_TRUE(shader.setRGB("transparency", test::atRGB(transparency)));
        const aihost::ShadeResult got =
            shader.shade(aihost::ShadingPoint{}, lights, {LightSampleValues{}});
        EXPECT_EQ(got.transparentClosures, 1) << "channel " << k;
        EXPECT_EQ(got.transparency, test::atRGB(transparency)) << "channel " << k;
    }
}

}  // namespace
}  // namespace lumaveil::arnoldtest
