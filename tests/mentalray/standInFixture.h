// Shared set-up of the shader tests: the built shader loaded by the stand-in
// renderer, with the inputs of the worked examples.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "model/shading.h"
#include "mrhost/renderer.h"
#include "referenceShading.h"
#include "shaderValues.h"
#include "workedExample.h"

namespace lumaveil::mrtest {

using mrhost::CallTrace;
using mrhost::LightList;
using mrhost::ParameterBlock;
using mrhost::Renderer;
using mrhost::SamplePoint;

using test::halfSqrt2;
constexpr miColor white{1.0f, 1.0f, 1.0f, 1.0f};
constexpr miColor black{0.0f, 0.0f, 0.0f, 0.0f};

inline miColor grey(float v) {
    return {v, v, v, 1.0f};
}
using test::mi;
using test::rgba;
using test::setMaterial;

// The worked examples' material: the node's defaults; the shader takes
// normalCamera as an offset of the renderer's normal, so none.
inline ShadingInputs workedParameters() {
    ShadingInputs in = test::workedInputs();
    in.normalCamera = {0.0f, 0.0f, 0.0f};
    return in;
}

// The worked examples' material, every value set explicitly.
inline void setWorkedMaterial(ParameterBlock& p) {
    const ShadingInputs worked = workedParameters();
    setMaterial(p, worked);
    p.setVector("normalCamera", mi(worked.normalCamera));
    p.setBoolean("useIrradiance", false);
}

// A white sample from straight along the worked sample's normal.
inline const reference::ShaderLightSample above{test::workedLight().lightIntensity,
                                                test::workedNormal};

// The worked sample (normal +z, looking down -z) with the worked material and
// the samples each light delivers, for the reference evaluation.
inline reference::ShaderCall workedCall(
    std::vector<std::vector<reference::ShaderLightSample>> lights) {
    reference::ShaderCall call;
    call.parameters = workedParameters();
    call.lights = std::move(lights);
    return call;
}

// Within a relative 1e-6, and 1e-7 of zero, of the double-precision value.
inline void expectNear(float actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-6 * std::fabs(expected) + 1e-7);
}

inline void expectRgb(const miColor& c, double r, double g, double b) {
    expectNear(c.r, r);
    expectNear(c.g, g);
    expectNear(c.b, b);
}

inline void expectRgb(const miColor& c, const reference::Rgb& expected) {
    expectRgb(c, expected[0], expected[1], expected[2]);
}

class StandInTest : public ::testing::Test {
protected:
    StandInTest()
        : renderer(QV7K_SHADER_PATH, QV7K_DECLARATION_PATH, MRHOST_MODULE_PATH),
          params(renderer.makeParameters()) {
        setWorkedMaterial(params);
    }

    // The worked examples' sample: normal +z, looking down -z.
    miState workedState() const {
        return Renderer::makeState(
            scene, params,
            SamplePoint{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}});
    }

    miColor shade(miColor onEntry = black, CallTrace* trace = nullptr) {
        miState state = workedState();
        miColor result = onEntry;
        EXPECT_TRUE(renderer.shade(result, state, params, trace));
        return result;
    }

    Renderer renderer;
    LightList scene;
    ParameterBlock params;
};

}  // namespace lumaveil::mrtest
