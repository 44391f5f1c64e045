#include "model/shading.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "model/Lanes.h"
#include "model/albedo.h"
#include "model/floatMath.h"
#include "model/optics.h"

namespace lumaveil {

namespace {

// The single-precision values nearest -4/3 and pi.
constexpr float minusFourThirds = -1.3333334f;
constexpr float pi = 3.1415927f;

// Phase weight of the model: (1 - g^2) / (1 + 2 g mu + 2 g^2)^1.5, with mu
// taken against the direction into the surface.
float phaseWeight(float g, float mu) {
    return (1.0f - g * g) / roundedPowOneAndHalf(((2.0f * g) * mu + 1.0f) + 2.0f * (g * g));
}

// What the diffusion part derives from one albedo table entry alone:
// s = sqrt((1 - a') 3) and exp(-s). Formed once, with the same single-
// precision operations and rounded exponential as the per-sample formula, so
// the values are the very ones it would give.
struct DiffusionDepth {
    float s;
    float escapeFactor;  // exp(-s)
};

using DiffusionDepthTable = std::array<DiffusionDepth, albedoTableSize>;

DiffusionDepthTable makeDiffusionDepthTable() {
    DiffusionDepthTable table{};
    for (int i = 0; i < albedoTableSize; ++i) {
        const float s = std::sqrt((1.0f - albedoTable[static_cast<std::size_t>(i)]) * 3.0f);
        table[static_cast<std::size_t>(i)] = {s, roundedExp(-s)};
    }
    return table;
}

const DiffusionDepthTable& diffusionDepthTable() {
    static const DiffusionDepthTable table = makeDiffusionDepthTable();
    return table;
}

// The parts of the subsurface term that depend on the material and the view
// but not on the light, formed once per sample, one lane per channel.
// Products keep the order of the per-light formulas; only whole factors are
// hoisted.
struct SubsurfaceChannels {
    Lanes reducedAlbedo{};            // a'
    Lanes boundaryFactor{};           // exp((A q) s) + 1
    Lanes escapeFactor{};             // exp(-s)
    Lanes albedoTimesTransmission{};  // rho * Ft, or 0 when sigma_t is 0
};

// Channels that read the same table entry share its exponentials.
SubsurfaceChannels subsurfaceChannels(const ShadingInputs& in, float viewTransmission) {
    const DiffusionDepthTable& depths = diffusionDepthTable();
    SubsurfaceChannels c;
    int index[3];
    for (int j = 0; j < 3; ++j) {
        index[j] = albedoIndexOf(in.color[j]);
        const int same = index[j] == index[0] ? 0 : (index[j] == index[1] ? 1 : j);
        if (same < j) {
            c.reducedAlbedo[j] = c.reducedAlbedo[same];
            c.boundaryFactor[j] = c.boundaryFactor[same];
            c.escapeFactor[j] = c.escapeFactor[same];
        } else {
            const DiffusionDepth& d = depths[static_cast<std::size_t>(index[j])];
            c.reducedAlbedo[j] = albedoTable[static_cast<std::size_t>(index[j])];
            c.boundaryFactor[j] = roundedExp((in.diffuseReflection * minusFourThirds) * d.s) + 1.0f;
            c.escapeFactor[j] = d.escapeFactor;
        }
    }
    const Lanes scattering = lanes(in.scattering);
    const Lanes extinction = scattering + lanes(in.absorption);
    // A medium that neither scatters nor absorbs has no single scattering.
    const Lanes rho = divideWhereNonzero(scattering, extinction);
    c.albedoTimesTransmission = rho * viewTransmission;
    return c;
}

// acos with its argument clamped to [-1, 1], so that the rounding excess of a
// unit vector keeps the highlight instead of turning it into NaN.
float clampedAcos(float c) {
    return roundedAcos(std::clamp(c, -1.0f, 1.0f));
}

}  // namespace

ShadingOutputs evaluateShading(const ShadingInputs& in, std::span<const LightSample> lights,
                               int lightCount) {
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
    SubsurfaceChannels channels;
    float viewCosine = 0.0f;
    if (anyDiffuse) {
        const float viewTransmission = 1.0f - fresnelReflectance(v, n, eta);
        channels = subsurfaceChannels(in, viewTransmission);
        viewCosine = std::fabs(dot(n, v));
    }
    const float lightCountF = static_cast<float>(lightCount);
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
            if (lightCount != 0) {
                const SubsurfaceChannels& c = channels;
                const Lanes single = c.albedoTimesTransmission * phaseOverPath;
                const Lanes diffusion =
                    (c.boundaryFactor * ((p2 * c.reducedAlbedo) * 0.5f)) * c.escapeFactor / pi;
                subsurfaceSum = ((((diffusion + single) * light.preShadowIntensity) * color) *
                                 in.diffuseScatter) /
                                    lightCountF +
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
                // The lobe's centre keeps its peak when 1 / eccentricity
                // overflows, as it does for a denormal eccentricity: 0 times
                // infinity would turn the whole colour into NaN.
                const float offCentre = clampedAcos(nh);
                const float angle = offCentre == 0.0f ? 0.0f : offCentre * inverseEccentricity;
                const float gauss = roundedExp(-(angle * angle)) * in.specularRollOff;
                const float t = nl <= ne ? nl : ne;
                float geometry = ((nh * 2.0f) * t) / he;
                if (geometry > 1.0f) {
                    geometry = 1.0f;
                }
                specularSum = ((gauss * intensity) * geometry) * specularColor + specularSum;
            }
        }
    }

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
