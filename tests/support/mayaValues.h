// The model's inputs as the renderer hands them to the Maya node.
#pragma once

#include <array>

#include "materialValues.h"
#include "mayahost/host.h"
#include "model/shading.h"

namespace lumaveil::test {

inline std::array<float, 3> mayaVector(FloatVector v) {
    return {v.x, v.y, v.z};
}

inline mayahost::LightValues mayaLight(const LightSample& light) {
    mayahost::LightValues values;
    values.direction = mayaVector(light.lightDirection);
    values.intensity = mayaVector(light.lightIntensity);
    values.ambient = light.lightAmbient;
    values.diffuse = light.lightDiffuse;
    values.specular = light.lightSpecular;
    values.preShadowIntensity = light.preShadowIntensity;
    return values;
}

// Every editable attribute of the node.
inline void setMaterial(mayahost::Node& node, const ShadingInputs& in) {
    forEachMaterialValue(
        in,
        [&](const MaterialAttribute& a, FloatVector v) {
            node.setFloat3(a.longName, mayaVector(v));
        },
        [&](const MaterialAttribute& a, float v) { node.setFloat(a.longName, v); });
}

}  // namespace lumaveil::test
