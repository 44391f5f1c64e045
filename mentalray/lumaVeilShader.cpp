// The material shader qv7k_lumaVeil and its version function.
//
// Per shading sample: read the parameters, sample every listed light through
// the renderer, add each light's mean per-sample contribution (subsurface,
// diffuse and specular terms), then the ambient and incandescent colours and,
// when asked, the irradiance. Everything lives on the stack.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

#include <shader.h>
#include "mentalray/ShaderParams.h"
#include "mentalray/binding.h"
#include "mentalray/evaluateParam.h"
#include "mentalray/exports.h"
#include "model/FloatVector.h"
#include "model/Lanes.h"
#include "model/floatMath.h"
#include "model/materialAttributes.h"
#include "model/optics.h"
#include "model/physicalRange.h"
#include "model/scatterPhasePair.h"
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

// The row of the node's attribute whose role the parameter of that name plays.
constexpr std::size_t rowOfParameter(std::string_view parameter) {
    std::size_t row = 0;
    while (row < materialAttributes.size() &&
           materialAttributes[row].rendererParameter != parameter) {
        ++row;
    }
    return row;
}

// Visits each parameter that plays the role of a node attribute, with the
// attribute's row: visitor.template apply<row>(parameter).
template <class Params, class Visitor>
void visitSharedParameters(Params& p, Visitor& visitor) {
    visitor.template apply<rowOfParameter("color")>(p.color);
    visitor.template apply<rowOfParameter("ambientColor")>(p.ambientColor);
    visitor.template apply<rowOfParameter("incandescence")>(p.incandescence);
    visitor.template apply<rowOfParameter("diffuse")>(p.diffuse);
    visitor.template apply<rowOfParameter("absorption")>(p.absorption);
    visitor.template apply<rowOfParameter("scattering")>(p.scattering);
    visitor.template apply<rowOfParameter("refractiveIndex")>(p.refractiveIndex);
    visitor.template apply<rowOfParameter("anisotropy")>(p.anisotropy);
    visitor.template apply<rowOfParameter("diffuseReflection")>(p.diffuseReflection);
    visitor.template apply<rowOfParameter("diffuseAnisotropy")>(p.diffuseAnisotropy);
    visitor.template apply<rowOfParameter("diffuseScatter")>(p.diffuseScatter);
    visitor.template apply<rowOfParameter("eccentricity")>(p.eccentricity);
    visitor.template apply<rowOfParameter("specularRollOff")>(p.specularRollOff);
    visitor.template apply<rowOfParameter("specularColor")>(p.specularColor);
}

// Each parameter held as the model holds its attribute.
struct Hold {
    template <std::size_t row>
    void apply(miColor& c) const {
        static_assert(row < materialAttributes.size(), "a parameter without its attribute");
        constexpr const MaterialAttribute& attribute = materialAttributes[row];
        c.r = heldChannel(attribute, 0, c.r);
        c.g = heldChannel(attribute, 1, c.g);
        c.b = heldChannel(attribute, 2, c.b);
    }
    template <std::size_t row>
    void apply(miScalar& s) const {
        static_assert(row < materialAttributes.size(), "a parameter without its attribute");
        s = heldChannel(materialAttributes[row], 0, s);
    }
};

// Whether every finite parameter already lies in its attribute's physical
// range; a row without one asks nothing.
struct InPhysicalRange {
    bool all = true;
    template <std::size_t row>
    void apply(const miColor& c) {
        constexpr const MaterialAttribute& attribute = materialAttributes[row];
        if constexpr (attribute.physicalMin || attribute.physicalMax) {
            all = all && withinPhysicalRange(attribute, c.r) == c.r &&
                  withinPhysicalRange(attribute, c.g) == c.g &&
                  withinPhysicalRange(attribute, c.b) == c.b;
        }
    }
    template <std::size_t row>
    void apply(const miScalar& s) {
        constexpr const MaterialAttribute& attribute = materialAttributes[row];
        if constexpr (attribute.physicalMin || attribute.physicalMax) {
            all = all && withinPhysicalRange(attribute, s) == s;
        }
    }
};

// Whether every float of the block before useIrradiance, and of the
// irradiance weight, is finite, four at a time: x - x is 0 for a finite x and
// NaN otherwise, so one sum tells.
bool allFinite(const ShaderParams& v) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    Lanes probe{};
    float rest = 0.0f;
    auto add = [&](std::size_t from, std::size_t to) {
        std::size_t at = from;
        for (; at + sizeof(Lanes) <= to; at += sizeof(Lanes)) {
            Lanes x;
            std::memcpy(&x, bytes + at, sizeof x);
            probe = (x - x) + probe;
        }
        for (; at < to; at += sizeof(float)) {
            float x;
            std::memcpy(&x, bytes + at, sizeof x);
            rest = (x - x) + rest;
        }
    };
    add(0, offsetof(ShaderParams, useIrradiance));
    add(offsetof(ShaderParams, irradianceColor), offsetof(ShaderParams, i_light));
    return ((probe[0] + probe[1]) + (probe[2] + probe[3])) + rest == 0.0f;
}

// The parameters as the model holds the node's attributes of the same role:
// a value that is not finite acts as the default, and an index below 1 or a
// negative coefficient is held to the physical range. The shader's own
// parameters fall back to their declared defaults: no normal offset, a white
// irradiance weight. Parameters that need nothing are used in place; the
// others are held in `storage`.
const ShaderParams& heldToPhysicalRange(const ShaderParams& v, ShaderParams& storage) {
    if (allFinite(v)) {
        InPhysicalRange inRange;
        visitSharedParameters(v, inRange);
        if (inRange.all) {
            return v;
        }
    }
    storage = v;
    Hold hold;
    visitSharedParameters(storage, hold);
    if (!isFinite(xyz(storage.normalCamera))) {
        storage.normalCamera = miVector{0.0f, 0.0f, 0.0f};
    }
    if (!isFinite(rgb(storage.irradianceColor))) {
        storage.irradianceColor = miColor{1.0f, 1.0f, 1.0f, 1.0f};
    }
    return storage;
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

    // Single scattering.
    float eta = 0.0f;
    float viewCosine = 0.0f;    // |N' . V|
    Lanes transmittedAlbedo{};  // Ft * rho, 0 where rho is undefined

    // Diffusion, per channel of color.
    DiffusionChannels diffusionChannels;

    // Phase weights of the single-scattering part (of anisotropy) and the
    // diffusion part (of diffuseAnisotropy).
    ScatterPhasePair phases{0.0f, 0.0f};

    // Specular lobe. A zero eccentricity has no lobe.
    bool hasLobe = false;
    float inverseEccentricity = 0.0f;
};

// N', the renderer's normal offset by normalCamera and made unit. An offset
// that cancels the normal, or leaves a sum too short to be made unit, leaves
// the renderer's normal: such a sum has no direction, and every cosine with it
// would be 0 or next to it, where the phase weight jumps and the
// single-scattering path has no length.
FloatVector shadingNormalOf(FloatVector rendererNormal, FloatVector offset) {
    const FloatVector sum = rendererNormal + offset;
    if (dot(sum, sum) < std::numeric_limits<float>::min()) {
        return normalizeVector(rendererNormal);
    }
    return normalizeVector(sum);
}

// The contribution of one light sample of colour lc from direction l.
Lanes sampleContribution(const CallConstants& k, Lanes lc, FloatVector l) {
    const FloatVector& n = k.shadingNormal;
    const float mu = dot(n, l);
    const PhaseWeights phase = k.phases(mu);
    const float p1 = phase.first;
    const float p2 = phase.second;

    Lanes single{};
    const FloatVector refracted = normalizeVector(refractDirection(-l, n, k.eta));
    const float m = std::fabs(dot(n, refracted)) + k.viewCosine;
    // With both cosines 0 there is no path and no single scattering.
    if (m != 0.0f) {
        const float phaseOverPath = p1 / m;
        single = k.transmittedAlbedo * phaseOverPath;
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

// The parameters' values for this call, copied into values in their fixed
// order: a driven parameter's shader runs in it. Nothing the renderer does
// later in the call can change the copies under us. Gives the evaluated
// address of the light array's slot.
const miTag* evaluateParameters(miState* state, const ShaderParams& params, ShaderParams& values) {
    values.color = *evaluateParam(state, &params.color);
    values.ambientColor = *evaluateParam(state, &params.ambientColor);
    values.incandescence = *evaluateParam(state, &params.incandescence);
    values.absorption = *evaluateParam(state, &params.absorption);
    values.scattering = *evaluateParam(state, &params.scattering);
    values.specularColor = *evaluateParam(state, &params.specularColor);
    values.eccentricity = *evaluateParam(state, &params.eccentricity);
    values.specularRollOff = *evaluateParam(state, &params.specularRollOff);
    values.normalCamera = *evaluateParam(state, &params.normalCamera);
    values.useIrradiance = *evaluateParam(state, &params.useIrradiance);
    values.diffuse = *evaluateParam(state, &params.diffuse);
    values.refractiveIndex = *evaluateParam(state, &params.refractiveIndex);
    values.anisotropy = *evaluateParam(state, &params.anisotropy);
    values.diffuseReflection = *evaluateParam(state, &params.diffuseReflection);
    values.diffuseAnisotropy = *evaluateParam(state, &params.diffuseAnisotropy);
    values.diffuseScatter = *evaluateParam(state, &params.diffuseScatter);
    values.n_light = *evaluateParam(state, &params.n_light);
    values.i_light = *evaluateParam(state, &params.i_light);
    const miTag* const lights = evaluateParam(state, &params.light[0]);
    if (values.useIrradiance != miFALSE) {
        values.irradianceColor = *evaluateParam(state, &params.irradianceColor);
    }
    return lights;
}

// One call, with the parameters' values in v, read where they are used, and
// the light array's slot at lights.
miBoolean shade(miColor* result, miState* state, const ShaderParams& v, const miTag* lights) {
    // A black weight switches the irradiance off, whatever its alpha.
    const bool useIrradiance =
        v.useIrradiance != miFALSE && !(v.irradianceColor.r == 0.0f &&
                                        v.irradianceColor.g == 0.0f && v.irradianceColor.b == 0.0f);

    const FloatVector shadingNormal = shadingNormalOf(xyz(state->normal), xyz(v.normalCamera));

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

    if (v.n_light > 0) {
        CallConstants k;
        k.shadingNormal = shadingNormal;
        k.rendererNormal = xyz(state->normal);
        k.towardsViewer = -xyz(state->dir);
        k.color = lanes(rgb(v.color));
        k.specularColor = lanes(rgb(v.specularColor));
        k.diffuse = v.diffuse;
        k.diffuseScatter = v.diffuseScatter;
        k.specularRollOff = v.specularRollOff;

        k.hasLobe = v.eccentricity != 0.0f;
        if (k.hasLobe) {
            k.inverseEccentricity = 1.0f / v.eccentricity;
        }

        // The index is held at 1 or above: the light always refracts.
        k.eta = 1.0f / v.refractiveIndex;
        const float transmission = 1.0f - fresnelReflectance(xyz(state->dir), shadingNormal, k.eta);
        k.viewCosine = std::fabs(dot(shadingNormal, k.towardsViewer));
        k.transmittedAlbedo = transmittedAlbedo(rgb(v.scattering), rgb(v.absorption), transmission);
        k.diffusionChannels = diffusionChannels(rgb(v.color), v.diffuseReflection);
        k.phases = ScatterPhasePair(v.anisotropy, v.diffuseAnisotropy);

        // The sum is kept here and written back once: nothing else writes
        // the result during the call.
        Lanes total = lanes({result->r, result->g, result->b});
        miColor lightColor{};
        miVector direction{};
        miScalar cosine = 0.0f;
        // The light cursor starts at element i_light of the light array.
        const miTag* cursor = lights + v.i_light;
        for (miInteger left = v.n_light; left > 0; --left, ++cursor) {
            miInteger samples = 0;
            Lanes sum{};
            while (
                mr::mi_sample_light(&lightColor, &direction, &cosine, state, *cursor, &samples)) {
                sum = sum + sampleContribution(k, lanes(rgb(lightColor)), xyz(direction));
            }
            // Each light adds the mean contribution of its samples. The mean
            // of one sample is that sample, bit for bit, without a division.
            if (samples > 0) {
                const Lanes mean = samples == 1 ? sum : sum / static_cast<float>(samples);
                total = mean + total;
            }
        }
        result->r = total[0];
        result->g = total[1];
        result->b = total[2];
    }

    state->pri = savedPri;

    const miColor& color = v.color;
    result->r = v.ambientColor.r * color.r + result->r;
    result->g = v.ambientColor.g * color.g + result->g;
    result->b = v.ambientColor.b * color.b + result->b;
    result->r = v.incandescence.r + result->r;
    result->g = v.incandescence.g + result->g;
    result->b = v.incandescence.b + result->b;
    result->a = 1.0f;

    if (useIrradiance) {
        miColor irradiance{};
        mr::mi_compute_irradiance(&irradiance, &irradianceState);
        result->r = ((color.r * irradiance.r) * v.irradianceColor.r) / pi + result->r;
        result->g = ((color.g * irradiance.g) * v.irradianceColor.g) / pi + result->g;
        result->b = ((color.b * irradiance.b) * v.irradianceColor.b) / pi + result->b;
        result->a = 1.0f;
    }

    // Whatever came in, the colour leaves finite and not below 0.
    const FloatVector held = heldColour(rgb(*result));
    result->r = held.x;
    result->g = held.y;
    result->b = held.z;
    return miTRUE;
}

}  // namespace

}  // namespace lumaveil::mr

LUMAVEIL_MR_EXPORT int qv7k_lumaVeil_version(void) {
    return 1;
}

LUMAVEIL_MR_EXPORT miBoolean qv7k_lumaVeil(miColor* result, miState* state,
                                           lumaveil::mr::ShaderParams* params) {
    using namespace lumaveil::mr;
    // Where no ghost word is set nothing is driven: each parameter evaluates
    // to its own field, read in place (the renderer's block does not change
    // during the call). Otherwise every field is evaluated in order.
    const ShaderParams* values = params;
    const miTag* lights = params->light;
    ShaderParams evaluated;
    if (anyGhostWordSet(state, params, sizeof(ShaderParams))) {
        lights = evaluateParameters(state, *params, evaluated);
        values = &evaluated;
    }
    ShaderParams heldValues;
    return shade(result, state, heldToPhysicalRange(*values, heldValues), lights);
}
