// The Arnold shader gives what the Maya node gives for the same point and
// lights, call after call, for any material a finite colour not below 0, and
// restores what it changes of the context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "arnoldCalls.h"
#include "namedMaterial.h"
#include "referenceShading.h"
#include "workedExample.h"

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
