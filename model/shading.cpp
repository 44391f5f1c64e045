#include "model/shading.h"

#include <cmath>

#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/optics.h"
#include "model/shadingAccumulator.h"
#include "model/specularLobe.h"
#include "model/subsurface.h"

namespace lumaveil {

void ShadingAccumulator::prepareViewSide() {
    channels_ = diffusionChannels(in_.color, in_.diffuseReflection);
    const float viewTransmission = 1.0f - fresnelReflectance(v_, n_, eta_);
    albedoTimesTransmission_ = transmittedAlbedo(in_.scattering, in_.absorption, viewTransmission);
    viewCosine_ = std::fabs(dot(n_, v_));
    viewSidePrepared_ = true;
}

ShadingOutputs ShadingAccumulator::result() const {
    // Two half-and-half blends weigh the subsurface sum 0.25 and the diffuse
    // sum 0.75. Intended: scenes rely on this blend.
    Lanes mix = 0.5f * subsurfaceSum_ + 0.5f * diffuseSum_;
    mix = 0.5f * mix + 0.5f * diffuseSum_;
    Lanes base =
        ((mix + lanes(in_.ambientColor) * color_) + lanes(in_.incandescence)) + ambientSum_;
    base = (1.0f - lanes(in_.transparency)) * base;
    const Lanes outColor = specularSum_ + base;

    ShadingOutputs out;
    out.outColor = heldColour({outColor[0], outColor[1], outColor[2]});
    out.outTransparency = in_.transparency;
    return out;
}

ShadingOutputs evaluateShading(const ShadingInputs& in, ArrayView<LightSample> lights,
                               int subsurfaceDivisor) {
    ShadingAccumulator sample(in, subsurfaceDivisor);
    for (const LightSample& light : lights) {
        sample.addLight(light);
    }
    return sample.result();
}

}  // namespace lumaveil
