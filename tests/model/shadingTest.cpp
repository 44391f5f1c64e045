#include "model/shading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "model/albedo.h"
#include "model/floatMath.h"
#include "model/materialAttributes.h"
#include "model/optics.h"
#include "referenceShading.h"
#include "workedExample.h"

namespace lumaveil {
namespace {

using test::ambientAndIncandescentInputs;
using test::halfSqrt2;
using test::workedInputs;
using test::workedLight;

FloatVector shade(const ShadingInputs& in, std::vector<LightSample> lights, int count = -1) {
    return evaluateShading(in, lights, count < 0 ? static_cast<int>(lights.size()) : count)
        .outColor;
}

// Within a relative 1e-6 (or `relative`), and 1e-7 of zero, of the formula
// evaluated in double precision.
void expectReference(FloatVector c, const ShadingInputs& in, std::vector<LightSample> lights,
                     int count = -1, double relative = 1e-6) {
    const reference::Rgb expected =
        reference::modelColour(in, lights, count < 0 ? static_cast<int>(lights.size()) : count);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(c[k], expected[k], relative * std::fabs(expected[k]) + 1e-7) << "channel " << k;
    }
}

// The shading of `lights` checked against the reference.
void expectShading(const ShadingInputs& in, const std::vector<LightSample>& lights) {
    expectReference(shade(in, lights), in, lights);
}

void expectFinite(FloatVector c) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(std::isfinite(c[k])) << "channel " << k << " is " << c[k];
    }
}

TEST(EvaluateShading, WorkedExampleAtNormalIncidence) {
    expectShading(workedInputs(), {workedLight()});
    expectShading(workedInputs(), {workedLight({0, 0, 1}, false)});
}

// Every editable attribute changes the colour, and as the reference says,
// seen from three sides: head-on with a light at 45 degrees, at a grazing view
// with a grazing light, and with the light behind the surface. Each side must
// agree with the reference, and at least one must see the attribute: a row
// whose field the model or the reference leaves unused fails here, and so
// does a term of one side only (a sheen at grazing views, a back-lit glow)
// that one of them leaves out.
TEST(EvaluateShading, EveryAttributeChangesTheColourAsTheReferenceSays) {
    struct Side {
        const char* name;
        FloatVector pointCamera;
        LightSample light;
    };
    LightSample headOnLight = workedLight({0.0f, halfSqrt2, halfSqrt2});
    headOnLight.lightAmbient = true;
    // The eye 85 degrees off the normal; the light 80 degrees off it across
    // the normal, near the mirror direction: the highlight at its fullest.
    const FloatVector grazingView{4.9809735f, 0.0f, -0.43577871f};
    const LightSample grazingLight = workedLight({0.98480775f, 0.0f, 0.17364818f});
    // The eye 30 degrees off the normal; the light 60 degrees below the
    // surface, to the side.
    const FloatVector obliqueView{2.5f, 0.0f, -4.3301270f};
    const LightSample behindLight = workedLight({0.0f, 0.5f, -0.8660254f});
    const Side sides[] = {{"head-on", test::workedPoint, headOnLight},
                          {"grazing", grazingView, grazingLight},
                          {"lit from behind", obliqueView, behindLight}};

    for (const MaterialAttribute& a : materialAttributes) {
        SCOPED_TRACE(std::string(a.longName));
        const float end = static_cast<float>(a.softMax.value_or(1.0));
        const FloatVector value =
            a.isColour() ? FloatVector{0.8f, 0.3f, 0.6f} : FloatVector{end, 0.0f, 0.0f};
        int seenFrom = 0;
        for (const Side& side : sides) {
            SCOPED_TRACE(side.name);
            ShadingInputs in = workedInputs();
            in.pointCamera = side.pointCamera;
            const FloatVector unchanged = shade(in, {side.light});
            setIn(in, a, value);
            const FloatVector changed = shade(in, {side.light});
            seenFrom += changed != unchanged;
            // Near its peak a narrow highlight is steep: a rounding of its
            // cosine moves it by some 1e-5 of itself.
            expectReference(changed, in, {side.light}, -1, 2e-5);
        }
        EXPECT_GT(seenFrom, 0) << "no side sees a change of " << a.longName;
    }
}

TEST(EvaluateShading, LightAtFortyFiveDegrees) {
    expectShading(workedInputs(), {workedLight({0.0f, halfSqrt2, halfSqrt2})});
}

TEST(EvaluateShading, LightBehindReachesOnlyThroughTheSubsurfaceTerm) {
    expectShading(workedInputs(), {workedLight({0, 0, -1}, false)});
}

TEST(EvaluateShading, LightCountDividesTheSubsurfaceSum) {
    LightSample dark = workedLight();
    dark.lightDiffuse = dark.lightSpecular = dark.lightAmbient = false;
    expectShading(workedInputs(), {workedLight({0, 0, 1}, false), dark});
}

TEST(EvaluateShading, WithoutLightsOnlyAmbientAndIncandescenceRemain) {
    ShadingInputs in = ambientAndIncandescentInputs();
    const ShadingOutputs out = evaluateShading(in, {}, 0);
    EXPECT_FLOAT_EQ(out.outColor.x, 0.2f);
    EXPECT_FLOAT_EQ(out.outColor.y, 0.1f);
    EXPECT_FLOAT_EQ(out.outColor.z, 0.1f);

    in.transparency = {0.5f, 0.5f, 1.0f};
    const ShadingOutputs seeThrough = evaluateShading(in, {}, 0);
    EXPECT_FLOAT_EQ(seeThrough.outColor.x, 0.1f);
    EXPECT_FLOAT_EQ(seeThrough.outColor.z, 0.0f);
    EXPECT_EQ(seeThrough.outTransparency, in.transparency);
}

TEST(EvaluateShading, FullTransparencyLeavesTheSpecularSum) {
    ShadingInputs in = workedInputs();
    in.transparency = {1.0f, 0.0f, 0.0f};
    const FloatVector c = shade(in, {workedLight()});
    EXPECT_NEAR(c.x, 0.35f, 1e-6f);  // the lobe's peak 0.7 of the specular colour 0.5
    expectReference(c, in, {workedLight()});
}

TEST(EvaluateShading, ABlackChannelKeepsOnlySpecularAndIncandescence) {
    ShadingInputs in = workedInputs();
    in.color = {0.0f, 0.5f, 0.5f};
    in.incandescence = {0.05f, 0.0f, 0.0f};
    in.ambientColor = {0.3f, 0.3f, 0.3f};
    LightSample light = workedLight();
    light.lightAmbient = true;
    EXPECT_NEAR(shade(in, {light}).x, 0.35f + 0.05f, 1e-6f);
}

TEST(EvaluateShading, LightBelowTheHorizonLowersTheSpecularSumButNotTheColourBelowZero) {
    // The half vector of a light just below the horizon and a grazing eye
    // still lies on the normal's side, so G is negative: the highlight takes
    // from what the other lights give, and alone it leaves black, not a
    // negative colour.
    ShadingInputs in = workedInputs();
    in.pointCamera = {-1.0f, 0.0f, -0.2f};
    in.eccentricity = 1.0f;
    const FloatVector l = {0.995f, 0.0f, -0.0998f};
    LightSample specularOnly = workedLight(l);
    specularOnly.lightDiffuse = false;
    LightSample unlit = specularOnly;
    unlit.lightSpecular = false;
    const LightSample front = workedLight({0.0f, 0.0f, 1.0f}, false);
    EXPECT_LT(shade(in, {front, specularOnly}).x, shade(in, {front, unlit}).x);
    EXPECT_EQ(shade(in, {specularOnly}), (FloatVector{0.0f, 0.0f, 0.0f}));
}

TEST(EvaluateShading, ZeroAnisotropyMakesThePhaseWeightOne) {
    ShadingInputs in = workedInputs();
    in.anisotropy = in.diffuseAnisotropy = 0.0f;
    ShadingInputs tilted = in;
    const FloatVector a = shade(in, {workedLight({0, 0, 1}, false)});
    const FloatVector b = shade(tilted, {workedLight({0, 0, -1}, false)});
    // With p1 = p2 = 1 only m tells the two lights apart: 2 in front, 1 + 1
    // behind (the refracted direction leaves through the normal), so the
    // subsurface parts agree and the front light adds its diffuse part.
    EXPECT_NEAR(a.x - b.x, 0.75f * 0.4f, 1e-6f);
}

// Degenerate divisions contribute nothing instead of NaN or infinity.
TEST(EvaluateShading, ZeroDivisorsContributeZero) {
    ShadingInputs in = workedInputs();
    in.scattering = in.absorption = {0.0f, 0.0f, 0.0f};
    expectFinite(shade(in, {workedLight()}));

    ShadingInputs flat = workedInputs();
    flat.eccentricity = 0.0f;
    expectReference(shade(flat, {workedLight()}), workedInputs(), {workedLight({0, 0, 1}, false)});

    // Light exactly opposite the eye direction: no half vector.
    expectFinite(shade(workedInputs(), {workedLight({0, 0, -1}, true)}));

    // Both cosines of m are 0: the view and the light graze the surface.
    ShadingInputs grazing = workedInputs();
    grazing.pointCamera = {1.0f, 0.0f, 0.0f};
    expectFinite(shade(grazing, {workedLight({0.0f, 1.0f, 0.0f}, true)}));

    // A light list with a count of zero.
    expectFinite(shade(workedInputs(), {workedLight()}, 0));

    // The sample point at the eye.
    ShadingInputs atEye = workedInputs();
    atEye.pointCamera = {0.0f, 0.0f, 0.0f};
    expectFinite(shade(atEye, {workedLight()}));
}

// The subsurface and diffuse parts of one light, written out channel by
// channel from the formulas, with lightCount 1 and nothing else lit.
FloatVector directSubsurfaceAndDiffuse(const ShadingInputs& in, const LightSample& light) {
    const FloatVector n = in.normalCamera;
    const FloatVector v = unitVector(in.pointCamera);
    const FloatVector l = light.lightDirection;
    const float eta = 1.0f / in.refractiveIndex;
    const float ft = 1.0f - fresnelReflectance(v, n, eta);
    const FloatVector tl = normalizeVector(refractDirection(-l, n, eta));
    const float mu = dot(n, -l);
    auto phase = [&](float g) {
        return (1.0f - g * g) / roundedPowOneAndHalf(((2.0f * g) * mu + 1.0f) + 2.0f * (g * g));
    };
    const float m = std::fabs(dot(n, tl)) + std::fabs(dot(n, v));
    const float nl = dot(l, n);
    FloatVector out;
    for (int j = 0; j < 3; ++j) {
        const float a = albedoFromReflectance(in.color[j]);
        const float rho = in.scattering[j] / (in.scattering[j] + in.absorption[j]);
        const float single = (rho * ft) * (phase(in.anisotropy) / m);
        const float s = std::sqrt((1.0f - a) * 3.0f);
        const float diffusion = ((roundedExp((in.diffuseReflection * -1.3333334f) * s) + 1.0f) *
                                 ((phase(in.diffuseAnisotropy) * a) * 0.5f)) *
                                roundedExp(-s) / 3.1415927f;
        const float ss = ((((diffusion + single) * light.preShadowIntensity) * in.color[j]) *
                          in.diffuseScatter) /
                             1.0f +
                         0.0f;
        const float sd =
            nl > 0.0f ? ((nl * in.diffuse) * light.lightIntensity[j]) * in.color[j] : 0.0f;
        float mix = 0.5f * ss + 0.5f * sd;
        mix = 0.5f * mix + 0.5f * sd;
        out[j] =
            0.0f + (1.0f - in.transparency[j]) *
                       (((mix + in.ambientColor[j] * in.color[j]) + in.incandescence[j]) + 0.0f);
    }
    return out;
}

TEST(EvaluateShading, EveryAlbedoEntryGivesTheDirectFormula) {
    ShadingInputs in = workedInputs();
    in.pointCamera = {0.3f, -0.2f, -5.0f};
    in.diffuseReflection = 1.7f;
    in.diffuseAnisotropy = 0.35f;
    in.scattering = {0.5f, 0.9f, 0.2f};
    LightSample light = workedLight({0.0f, halfSqrt2, halfSqrt2}, false);
    light.lightIntensity = {0.9f, 1.1f, 0.7f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> reflectances;
    for (int i = 0; i < albedoTableSize; ++i) {
        reflectances.push_back(static_cast<float>(i) / 2000.0f);
        reflectances.push_back(std::nextafter(static_cast<float>(i) / 2000.0f, -1.0f));
    }
    for (float outside : {-0.25f, 1.5f, nan}) {
        reflectances.push_back(outside);
    }
    for (std::size_t i = 0; i < reflectances.size(); ++i) {
        // Channels that share an entry, and channels that do not.
        const float r = reflectances[i];
        in.color = {r, i % 3 == 0 ? r : 0.61f, reflectances[(i * 7) % reflectances.size()]};
        const FloatVector got = shade(in, {light});
        // A channel that is not a number acts as the default grey, and a
        // negative result is held at 0.
        ShadingInputs used = in;
        for (int k = 0; k < 3; ++k) {
            used.color[k] = std::isnan(in.color[k]) ? 0.5f : in.color[k];
        }
        const FloatVector want = directSubsurfaceAndDiffuse(used, light);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(got[k], std::max(0.0f, want[k])) << "reflectance " << r << " channel " << k;
        }
    }
}

TEST(EvaluateShading, RoundingExcessOfAUnitNormalKeepsTheHighlight) {
    ShadingInputs in = workedInputs();
    in.normalCamera = {0.0f, 0.0f, 1.0000001f};
    const FloatVector c = shade(in, {workedLight()});
    expectFinite(c);
    EXPECT_NEAR(c.x, reference::modelColour(workedInputs(), {workedLight()})[0], 1e-5);
}

// A denormal eccentricity overflows its reciprocal; a light whose half vector
// lies on the normal must still see the lobe's peak, as for the smallest
// normal eccentricity, not NaN.
TEST(EvaluateShading, ADenormalEccentricityKeepsThePeakOfTheLobe) {
    ShadingInputs in;
    in.pointCamera = {0.0f, 0.0f, -5.0f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    LightSample light;
    light.lightDirection = {0.0f, 0.0f, 1.0f};
    light.lightSpecular = true;
    in.eccentricity = std::numeric_limits<float>::denorm_min();
    const FloatVector denormal = evaluateShading(in, {&light, 1}, 1).outColor;
    in.eccentricity = std::numeric_limits<float>::min();
    const FloatVector smallest = evaluateShading(in, {&light, 1}, 1).outColor;
    EXPECT_EQ(denormal, smallest);
    expectFinite(denormal);
}

}  // namespace
}  // namespace lumaveil
