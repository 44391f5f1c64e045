// The material shader qv7k_lumaVeil and its version function.
//
// Per shading sample: read the parameters, sample every listed light through
// the renderer, add each light's mean per-sample contribution (subsurface,
// diffuse and specular terms), then the ambient and incandescent colours and,
// when asked, the irradiance. Everything lives on the stack.
#include <cmath>

#include <shader.h>
#include "mentalray/ShaderParams.h"
#include "mentalray/binding.h"
#include "mentalray/evaluateParam.h"
#include "mentalray/exports.h"
#include "model/FloatVector.h"
#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/optics.h"
#include "model/specularLobe.h"
#include "model/subsurface.h"

namespace lumaveil::mr {

namespace {

FloatVector rgb(const miColor& c) {
    return {c.r, c.g, c.b};
}

FloatVector xyz(const miVector& v) {
    return {v.x, v.y, v.z};
}

// Everything the per-sample contribution needs that stays the same for the
// whole call. Products are hoisted whole, so every value keeps the order in
// which its formula is written.
struct CallConstants {
    FloatVector shadingNormal;   // N'
    FloatVector rendererNormal;  // state->normal, for the cosine of the light
    FloatVector towardsViewer;   // V = -dir, as the renderer gives it
    Lanes color{};
    Lanes specularColor{};
    float diffuse = 0.0f;
    float diffuseScatter = 0.0f;
    float specularRollOff = 0.0f;

    // Single scattering. Without a refractive index there is no refraction
    // and no single-scattering part.
    bool refracts = false;
    float eta = 0.0f;
    float viewCosine = 0.0f;    // |N' . V|
    Lanes transmittedAlbedo{};  // Ft * rho, 0 where rho is undefined

    // Diffusion, per channel of color.
    DiffusionChannels diffusionChannels;

    // Phase weights of the single-scattering and diffusion parts.
    ScatterPhase singlePhase{0.0f};     // of anisotropy
    ScatterPhase diffusionPhase{0.0f};  // of diffuseAnisotropy
    bool samePhase = false;

    // Specular lobe. A zero eccentricity has no lobe.
    bool hasLobe = false;
    float inverseEccentricity = 0.0f;
};

// The contribution of one light sample of colour lc from direction l.
Lanes sampleContribution(const CallConstants& k, Lanes lc, FloatVector l) {
    const FloatVector& n = k.shadingNormal;
    const float mu = dot(n, l);
    const float p1 = k.singlePhase(mu);
    const float p2 = k.samePhase ? p1 : k.diffusionPhase(mu);

    Lanes single{};
    if (k.refracts) {
        const FloatVector refracted = normalizeVector(refractDirection(-l, n, k.eta));
        const float m = std::fabs(dot(n, refracted)) + k.viewCosine;
        // With both cosines 0 there is no path and no single scattering.
        if (m != 0.0f) {
            const float phaseOverPath = p1 / m;
            single = k.transmittedAlbedo * phaseOverPath;
        }
    }

    const Lanes diffusionValues = diffusion(k.diffusionChannels, p2);

    const float nl = dot(k.rendererNormal, l);
    float gauss = 0.0f;
    if (nl > 0.0f && k.hasLobe) {
        const FloatVector h = normalizeVector(l + k.towardsViewer);
        gauss = gaussianLobe(dot(n, h), k.inverseEccentricity);
    }

    // Every channel takes the mean of the three channels' diffusion, where the
    // node gives each its own. Intended: scenes rely on this mean.
    const Lanes subsurface = ((splat(diffusionValues[0]) + single) * k.color) / 3.0f +
                             ((splat(diffusionValues[1]) + single) * k.color) / 3.0f +
                             ((splat(diffusionValues[2]) + single) * k.color) / 3.0f;
    Lanes diffuseTerm{};
    Lanes specularTerm{};
    if (nl > 0.0f) {
        diffuseTerm = ((nl * k.diffuse) * lc) * k.color;
        specularTerm = (k.specularColor * (gauss * k.specularRollOff)) * lc;
    }
    // Two half-and-half blends weigh the subsurface term 0.25 and the diffuse
    // term 0.75, per sample. Intended: scenes rely on this blend.
    Lanes mix = 0.5f * (k.diffuseScatter * subsurface) + 0.5f * diffuseTerm;
    mix = 0.5f * mix + 0.5f * diffuseTerm;
    return mix + specularTerm;
}

}  // namespace

}  // namespace lumaveil::mr

LUMAVEIL_MR_EXPORT int qv7k_lumaVeil_version(void) {
    return 1;
}

LUMAVEIL_MR_EXPORT miBoolean qv7k_lumaVeil(miColor* result, miState* state,
                                           lumaveil::mr::ShaderParams* params) {
    using namespace lumaveil;
    using namespace lumaveil::mr;

    // Parameters, in a fixed order: a driven parameter's shader runs in it.
    // The colours are copied at once; nothing the renderer does later in the
    // call can change them under us.
    const FloatVector color = rgb(*evaluateParam(state, &params->color));
    const FloatVector ambientColor = rgb(*evaluateParam(state, &params->ambientColor));
    const FloatVector incandescence = rgb(*evaluateParam(state, &params->incandescence));
    const FloatVector absorption = rgb(*evaluateParam(state, &params->absorption));
    const FloatVector scattering = rgb(*evaluateParam(state, &params->scattering));
    const FloatVector specularColor = rgb(*evaluateParam(state, &params->specularColor));
    const float eccentricity = *evaluateParam(state, &params->eccentricity);
    const float specularRollOff = *evaluateParam(state, &params->specularRollOff);
    const FloatVector normalCamera = xyz(*evaluateParam(state, &params->normalCamera));
    bool useIrradiance = *evaluateParam(state, &params->useIrradiance) != miFALSE;
    const float diffuse = *evaluateParam(state, &params->diffuse);
    const float refractiveIndex = *evaluateParam(state, &params->refractiveIndex);
    const float anisotropy = *evaluateParam(state, &params->anisotropy);
    const float diffuseReflection = *evaluateParam(state, &params->diffuseReflection);
    const float diffuseAnisotropy = *evaluateParam(state, &params->diffuseAnisotropy);
    const float diffuseScatter = *evaluateParam(state, &params->diffuseScatter);
    const miInteger lightCount = *evaluateParam(state, &params->n_light);
    const miInteger firstLight = *evaluateParam(state, &params->i_light);
    const miTag* const lights = evaluateParam(state, &params->light[0]);
    FloatVector irradianceColor;
    if (useIrradiance) {
        irradianceColor = rgb(*evaluateParam(state, &params->irradianceColor));
        // A black weight switches the term off, whatever its alpha.
        useIrradiance =
            !(irradianceColor.x == 0.0f && irradianceColor.y == 0.0f && irradianceColor.z == 0.0f);
    }

    const FloatVector shadingNormal = normalizeVector(xyz(state->normal) + normalCamera);

    // The irradiance is gathered with the shading normal and the primitive
    // that was hit, so the copy is taken before pri is cleared.
    miState irradianceState;
    if (useIrradiance) {
        irradianceState = *state;
        irradianceState.normal.x = shadingNormal.x;
        irradianceState.normal.y = shadingNormal.y;
        irradianceState.normal.z = shadingNormal.z;
    }

    // No primitive while the lights are sampled.
    const auto savedPri = state->pri;
    state->pri = nullptr;

    if (lightCount > 0) {
        CallConstants k;
        k.shadingNormal = shadingNormal;
        k.rendererNormal = xyz(state->normal);
        k.towardsViewer = -xyz(state->dir);
        k.color = lanes(color);
        k.specularColor = lanes(specularColor);
        k.diffuse = diffuse;
        k.diffuseScatter = diffuseScatter;
        k.specularRollOff = specularRollOff;

        k.refracts = refractiveIndex != 0.0f;
        if (k.refracts) {
            k.eta = 1.0f / refractiveIndex;
            const float transmission =
                1.0f - fresnelReflectance(xyz(state->dir), shadingNormal, k.eta);
            k.viewCosine = std::fabs(dot(shadingNormal, k.towardsViewer));
            k.transmittedAlbedo = transmittedAlbedo(scattering, absorption, transmission);
        }
        k.diffusionChannels = diffusionChannels(color, diffuseReflection);
        k.singlePhase = ScatterPhase(anisotropy);
        k.diffusionPhase = ScatterPhase(diffuseAnisotropy);
        k.samePhase = diffuseAnisotropy == anisotropy;

        k.hasLobe = eccentricity != 0.0f;
        if (k.hasLobe) {
            k.inverseEccentricity = 1.0f / eccentricity;
        }

        // The light cursor starts at element i_light of the light array.
        const miTag* cursor = lights + firstLight;
        for (miInteger left = lightCount; left > 0; --left, ++cursor) {
            miInteger samples = 0;
            Lanes sum{};
            miColor lightColor{};
            miVector direction{};
            miScalar cosine = 0.0f;
            while (
                mr::mi_sample_light(&lightColor, &direction, &cosine, state, *cursor, &samples)) {
                sum = sum + sampleContribution(k, lanes(rgb(lightColor)), xyz(direction));
            }
            // Each light adds the mean contribution of its samples. The mean
            // of one sample is that sample, bit for bit, without a division.
            if (samples > 0) {
                const Lanes mean = samples == 1 ? sum : sum / static_cast<float>(samples);
                result->r = mean[0] + result->r;
                result->g = mean[1] + result->g;
                result->b = mean[2] + result->b;
            }
        }
    }

    state->pri = savedPri;

    result->r = ambientColor.x * color.x + result->r;
    result->g = ambientColor.y * color.y + result->g;
    result->b = ambientColor.z * color.z + result->b;
    result->r = incandescence.x + result->r;
    result->g = incandescence.y + result->g;
    result->b = incandescence.z + result->b;
    result->a = 1.0f;

    if (useIrradiance) {
        miColor irradiance{};
        mr::mi_compute_irradiance(&irradiance, &irradianceState);
        result->r = ((color.x * irradiance.r) * irradianceColor.x) / pi + result->r;
        result->g = ((color.y * irradiance.g) * irradianceColor.y) / pi + result->g;
        result->b = ((color.z * irradiance.b) * irradianceColor.z) / pi + result->b;
        result->a = 1.0f;
    }
    return miTRUE;
}
