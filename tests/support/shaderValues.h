// The model's inputs as the renderer hands them to the shader: its parameter
// values, set by name in a stand-in parameter block.
#pragma once

#include "model/materialAttributes.h"
#include "model/shading.h"
#include "mrhost/parameterBlock.h"

namespace lumaveil::test {

inline miColor rgba(FloatVector c) {
    return {c.x, c.y, c.z, 1.0f};
}
inline miVector mi(FloatVector v) {
    return {v.x, v.y, v.z};
}

// Every material parameter the shader shares with the node, from the field
// its row names.
inline void setMaterial(mrhost::ParameterBlock& p, const ShadingInputs& in) {
    for (const MaterialAttribute& a : materialAttributes) {
        if (a.rendererParameter.empty()) {
            continue;
        }
        const FloatVector v = valueIn(in, a);
        if (a.isColour()) {
            p.setColor(a.rendererParameter, rgba(v));
        } else {
            p.setScalar(a.rendererParameter, v.x);
        }
    }
}

}  // namespace lumaveil::test
