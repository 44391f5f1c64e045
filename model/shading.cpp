#include "model/shading.h"

#include <cmath>

#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/optics.h"
#include "model/shadingAccumulator.h"
#include "model/specularLobe.h"
#include "model/subsurface.h"

namespace lumaveil {

namespace {

// Phase weight of the model: (1 - g^2) / (1 + 2 g mu + 2 g^2)^1.5, with mu
// taken against the direction into the surface.
float phaseWeight(float g, float mu) {
    return (1.0f - g * g) / roundedPowOneAndHalf(((2.0f * g) * mu + 1.0f) + 2.0f * (g * g));
}

}  // namespace

ShadingAccumulator::ShadingAccumulator(const ShadingInputs& in, int subsurfaceDivisor)
    : in_(in),
      subsurfaceDivisor_(subsurfaceDivisor),
      divisor_(static_cast<float>(subsurfaceDivisor)),
      n_(in.normalCamera),
      v_(unitVector(in.pointCamera)),
      e_(-v_),
      eta_(1.0f / in.refractiveIndex),
      color_(lanes(in.color)),
      specularColor_(lanes(in.specularColor)),
      sameAnisotropy_(in.anisotropy == in.diffuseAnisotropy),
      inverseEccentricity_(1.0f / in.eccentricity),
      ne_(dot(n_, e_)) {}

void ShadingAccumulator::prepareViewSide() {
    channels_ = diffusionChannels(in_.color, in_.diffuseReflection);
    const float viewTransmission = 1.0f - fresnelReflectance(v_, n_, eta_);
    albedoTimesTransmission_ = transmittedAlbedo(in_.scattering, in_.absorption, viewTransmission);
    viewCosine_ = std::fabs(dot(n_, v_));
    viewSidePrepared_ = true;
}

void ShadingAccumulator::addLight(const LightSample& light) {
    const ShadingInputs& in = in_;
    const FloatVector n = n_;
    const FloatVector l = light.lightDirection;
    const Lanes intensity = lanes(light.lightIntensity);
    const float nl = dot(l, n);

    if (light.lightAmbient) {
        ambientSum_ = intensity * color_ + ambientSum_;
    }

    if (light.lightDiffuse) {
        if (!viewSidePrepared_) {
            prepareViewSide();
        }
        const FloatVector refracted = normalizeVector(refractDirection(-l, n, eta_));
        const float mu = dot(n, -l);
        const float p1 = phaseWeight(in.anisotropy, mu);
        const float p2 = sameAnisotropy_ ? p1 : phaseWeight(in.diffuseAnisotropy, mu);
        const float m = std::fabs(dot(n, refracted)) + viewCosine_;
        // With both cosines 0 the single-scattering part has no path.
        const float phaseOverPath = m != 0.0f ? p1 / m : 0.0f;
        if (subsurfaceDivisor_ != 0) {
            const Lanes single = albedoTimesTransmission_ * phaseOverPath;
            subsurfaceSum_ =
                ((((diffusion(channels_, p2) + single) * light.preShadowIntensity) * color_) *
                 in.diffuseScatter) /
                    divisor_ +
                subsurfaceSum_;
        }
        if (nl > 0.0f) {
            diffuseSum_ = ((nl * in.diffuse) * intensity) * color_ + diffuseSum_;
        }
    }

    if (light.lightSpecular && in.eccentricity != 0.0f) {
        const FloatVector h = normalizeVector(l + e_);
        const float nh = dot(n, h);
        const float he = dot(h, e_);
        // A light exactly opposite the eye has no half vector and no lobe.
        if (he != 0.0f) {
            const float gauss = gaussianLobe(nh, inverseEccentricity_) * in.specularRollOff;
            const float t = nl <= ne_ ? nl : ne_;
            float geometry = ((nh * 2.0f) * t) / he;
            if (geometry > 1.0f) {
                geometry = 1.0f;
            }
            specularSum_ = ((gauss * intensity) * geometry) * specularColor_ + specularSum_;
        }
    }
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
    out.outColor = {outColor[0], outColor[1], outColor[2]};
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
