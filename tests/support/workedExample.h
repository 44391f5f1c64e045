// The worked examples' inputs, as every suite sets them up before handing
// them to its host: the node's defaults, the eye looking down -z at a surface
// facing it, and white lights of unit intensity.
#pragma once

#include "model/FloatVector.h"
#include "model/shading.h"

namespace lumaveil::test {

inline constexpr float halfSqrt2 = 0.70710678f;

// The worked sample: five units in front of the eye, facing it.
inline constexpr FloatVector workedPoint{0.0f, 0.0f, -5.0f};
inline constexpr FloatVector workedNormal{0.0f, 0.0f, 1.0f};
inline constexpr FloatVector workedRay{0.0f, 0.0f, -1.0f};

inline ShadingInputs workedInputs() {
    ShadingInputs in;
    in.pointCamera = workedPoint;
    in.normalCamera = workedNormal;
    return in;
}

// The worked material lit by nothing but an ambient colour of 0.2 and a red
// incandescence of 0.1: with no light the result is (0.2, 0.1, 0.1).
inline ShadingInputs ambientAndIncandescentInputs() {
    ShadingInputs in = workedInputs();
    in.ambientColor = {0.2f, 0.2f, 0.2f};
    in.incandescence = {0.1f, 0.0f, 0.0f};
    return in;
}

// A white light from `direction` that lights the diffuse terms and, with
// `specular`, the highlight; straight above by default.
inline LightSample workedLight(FloatVector direction = workedNormal, bool specular = true) {
    LightSample light;
    light.lightDirection = direction;
    light.lightIntensity = {1.0f, 1.0f, 1.0f};
    light.lightAmbient = false;
    light.lightDiffuse = true;
    light.lightSpecular = specular;
    light.preShadowIntensity = 1.0f;
    return light;
}

}  // namespace lumaveil::test
