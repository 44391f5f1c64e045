// The expectations of the shading tests: both hosts' formulas written out
// once more, directly and in double precision, so that a test's expected
// colour comes from its own inputs rather than from a number to trust.
//
// Only the albedo table is shared with the code under test: it is data,
// checked against its rule on its own. The constants are the formulas' own
// (the Fresnel weight 1.1, the phase function's 3.14159 and -0.00001),
// written as decimals.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "model/albedo.h"
#include "model/shading.h"

namespace lumaveil::reference {

using Rgb = std::array<double, 3>;

struct Vec {
    double x = 0.0, y = 0.0, z = 0.0;
};

inline Vec vec(FloatVector v) {
    return {v.x, v.y, v.z};
}
inline Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec operator*(double s, Vec v) {
    return {s * v.x, s * v.y, s * v.z};
}
inline Vec operator-(Vec v) {
    return {-v.x, -v.y, -v.z};
}
inline double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
// The zero vector has no direction and stays zero.
inline Vec normalized(Vec v) {
    const double len = std::sqrt(dot(v, v));
    return len == 0.0 ? v : (1.0 / len) * v;
}

inline constexpr double pi = 3.14159265358979323846;

// Incident direction i towards the surface, through the normal n, with eta the
// ratio of the indices; the zero vector under total internal reflection.
inline Vec refracted(Vec i, Vec n, double eta) {
    const double d = dot(i, n);
    const double k = 1.0 - (1.0 - d * d) * eta * eta;
    return k > 0.0 ? eta * i + (-(d * eta + std::sqrt(k))) * n : Vec{};
}

// The Fresnel reflectance with the transmitted cosine weighted by 1.1; 1 for
// a direction from behind the normal.
inline double fresnelReflectance(Vec i, Vec n, double eta) {
    const double w = 1.1;
    const double ci = -dot(i, n);
    const double k = 1.0 - (1.0 - ci * ci) * eta * eta;
    if (ci < 0.0 || k < 0.0) {
        return 1.0;
    }
    const double ct = -dot(n, w * ((ci * eta - std::sqrt(k)) * n + eta * i));
    if (ci == 0.0 || ct == 0.0) {
        return 1.0;
    }
    const double r1 = (ct / ci - eta) / (ct / ci + eta);
    const double r2 = (ci / ct - eta) / (ci / ct + eta);
    return w * (r1 * r1 + r2 * r2) / 2.0 + (1.0 - w);
}

// exp(-(acos(c) / eccentricity)^2), the cosine clamped to [-1, 1].
inline double gaussianLobe(double cosine, double eccentricity) {
    const double angle = std::acos(std::clamp(cosine, -1.0, 1.0)) / eccentricity;
    return std::exp(-angle * angle);
}

// The diffusion value of one channel's reflectance, for phase weight p and
// boundary factor A.
inline double diffusion(float reflectance, double p, double boundary) {
    const double albedo = albedoFromReflectance(reflectance);
    const double s = std::sqrt(3.0 * (1.0 - albedo));
    return (std::exp(-4.0 / 3.0 * boundary * s) + 1.0) * p * albedo / 2.0 * std::exp(-s) / pi;
}

// rho of one channel; 0 for a medium that neither scatters nor absorbs.
inline double singleScatteringAlbedo(float scattering, float absorption) {
    const double extinction = double{scattering} + absorption;
    return extinction == 0.0 ? 0.0 : scattering / extinction;
}

// The node's colour for one sample.
inline Rgb modelColour(const ShadingInputs& in, std::span<const LightSample> lights,
                       int subsurfaceDivisor) {
    const Vec n = vec(in.normalCamera);
    const Vec v = normalized(vec(in.pointCamera));
    const Vec e = -v;
    const double eta = 1.0 / in.refractiveIndex;
    Rgb ambient{}, diffuse{}, subsurface{}, specular{};
    for (const LightSample& light : lights) {
        const Vec l = vec(light.lightDirection);
        const double nl = dot(l, n);
        for (int k = 0; k < 3; ++k) {
            if (light.lightAmbient) {
                ambient[k] += double{light.lightIntensity[k]} * in.color[k];
            }
            if (light.lightDiffuse) {
                const double ft = 1.0 - fresnelReflectance(v, n, eta);
                const Vec tl = normalized(refracted(-l, n, eta));
                const double mu = -dot(n, l);
                auto phase = [&](double g) {
                    return (1.0 - g * g) / std::pow(1.0 + 2.0 * g * mu + 2.0 * g * g, 1.5);
                };
                const double m = std::fabs(dot(n, tl)) + std::fabs(dot(n, v));
                const double single =
                    m == 0.0 ? 0.0
                             : singleScatteringAlbedo(in.scattering[k], in.absorption[k]) * ft *
                                   phase(in.anisotropy) / m;
                const double d =
                    diffusion(in.color[k], phase(in.diffuseAnisotropy), in.diffuseReflection);
                if (subsurfaceDivisor != 0) {
                    subsurface[k] += (d + single) * light.preShadowIntensity * in.color[k] *
                                     in.diffuseScatter / subsurfaceDivisor;
                }
                if (nl > 0.0) {
                    diffuse[k] += nl * in.diffuse * light.lightIntensity[k] * in.color[k];
                }
            }
            const Vec h = normalized(l + e);
            const double he = dot(h, e);
            if (light.lightSpecular && in.eccentricity != 0.0f && he != 0.0) {
                const double nh = dot(n, h);
                const double g = std::min(1.0, 2.0 * nh * std::min(nl, dot(n, e)) / he);
                specular[k] += gaussianLobe(nh, in.eccentricity) * in.specularRollOff *
                               light.lightIntensity[k] * g * in.specularColor[k];
            }
        }
    }
    Rgb out;
    for (int k = 0; k < 3; ++k) {
        const double mix = 0.5 * (0.5 * subsurface[k] + 0.5 * diffuse[k]) + 0.5 * diffuse[k];
        const double base =
            mix + double{in.ambientColor[k]} * in.color[k] + in.incandescence[k] + ambient[k];
        out[k] = specular[k] + (1.0 - in.transparency[k]) * base;
    }
    return out;
}

inline Rgb modelColour(const ShadingInputs& in, const std::vector<LightSample>& lights) {
    return modelColour(in, lights, static_cast<int>(lights.size()));
}

// What the renderer hands the shader for one sample of a light.
struct ShaderLightSample {
    FloatVector color;
    FloatVector direction;  // towards the light
};

// One call of the renderer shader: its parameters (the fields of
// ShadingInputs that the shader has, normalCamera being its normal offset),
// the state's normal and ray direction, and the samples each light delivers.
struct ShaderCall {
    ShadingInputs parameters;
    FloatVector normal{0.0f, 0.0f, 1.0f};
    FloatVector direction{0.0f, 0.0f, -1.0f};
    std::vector<std::vector<ShaderLightSample>> lights;
    FloatVector onEntry{};
    FloatVector irradianceColor{};  // the irradiance term is off while black
    FloatVector irradiance{};
};

// The shader's result colour for one call.
inline Rgb shaderColour(const ShaderCall& call) {
    const ShadingInputs& p = call.parameters;
    const Vec normal = vec(call.normal);
    const Vec n = normalized(normal + vec(p.normalCamera));
    const Vec v = -vec(call.direction);
    const bool refracts = p.refractiveIndex != 0.0f;
    const double eta = refracts ? 1.0 / p.refractiveIndex : 0.0;
    const double ft = refracts ? 1.0 - fresnelReflectance(vec(call.direction), n, eta) : 0.0;
    auto phase = [&](double g, double mu) {
        if (mu == 0.0) {
            return 1.0 - g * g / -0.00001;
        }
        const double base = std::max(0.0, 1.0 + g * g - 2.0 * g * mu);
        return 1.0 - std::pow(base, 1.5) * g * g * 0.25 * 3.14159;
    };
    auto contribution = [&](const ShaderLightSample& sample) {
        const Vec l = vec(sample.direction);
        const double mu = dot(n, l);
        const double p1 = phase(p.anisotropy, mu);
        const double p2 = phase(p.diffuseAnisotropy, mu);
        double m = 0.0;
        if (refracts) {
            m = std::fabs(dot(n, normalized(refracted(-l, n, eta)))) + std::fabs(dot(n, v));
        }
        double meanDiffusion = 0.0;
        for (int i = 0; i < 3; ++i) {
            meanDiffusion += diffusion(p.color[i], p2, p.diffuseReflection) / 3.0;
        }
        const double nl = dot(normal, l);
        const double gauss =
            p.eccentricity == 0.0f ? 0.0 : gaussianLobe(dot(n, normalized(l + v)), p.eccentricity);
        Rgb c;
        for (int k = 0; k < 3; ++k) {
            const double single =
                m == 0.0 ? 0.0
                         : ft * singleScatteringAlbedo(p.scattering[k], p.absorption[k]) * p1 / m;
            const double x = p.color[k] * (meanDiffusion + single);
            const double y = nl > 0.0 ? nl * p.diffuse * sample.color[k] * p.color[k] : 0.0;
            const double z =
                nl > 0.0 ? p.specularColor[k] * gauss * p.specularRollOff * sample.color[k] : 0.0;
            const double mix = 0.5 * (0.5 * (p.diffuseScatter * x) + 0.5 * y) + 0.5 * y;
            c[k] = mix + z;
        }
        return c;
    };

    Rgb result = {call.onEntry.x, call.onEntry.y, call.onEntry.z};
    for (const std::vector<ShaderLightSample>& light : call.lights) {
        Rgb sum{};
        for (const ShaderLightSample& sample : light) {
            const Rgb c = contribution(sample);
            for (int k = 0; k < 3; ++k) {
                sum[k] += c[k];
            }
        }
        for (int k = 0; k < 3; ++k) {
            result[k] += light.empty() ? 0.0 : sum[k] / static_cast<double>(light.size());
        }
    }
    const bool irradiance = !(call.irradianceColor == FloatVector{});
    for (int k = 0; k < 3; ++k) {
        result[k] += double{p.ambientColor[k]} * p.color[k] + p.incandescence[k];
        if (irradiance) {
            result[k] += double{p.color[k]} * call.irradiance[k] * call.irradianceColor[k] / pi;
        }
    }
    return result;
}

// The most channel k of the shader's colour may be for these parameters,
// lights of sumOfLights_k in all and lightCount of them, whatever the normal
// offset: per light a Lc + b, a = 0.75 diffuse color + specularColor
// specularRollOff holding the diffuse and specular terms at their peaks,
// b = 0.25 diffuseScatter color (1/pi + 1.1 rho / sqrt(1 - eta^2)) the
// subsurface term, which takes no light colour, for phase weights in [0, 1]
// (|g| <= 0.5): diffusion at most 1/pi, a view-side transmission at most 1.1
// and a path m at least sqrt(1 - eta^2). No ambient or incandescent light.
inline double shaderLightBound(const ShadingInputs& p, int k, double sumOfLights, int lightCount) {
    const double eta = 1.0 / p.refractiveIndex;
    const double perLight =
        0.75 * p.diffuse * p.color[k] + double{p.specularColor[k]} * p.specularRollOff;
    const double rho = singleScatteringAlbedo(p.scattering[k], p.absorption[k]);
    const double subsurface =
        0.25 * p.diffuseScatter * p.color[k] * (1.0 / pi + 1.1 * rho / std::sqrt(1.0 - eta * eta));
    return perLight * sumOfLights + lightCount * subsurface;
}

}  // namespace lumaveil::reference
