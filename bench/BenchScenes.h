// The scenes every benchmark shades: the same material and geometry for the
// model, the Maya node and the renderer shader, with 1 to 16 lights that set
// every flag.
#pragma once

#include <cmath>
#include <vector>

#include "model/shading.h"

namespace lumaveil::bench {

inline ShadingInputs benchInputs() {
    ShadingInputs in;
    in.pointCamera = {0.1f, -0.2f, -5.0f};
    in.normalCamera = {0.0f, 0.0f, 1.0f};
    in.color = {0.8f, 0.45f, 0.35f};
    in.diffuseAnisotropy = 0.1f;
    return in;
}

// Unit directions spread over the upper hemisphere.
inline FloatVector benchLightDirection(int i) {
    const FloatVector d{0.1f * static_cast<float>(i % 8) - 0.35f, 0.3f, 0.9f};
    const float len = std::sqrt(dot(d, d));
    return d / len;
}

inline std::vector<LightSample> benchLights(int count) {
    std::vector<LightSample> lights(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        LightSample& l = lights[static_cast<std::size_t>(i)];
        l.lightDirection = benchLightDirection(i);
        l.lightAmbient = l.lightDiffuse = l.lightSpecular = true;
    }
    return lights;
}

}  // namespace lumaveil::bench
