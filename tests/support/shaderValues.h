// The model's inputs as the renderer hands them to the shader: its parameter
// values, set by name in a stand-in parameter block.
#pragma once

#include "materialValues.h"
#include "model/shading.h"
#include "mrhost/parameterBlock.h"

namespace lumaveil::test {

inline miColor rgba(FloatVector c) {
    return {c.x, c.y, c.z, 1.0f};
}
inline miVector mi(FloatVector v) {
    return {v.x, v.y, v.z};
}

// Every material parameter the shader shares with the node.
inline void setMaterial(mrhost::ParameterBlock& p, const ShadingInputs& in) {
    forEachMaterialValue(
        in,
        [&](const MaterialAttribute& a, FloatVector v) {
            if (!a.rendererParameter.empty()) {
                p.setColor(a.rendererParameter, rgba(v));
            }
        },
        [&](const MaterialAttribute& a, float v) {
            if (!a.rendererParameter.empty()) {
                p.setScalar(a.rendererParameter, v);
            }
        });
}

}  // namespace lumaveil::test
