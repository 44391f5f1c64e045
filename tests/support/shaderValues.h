// The model's inputs as the renderer hands them to the shader: its parameter
// values, set by name in a stand-in parameter block.
#pragma once

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
    p.setColor("color", rgba(in.color));
    p.setColor("ambientColor", rgba(in.ambientColor));
    p.setColor("incandescence", rgba(in.incandescence));
    p.setScalar("diffuse", in.diffuse);
    p.setColor("absorption", rgba(in.absorption));
    p.setColor("scattering", rgba(in.scattering));
    p.setScalar("refractiveIndex", in.refractiveIndex);
    p.setScalar("anisotropy", in.anisotropy);
    p.setScalar("diffuseReflection", in.diffuseReflection);
    p.setScalar("diffuseAnisotropy", in.diffuseAnisotropy);
    p.setScalar("diffuseScatter", in.diffuseScatter);
    p.setScalar("eccentricity", in.eccentricity);
    p.setScalar("specularRollOff", in.specularRollOff);
    p.setColor("specularColor", rgba(in.specularColor));
}

}  // namespace lumaveil::test
