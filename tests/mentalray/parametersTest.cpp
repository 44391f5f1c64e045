// Reading the parameter block: driven parameters, the irradiance switch and
// the light array.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <vector>

#include "standInFixture.h"

namespace lumaveil::mrtest {
namespace {

using ParametersTest = StandInTest;

// A shader that writes a colour and counts its runs.
mrhost::Connection colourShader(miColor value, std::atomic<int>& runs) {
    return [value, &runs](const miState&, void* out) {
        ++runs;
        std::memcpy(out, &value, sizeof value);
    };
}

TEST_F(ParametersTest, ConnectedFieldIsEvaluatedByTheRenderer) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    std::atomic<int> runs{0};
    params.connect("color", colourShader({0.3f, 0.2f, 0.1f, 1.0f}, runs));
    CallTrace trace;
    reference::ShaderCall call = workedCall({{above}});
    call.parameters.color = {0.3f, 0.2f, 0.1f};
    expectRgb(shade(black, &trace), reference::shaderColour(call));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(trace.phenEvalCalls, 1);
}

TEST_F(ParametersTest, GhostOffsetZeroReadsEveryFieldInPlace) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    std::atomic<int> runs{0};
    params.connect("color", colourShader(white, runs));
    params.connect("scattering", colourShader(white, runs));
    params.setGhostOffset(0);
    CallTrace trace;
    expectRgb(shade(black, &trace), reference::shaderColour(workedCall({{above}})));
    EXPECT_EQ(trace.phenEvalCalls, 0);
    EXPECT_EQ(runs, 0);
}

TEST_F(ParametersTest, OnlyAFieldsFirstGhostWordDrivesIt) {
    params.setLights({scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white)});
    // The ghost word of color's green word: set, yet no field starts there.
    std::uint32_t* const words = static_cast<std::uint32_t*>(params.data());
    words[(4 + params.size()) / 4] = 1;
    CallTrace trace;
    expectRgb(shade(black, &trace), reference::shaderColour(workedCall({{above}})));
    EXPECT_EQ(trace.phenEvalCalls, 0);
}

TEST_F(ParametersTest, FieldsAreEvaluatedInTheirFixedOrder) {
    std::atomic<int> runs{0};
    // Every declared field but the light array's slot.
    for (const mrhost::DeclaredField& field :
         mrhost::loadDeclaration(QV7K_DECLARATION_PATH).fields) {
        if (!field.arrayElement) {
            params.connect(field.name,
                           [&runs](const miState&, void*) { ++runs; });  // keeps the value
        }
    }
    params.setBoolean("useIrradiance", true);
    CallTrace trace;
    shade(black, &trace);
    const std::vector<int> expected = {0,  16, 32,  64,  80,  124, 116, 120, 48, 140,
                                       60, 96, 100, 104, 108, 112, 164, 160, 144};
    EXPECT_EQ(trace.evaluatedOffsets, expected);
    EXPECT_EQ(runs, 19);
}

TEST_F(ParametersTest, IrradianceColourIsEvaluatedOnlyWhenIrradianceIsOn) {
    scene.setIrradiance(white);
    std::atomic<int> runs{0};
    params.connect("irradianceColor", colourShader(white, runs));
    CallTrace trace;
    shade(black, &trace);
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(trace.irradianceCalls, 0);

    params.setBoolean("useIrradiance", true);
    shade(black, &trace);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(trace.irradianceCalls, 1);
}

TEST_F(ParametersTest, BlackIrradianceColourSwitchesTheTermOff) {
    scene.setIrradiance({3.1415927f, 3.1415927f, 3.1415927f, 1.0f});
    params.setBoolean("useIrradiance", true);
    for (const float alpha : {0.0f, 1.0f, -2.0f}) {
        params.setColor("irradianceColor", {0.0f, 0.0f, 0.0f, alpha});
        CallTrace trace;
        const miColor c = shade(black, &trace);
        EXPECT_EQ(trace.irradianceCalls, 0) << "alpha " << alpha;
        EXPECT_EQ(c.r, 0.0f);
    }
    // One channel, even a negative one, keeps it on; the negative colour it
    // gives is held at 0.
    params.setColor("irradianceColor", {0.0f, 0.5f, -0.5f, 0.0f});
    CallTrace trace;
    const miColor c = shade(black, &trace);
    EXPECT_EQ(trace.irradianceCalls, 1);
    expectRgb(c, 0.0, 0.25, 0.0);
    EXPECT_EQ(c.a, 1.0f);
}

TEST_F(ParametersTest, LightCursorStartsAtElementILight) {
    std::vector<miTag> elements;
    for (int i = 0; i < 6; ++i) {
        elements.push_back(scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white));
    }
    params.setLights(elements, 2, 3);
    CallTrace trace;
    shade(black, &trace);
    // Each light: one sample, then done.
    const std::vector<miTag> expected = {elements[2], elements[2], elements[3],
                                         elements[3], elements[4], elements[4]};
    EXPECT_EQ(trace.sampledTags, expected);
}

TEST_F(ParametersTest, NonPositiveLightCountSamplesNothingYetReadsTheArray) {
    const miTag light = scene.addDirectionalLight({0.0f, 0.0f, 1.0f}, white);
    std::atomic<int> runs{0};
    params.connect("i_light", [&runs](const miState&, void*) { ++runs; });
    for (const int count : {0, -1, -100}) {
        params.setLights({light}, 0, count);
        CallTrace trace;
        expectRgb(shade(black, &trace), 0.0, 0.0, 0.0);
        EXPECT_TRUE(trace.sampledTags.empty()) << "n_light " << count;
    }
    EXPECT_EQ(runs, 3);
}

}  // namespace
}  // namespace lumaveil::mrtest
