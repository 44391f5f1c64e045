#include "model/shading.h"

#include <algorithm>
#include <cmath>

#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/optics.h"
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

ShadingOutputs evaluateShading(const ShadingInputs& in, ArrayView<LightSample> lights,
                               int subsurfaceDivisor) {
    const FloatVector n = in.normalCamera;
    const FloatVector v = unitVector(in.pointCamera);
    const FloatVector e = -v;
    const float eta = 1.0f / in.refractiveIndex;
    const Lanes color = lanes(in.color);
    const Lanes specularColor = lanes(in.specularColor);

    Lanes ambientSum{}, diffuseSum{}, subsurfaceSum{}, specularSum{};

    // View-side quantities, the same for every light.
    const bool anyDiffuse = std::any_of(lights.begin(), lights.end(),
                                        [](const LightSample& l) { return l.lightDiffuse; });
    DiffusionChannels channels;
    Lanes albedoTimesTransmission{};  // rho * Ft
    float viewCosine = 0.0f;
    if (anyDiffuse) {
        channels = diffusionChannels(in.color, in.diffuseReflection);
        const float viewTransmission = 1.0f - fresnelReflectance(v, n, eta);
        albedoTimesTransmission = transmittedAlbedo(in.scattering, in.absorption, viewTransmission);
        viewCosine = std::fabs(dot(n, v));
    }
    const float divisor = static_cast<float>(subsurfaceDivisor);
    const bool sameAnisotropy = in.anisotropy == in.diffuseAnisotropy;
    const float inverseEccentricity = 1.0f / in.eccentricity;
    const float ne = dot(n, e);

    for (const LightSample& light : lights) {
        const FloatVector l = light.lightDirection;
        const Lanes intensity = lanes(light.lightIntensity);
        const float nl = dot(l, n);

        if (light.lightAmbient) {
            ambientSum = intensity * color + ambientSum;
        }

        if (light.lightDiffuse) {
            const FloatVector refracted = normalizeVector(refractDirection(-l, n, eta));
            const float mu = dot(n, -l);
            const float p1 = phaseWeight(in.anisotropy, mu);
            const float p2 = sameAnisotropy ? p1 : phaseWeight(in.diffuseAnisotropy, mu);
            const float m = std::fabs(dot(n, refracted)) + viewCosine;
            // With both cosines 0 the single-scattering part has no path.
            const float phaseOverPath = m != 0.0f ? p1 / m : 0.0f;
            if (subsurfaceDivisor != 0) {
                const Lanes single = albedoTimesTransmission * phaseOverPath;
                subsurfaceSum =
                    ((((diffusion(channels, p2) + single) * light.preShadowIntensity) * color) *
                     in.diffuseScatter) /
                        divisor +
                    subsurfaceSum;
            }
            if (nl > 0.0f) {
                diffuseSum = ((nl * in.diffuse) * intensity) * color + diffuseSum;
            }
        }

        if (light.lightSpecular && in.eccentricity != 0.0f) {
            const FloatVector h = normalizeVector(l + e);
            const float nh = dot(n, h);
            const float he = dot(h, e);
            // A light exactly opposite the eye has no half vector and no lobe.
            if (he != 0.0f) {
                const float gauss = gaussianLobe(nh, inverseEccentricity) * in.specularRollOff;
                const float t = nl <= ne ? nl : ne;
                float geometry = ((nh * 2.0f) * t) / he;
                if (geometry > 1.0f) {
                    geometry = 1.0f;
                }
                specularSum = ((gauss * intensity) * geometry) * specularColor + specularSum;
            }
        }
    }

    // Two half-and-half blends weigh the subsurface sum 0.25 and the diffuse
    // sum 0.75. Intended: scenes rely on this blend.
    Lanes mix = 0.5f * subsurfaceSum + 0.5f * diffuseSum;
    mix = 0.5f * mix + 0.5f * diffuseSum;
    Lanes base = ((mix + lanes(in.ambientColor) * color) + lanes(in.incandescence)) + ambientSum;
    base = (1.0f - lanes(in.transparency)) * base;
    const Lanes outColor = specularSum + base;

    ShadingOutputs out;
    out.outColor = {outColor[0], outColor[1], outColor[2]};
    out.outTransparency = in.transparency;
    return out;
}

}  // namespace lumaveil
