// The model's inputs as Maya's Arnold plug-in hands them to the Arnold
// shader: the node's parameters, one per editable attribute, by name.
#pragma once

#include "aihost/host.h"
#include "model/materialAttributes.h"
#include "model/shading.h"

namespace lumaveil::test {

inline AtRGB atRGB(FloatVector c) {
    return AtRGB(c.x, c.y, c.z);
}
inline AtVector atVector(FloatVector v) {
    return AtVector(v.x, v.y, v.z);
}

// Every parameter of the node, from the field its row names.
inline void setMaterial(aihost::Shader& shader, const ShadingInputs& in) {
    for (const MaterialAttribute& a : materialAttributes) {
        const FloatVector v = valueIn(in, a);
        if (a.isColour()) {
            shader.setRGB(a.longName, atRGB(v));
        } else {
            shader.setFloat(a.longName, v.x);
        }
    }
}

}  // namespace lumaveil::test
