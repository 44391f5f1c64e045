// The colour leaving one shading sample, built up one light at a time: what
// evaluateShading computes from a whole list of lights, for hosts that hand
// their lights over one by one. The same lights in the same order give the
// same bits either way.
//
// The inputs are held to the model's physical range first, and the colour
// that comes out is finite and not below 0, whatever a host hands in.
#pragma once

#include <cmath>

#include "model/FloatVector.h"
#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/optics.h"
#include "model/physicalRange.h"
#include "model/shading.h"
#include "model/specularLobe.h"
#include "model/subsurface.h"

namespace lumaveil {

class ShadingAccumulator {
public:
    // Every light's subsurface part is divided by subsurfaceDivisor, as
    // evaluateShading divides it.
    ShadingAccumulator(const ShadingInputs& in, int subsurfaceDivisor)
        : in_(heldToPhysicalRange(in)),
          subsurfaceDivisor_(subsurfaceDivisor),
          divisor_(static_cast<float>(subsurfaceDivisor)),
          n_(in_.normalCamera),
          v_(unitVector(in_.pointCamera)),
          e_(-v_),
          eta_(1.0f / in_.refractiveIndex),
          color_(lanes(in_.color)),
          specularColor_(lanes(in_.specularColor)),
          sameAnisotropy_(in_.anisotropy == in_.diffuseAnisotropy),
          inverseEccentricity_(1.0f / in_.eccentricity),
          ne_(dot(n_, e_)) {}

    // A light with a direction or a quantity that is not finite adds
    // nothing; it still counts in the divisor.
    void addLight(const LightSample& light) {
        const FloatVector l = light.lightDirection;
        const Lanes intensity = lanes(light.lightIntensity);
        if (!usable(l, intensity, light.preShadowIntensity)) {
            return;
        }
        const float nl = dot(l, n_);
        if (light.lightAmbient) {
            ambientSum_ = intensity * color_ + ambientSum_;
        }
        if (light.lightDiffuse) {
            addDiffuse(l, nl, intensity, light.preShadowIntensity);
        }
        if (light.lightSpecular) {
            addSpecular(l, nl, intensity);
        }
    }

    // What adding two lights from `direction` gives, the first with
    // lightDiffuse alone of diffuseIntensity and preShadowIntensity, the
    // second with lightSpecular alone of specularIntensity: for a host whose
    // every light feeds the diffuse and the specular terms apart.
    void addDiffuseAndSpecular(FloatVector direction, FloatVector diffuseIntensity,
                               float preShadowIntensity, FloatVector specularIntensity) {
        if (!usable(direction, lanes(diffuseIntensity), preShadowIntensity) ||
            !isFinite(specularIntensity)) {
            return;
        }
        const float nl = dot(direction, n_);
        addDiffuse(direction, nl, lanes(diffuseIntensity), preShadowIntensity);
        addSpecular(direction, nl, lanes(specularIntensity));
    }

    // The colour of the lights added so far, with the light-independent
    // terms added once.
    ShadingOutputs result() const;

private:
    // x - x is 0 for a finite x and NaN otherwise, so one sum of the lanes
    // tells all seven values: a few instructions a light, not a branch a value.
    static bool usable(FloatVector direction, Lanes intensity, float preShadowIntensity) {
        const Lanes d = lanes(direction);
        const Lanes probe = (d - d) + (intensity - intensity);
        return ((probe[0] + probe[1]) + probe[2]) + (preShadowIntensity - preShadowIntensity) ==
               0.0f;
    }

    // Phase weight of the model: (1 - g^2) / (1 + 2 g mu + 2 g^2)^1.5, with mu
    // taken against the direction into the surface.
    static float phaseWeight(float g, float mu) {
        return (1.0f - g * g) / roundedPowOneAndHalf(((2.0f * g) * mu + 1.0f) + 2.0f * (g * g));
    }

    // The view-side quantities of the subsurface term, formed at the first
    // light that needs them.
    void prepareViewSide();

    // The subsurface and Lambert terms of a light from l, NL = nl.
    void addDiffuse(FloatVector l, float nl, Lanes intensity, float preShadowIntensity) {
        if (!viewSidePrepared_) {
            prepareViewSide();
        }
        const FloatVector n = n_;
        const FloatVector refracted = normalizeVector(refractDirection(-l, n, eta_));
        const float mu = dot(n, -l);
        const float p1 = phaseWeight(in_.anisotropy, mu);
        const float p2 = sameAnisotropy_ ? p1 : phaseWeight(in_.diffuseAnisotropy, mu);
        const float m = std::fabs(dot(n, refracted)) + viewCosine_;
        // With both cosines 0 the single-scattering part has no path.
        const float phaseOverPath = m != 0.0f ? p1 / m : 0.0f;
        if (subsurfaceDivisor_ != 0) {
            const Lanes single = albedoTimesTransmission_ * phaseOverPath;
            subsurfaceSum_ =
                ((((diffusion(channels_, p2) + single) * preShadowIntensity) * color_) *
                 in_.diffuseScatter) /
                    divisor_ +
                subsurfaceSum_;
        }
        if (nl > 0.0f) {
            diffuseSum_ = ((nl * in_.diffuse) * intensity) * color_ + diffuseSum_;
        }
    }

    // The Gaussian highlight of a light from l, NL = nl.
    void addSpecular(FloatVector l, float nl, Lanes intensity) {
        if (in_.eccentricity == 0.0f) {
            return;
        }
        const FloatVector h = normalizeVector(l + e_);
        const float nh = dot(n_, h);
        const float he = dot(h, e_);
        // A light exactly opposite the eye has no half vector and no lobe.
        if (he != 0.0f) {
            const float gauss = gaussianLobe(nh, inverseEccentricity_) * in_.specularRollOff;
            const float t = nl <= ne_ ? nl : ne_;
            float geometry = ((nh * 2.0f) * t) / he;
            if (geometry > 1.0f) {
                geometry = 1.0f;
            }
            specularSum_ = ((gauss * intensity) * geometry) * specularColor_ + specularSum_;
        }
    }

    const ShadingInputs in_;  // held
    int subsurfaceDivisor_;
    float divisor_;
    FloatVector n_, v_, e_;
    float eta_;
    Lanes color_, specularColor_;
    bool sameAnisotropy_;
    float inverseEccentricity_;
    float ne_;

    bool viewSidePrepared_ = false;
    DiffusionChannels channels_;
    Lanes albedoTimesTransmission_{};  // rho * Ft
    float viewCosine_ = 0.0f;

    Lanes ambientSum_{}, diffuseSum_{}, subsurfaceSum_{}, specularSum_{};
};

}  // namespace lumaveil
