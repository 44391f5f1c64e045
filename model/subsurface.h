// The two parts of the subsurface term that the node's evaluation and the
// renderer shader share: the diffusion value of each colour channel and the
// single-scattering weight. How each host gathers, weights and sums them is
// its own.
#pragma once

#include "model/FloatVector.h"
#include "model/Lanes.h"
#include "model/floatMath.h"

namespace lumaveil {

// What the diffusion part derives from a material, one lane per channel: the
// reduced albedo a' of the channel's reflectance, s = sqrt((1 - a') 3), and
// the exponentials of s. The same for every light of a sample.
struct DiffusionChannels {
    Lanes reducedAlbedo{};   // a'
    Lanes boundaryFactor{};  // exp((A q) s) + 1, with q the float nearest -4/3
    Lanes escapeFactor{};    // exp(-s)
};

// Each channel of `reflectance` looked up in the albedo table, with A the
// material's boundary factor. exp(-s) comes from a table beside the albedo
// table; channels that read the same entry share its exponentials. Allocates
// nothing.
DiffusionChannels diffusionChannels(FloatVector reflectance, float boundaryFactor);

// ((exp((A q) s) + 1) ((p a') 0.5)) exp(-s) / pi per channel, for the phase
// weight p of the diffusion part.
inline Lanes diffusion(const DiffusionChannels& c, float phase) {
    return (c.boundaryFactor * ((phase * c.reducedAlbedo) * 0.5f)) * c.escapeFactor / pi;
}

// The single-scattering albedo rho = sigma_s / (sigma_s + sigma_a) of each
// channel times the view-side Fresnel transmission Ft. A medium that neither
// scatters nor absorbs has no single scattering: 0 in that channel, whatever
// Ft is.
inline Lanes transmittedAlbedo(FloatVector scattering, FloatVector absorption, float transmission) {
    Lanes weight{};
    for (int c = 0; c < 3; ++c) {
        const float extinction = absorption[c] + scattering[c];
        if (extinction != 0.0f) {
            weight[c] = transmission * (scattering[c] / extinction);
        }
    }
    return weight;
}

}  // namespace lumaveil
