// The colour leaving one shading sample, built up one light at a time: what
// evaluateShading computes from a whole list of lights, for hosts that hand
// their lights over one by one. The same lights in the same order give the
// same bits either way.
#pragma once

#include "model/FloatVector.h"
#include "model/Lanes.h"
#include "model/shading.h"
#include "model/subsurface.h"

namespace lumaveil {

class ShadingAccumulator {
public:
    // `in` must outlive the accumulator. Every light's subsurface part is
    // divided by subsurfaceDivisor, as evaluateShading divides it.
    ShadingAccumulator(const ShadingInputs& in, int subsurfaceDivisor);

    void addLight(const LightSample& light);

    // The colour of the lights added so far, with the light-independent
    // terms added once.
    ShadingOutputs result() const;

private:
    // The view-side quantities of the subsurface term, formed at the first
    // light that needs them.
    void prepareViewSide();

    const ShadingInputs& in_;
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
