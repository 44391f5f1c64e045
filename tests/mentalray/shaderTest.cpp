// The shader's results for the worked examples.
#include <cstring>
#include <limits>

#include "namedMaterial.h"
#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using ShaderTest = StandInTest;

TEST_F(ShaderTest, OneSampleAtNormalIncidence) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    const miColor c = shade();
    expectRgb(c, reference::shaderColour(workedCall({{above}})));
    EXPECT_EQ(c.a, 1.0f);
}

TEST_F(ShaderTest, LightAtFortyFiveDegrees) {
    params.setLights({scene.addDirectionalLight({0.0f, halfSqrt2, halfSqrt2}, white)});
    expectRgb(shade(),
              reference::shaderColour(workedCall({{{{1, 1, 1}, {0, halfSqrt2, halfSqrt2}}}})));
}

TEST_F(ShaderTest, LightBehindTheSurfaceGivesTheSubsurfaceTermAlone) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, -1.0f}, white)});
    expectRgb(shade(), reference::shaderColour(workedCall({{{{1, 1, 1}, {0, 0, -1}}}})));
}

TEST_F(ShaderTest, EveryChannelUsesTheMeanDiffusion) {
    params.setColor("color", {0.5f, 0.25f, 0.05f, 1.0f});
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    reference::ShaderCall call = workedCall({{above}});
    call.parameters.color = {0.5f, 0.25f, 0.05f};
    expectRgb(shade(), reference::shaderColour(call));
}

TEST_F(ShaderTest, ALightAddsTheMeanOfItsSamples) {
    // Zero edges: both samples come from straight above.
    const miTag twice =
        scene.addAreaLight({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, white, 2);
    params.setLights({twice});
    CallTrace trace;
    expectRgb(shade(black, &trace), reference::shaderColour(workedCall({{above}})));
    EXPECT_EQ(trace.sampledTags.size(), 3u);  // two samples, then done
}

TEST_F(ShaderTest, WithoutSamplesOnlyAmbientAndIncandescenceRemain) {
    test::setMaterial(params, test::ambientAndIncandescentInputs());
    const miTag none =
        scene.addAreaLight({0.0f, 0.0f, 5.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, white, 0);
    params.setLights({none});
    miColor c = shade({0.3f, 0.0f, 0.0f, 0.0f});
    expectRgb(c, 0.5, 0.1, 0.1);
    EXPECT_EQ(c.a, 1.0f);

    params.setLights({});
    c = shade();
    expectRgb(c, 0.2, 0.1, 0.1);
    EXPECT_EQ(c.a, 1.0f);
}

TEST_F(ShaderTest, AddsToTheResultOnEntry) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    reference::ShaderCall call = workedCall({{above}});
    call.onEntry = {0.1f, 0.1f, 0.1f};
    expectRgb(shade(grey(0.1f)), reference::shaderColour(call));
}

TEST_F(ShaderTest, BlackLightKeepsTheSubsurfaceTerm) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, black)});
    expectRgb(shade(), reference::shaderColour(workedCall({{{{0, 0, 0}, {0, 0, 1}}}})));
}

TEST_F(ShaderTest, TwoLightsAdd) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white),
                      scene.addDirectionalLight({0.0f, 0.0f, -1.0f}, white)});
    expectRgb(shade(), reference::shaderColour(workedCall({{above}, {{{1, 1, 1}, {0, 0, -1}}}})));
}

TEST_F(ShaderTest, IrradianceOfPiAddsTheSurfaceColour) {
    scene.setIrradiance({3.1415927f, 3.1415927f, 3.1415927f, 1.0f});
    params.setBoolean("useIrradiance", true);
    params.setColor("irradianceColor", white);
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    const miColor c = shade();
    reference::ShaderCall call = workedCall({{above}});
    call.irradianceColor = {1.0f, 1.0f, 1.0f};
    call.irradiance = {3.1415927f, 3.1415927f, 3.1415927f};
    expectRgb(c, reference::shaderColour(call));
    EXPECT_EQ(c.a, 1.0f);
}

// Each parameter set by its own name shades as the reference given the field
// of that name: no parameter reaches another's field.
TEST_F(ShaderTest, EachParameterSetByItsNameReachesItsField) {
    ASSERT_TRUE(test::everyRowIsNamed()) << "tests/support/namedMaterial.h";
    reference::ShaderCall call;
    call.parameters = test::namedMaterial();
    call.parameters.normalCamera = {0.0f, 0.0f, 0.0f};
    for (const test::NamedField& field : test::namedFields) {
        if (!field.inMentalRay) {
            continue;
        }
        const FloatVector v = test::namedValue(call.parameters, field);
        if (field.colour) {
            params.setColor(field.name, rgba(v));
        } else {
            params.setScalar(field.name, v.x);
        }
    }
    // Seen 30 degrees off the normal; a light near the mirror direction and
    // one behind the surface.
    call.direction = {-0.5f, 0.0f, -0.8660254f};
    const FloatVector front{-0.4f, 0.3f, 0.8660254f}, behind{0.0f, 0.6f, -0.8f};
    const FloatVector frontColour{1.2f, 0.9f, 0.7f}, behindColour{0.6f, 0.8f, 1.1f};
    call.lights = {{{frontColour, front}}, {{behindColour, behind}}};
    params.setLights({scene.addDirectionalLight(mi(front), rgba(frontColour)),
                      scene.addDirectionalLight(mi(behind), rgba(behindColour))});
    miState state = Renderer::makeState(
        scene, params, SamplePoint{{0.0f, 0.0f, 0.0f}, mi(call.normal), mi(call.direction)});
    miColor c = black;
    renderer.shade(c, state, params);
    expectRgb(c, reference::shaderColour(call));
}

TEST_F(ShaderTest, DeclarationDefaultsAreTheWorkedMaterial) {
    ParameterBlock defaults = renderer.makeParameters();
    defaults.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    miState state = Renderer::makeState(
        scene, defaults, SamplePoint{{0, 0, 0}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}});
    miColor c = black;
    renderer.shade(c, state, defaults);
    expectRgb(c, reference::shaderColour(workedCall({{above}})));
}

// Degenerate divisions drop the affected term instead of spreading NaN.
TEST_F(ShaderTest, DegenerateInputsStayFinite) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    const miColor reference = shade();

    params.setScalar("eccentricity", 0.0f);  // no lobe: the specular 0.35 goes
    expectRgb(shade(), reference.r - 0.35, reference.g - 0.35, reference.b - 0.35);
    params.setScalar("eccentricity", 0.1f);

    params.setColor("absorption", grey(0.0f));
    params.setColor("scattering", grey(0.0f));
    const miColor noSingle = shade();
    EXPECT_LT(noSingle.r, reference.r);
    params.setScalar("refractiveIndex", 0.0f);
    EXPECT_EQ(shade().r, noSingle.r);

    // A normal offset that cancels the normal, exactly or down to a sum too
    // short to be made unit (whose square rounds to 0, or is denormal but
    // not 0), leaves the renderer's normal.
    params.setScalar("refractiveIndex", 1.333f);
    params.setColor("absorption", grey(0.5f));
    params.setColor("scattering", grey(0.5f));
    for (const miVector offset : {miVector{0.0f, 0.0f, -1.0f}, miVector{1e-25f, 0.0f, -1.0f},
                                  miVector{1e-20f, 0.0f, -1.0f}}) {
        params.setVector("normalCamera", offset);
        const miColor cancelled = shade();
        EXPECT_EQ(std::memcmp(&cancelled, &reference, sizeof reference), 0) << offset.x;
    }
}

// A connected parameter can hand in what no scene file declares: values as
// the node's attributes of the same role would be held, and a result that
// would fall below 0 held at 0.
TEST_F(ShaderTest, ValuesOutsideTheirRangeAreHeld) {
    params.setLights({scene.addDirectionalLight({0.0f, halfSqrt2, halfSqrt2}, white)});
    params.setScalar("refractiveIndex", 1.0f);
    params.setColor("absorption", {0.0f, 0.5f, 0.5f, 1.0f});
    const miColor edge = shade();
    params.setScalar("refractiveIndex", -1.0f);
    params.setColor("absorption", {-0.6f, std::numeric_limits<float>::quiet_NaN(), 0.5f, 1.0f});
    const miColor held = shade();
    EXPECT_EQ(std::memcmp(&held, &edge, sizeof held), 0);

    params.setColor("incandescence", {-5.0f, 0.0f, 0.0f, 1.0f});
    EXPECT_EQ(shade().r, 0.0f);
}

// A denormal eccentricity overflows its reciprocal; the sample on the lobe's
// centre still sees the peak, as with the smallest normal eccentricity.
TEST_F(ShaderTest, ADenormalEccentricityKeepsThePeakOfTheLobe) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    params.setScalar("eccentricity", std::numeric_limits<float>::denorm_min());
    const miColor denormal = shade();
    params.setScalar("eccentricity", std::numeric_limits<float>::min());
    const miColor smallest = shade();
    EXPECT_EQ(std::memcmp(&denormal, &smallest, sizeof denormal), 0);
    expectRgb(denormal, reference::shaderColour(workedCall({{above}})));
}

// Light, view and normal along one direction whose half-vector cosine rounds
// to just above 1: the highlight stays whole, as at normal incidence.
TEST_F(ShaderTest, CosineRoundedPastOneKeepsTheHighlight) {
    const miVector n{-0.269462287f, 0.680297256f, 0.68160522f};
    params.setLights({scene.addDirectionalLight(n, white)});
    miState state =
        Renderer::makeState(scene, params, SamplePoint{{0, 0, 0}, n, {-n.x, -n.y, -n.z}});
    miColor c = black;
    renderer.shade(c, state, params);
    expectRgb(c, reference::shaderColour(workedCall({{above}})));
}

}  // namespace
}  // namespace lumaveil::mrtest
