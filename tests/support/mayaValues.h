// The model's inputs as the renderer hands them to the Maya node.
#pragma once

#include <array>

#include "mayahost/host.h"
#include "model/materialAttributes.h"
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

// Every editable attribute of the node, from the field its row names.
inline void setMaterial(mayahost::Node& node, const ShadingInputs& in) {
    for (const MaterialAttribute& a : materialAttributes) {
        const FloatVector v = valueIn(in, a);
        if (a.isColour()) {
            node.setFloat3(a.longName, mayaVector(v));
        } else {
            node.setFloat(a.longName, v.x);
        }
    }
}

}  // namespace lumaveil::test
