// Shared set-up of the shader tests: the built shader loaded by the stand-in
// renderer, with the inputs of the worked examples.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "hosts/mentalray/standInRenderer.h"

namespace lumaveil::mrtest {

using mrhost::CallTrace;
using mrhost::ParameterBlock;
using mrhost::Renderer;
using mrhost::SamplePoint;
using mrhost::Scene;

constexpr float halfSqrt2 = 0.70710678f;
constexpr miColor white{1.0f, 1.0f, 1.0f, 1.0f};
constexpr miColor black{0.0f, 0.0f, 0.0f, 0.0f};

inline miColor grey(float v) {
    return {v, v, v, 1.0f};
}

// The worked examples' material, every value set explicitly.
inline void setWorkedMaterial(ParameterBlock& p) {
    p.setColor("color", grey(0.5f));
    p.setColor("ambientColor", grey(0.0f));
    p.setColor("incandescence", grey(0.0f));
    p.setVector("normalCamera", {0.0f, 0.0f, 0.0f});
    p.setScalar("diffuse", 0.8f);
    p.setColor("absorption", grey(0.5f));
    p.setColor("scattering", grey(0.5f));
    p.setScalar("refractiveIndex", 1.333f);
    p.setScalar("anisotropy", 0.2f);
    p.setScalar("diffuseReflection", 2.0f);
    p.setScalar("diffuseAnisotropy", 0.2f);
    p.setScalar("diffuseScatter", 2.0f);
    p.setScalar("eccentricity", 0.1f);
    p.setScalar("specularRollOff", 0.7f);
    p.setColor("specularColor", grey(0.5f));
    p.setBoolean("useIrradiance", false);
}

// Published values carry a fixed number of decimals: allow their rounding on
// top of the relative tolerance.
inline void expectNear(float actual, double published, int decimals = 6) {
    const double tolerance = 1e-6 * std::fabs(published) + 0.5 * std::pow(10.0, -decimals);
    EXPECT_NEAR(actual, published, tolerance);
}

inline void expectRgb(const miColor& c, double r, double g, double b, int decimals = 6) {
    expectNear(c.r, r, decimals);
    expectNear(c.g, g, decimals);
    expectNear(c.b, b, decimals);
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
    Scene scene;
    ParameterBlock params;
};

}  // namespace lumaveil::mrtest
