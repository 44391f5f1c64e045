// Random calls of the Arnold shader, and what each must give: the contract
// between the shader and the Maya node, written out again here, with what
// Arnold adds to it (ray types, links, the bump, broken light samples, the
// AOVs).
#pragma once

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "aihost/host.h"
#include "arnoldValues.h"
#include "model/materialAttributes.h"
#include "model/shading.h"
#include "model/shadingAccumulator.h"
#include "randomScene.h"

namespace lumaveil::arnoldtest {

using aihost::LightSampleValues;
using aihost::LightWeights;

constexpr std::size_t rowCount = materialAttributes.size();
// The parameters after the rows.
constexpr std::size_t normalIndex = rowCount;
inline const std::size_t transparencyIndex =
    static_cast<std::size_t>(materialAttributeNamed("transparency") - materialAttributes.data());
constexpr const char* aovParameters[] = {"aov_diffuse", "aov_translucency", "aov_specular",
                                         "aov_ambient", "aov_incandescence"};

struct Call {
    ShadingInputs material;  // the parameters' stored values
    aihost::ShadingPoint point;
    std::vector<LightWeights> lights;
    std::vector<LightSampleValues> samples;
    // By parameter index (the rows, then normal): linked or not, and what
    // the link gives at this point.
    std::vector<bool> linked = std::vector<bool>(rowCount + 1, false);
    std::vector<aihost::LinkValue> links = std::vector<aihost::LinkValue>(rowCount + 1);
    // The names the AOV parameters hold, and the AOVs the render outputs.
    std::vector<std::string> aovNames{"lumaVeil_diffuse", "lumaVeil_translucency",
                                      "lumaVeil_specular", "lumaVeil_ambient",
                                      "lumaVeil_incandescence"};
    std::vector<std::string> enabledAOVs;
};

// A value no renderer should hand over, now and then: not a number, infinite,
// or beyond any sensible range.
inline float oddValue(test::RandomScene& rng) {
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         -2.0f,
                         0.5f,
                         7.0f,
                         1e30f,
                         -1e-30f};
    return odd[static_cast<int>(rng.uniform(0.0f, 7.999f))];
}

inline AtVector randomBump(test::RandomScene& rng) {
    const FloatVector d = rng.direction();
    switch (static_cast<int>(rng.uniform(0.0f, 5.999f))) {
        case 0:
            return AtVector(0.0f, 0.0f, 0.0f);
        case 1:
            return AtVector(d.x, std::numeric_limits<float>::quiet_NaN(), d.z);
        case 2:
            return test::atVector(d * 1e-30f);  // too short for a plain normalization
        case 3:
            return test::atVector(d * 3e37f);  // too long for one
        default:
            return test::atVector(d * rng.uniform(0.2f, 5.0f));
    }
}

// A point on a surface seen from anywhere, hit by a camera ray, a shadow ray
// or an indirect one; up to five lights, point or distant ones of one sample
// and area ones of several whose count the pdf carries, from in front of the
// surface or behind it, partly shadowed, with weights between 0 and 1. With
// `arnoldInput`, what Arnold adds: parameters linked at random (and what the
// links give), a bump, values out of range or not finite, broken samples,
// ray types, AOVs enabled and renamed.
inline Call randomCall(test::RandomScene& rng, int i, bool arnoldInput = false) {
    Call call;
    call.material = rng.materialOrEdge(i);
    if (i % 3 == 0) {
        call.material.transparency = {0.0f, 0.0f, 0.0f};
    }
    const FloatVector n = rng.direction();
    call.point.Nf = call.point.N = test::atVector(n);
    call.point.P = test::atVector(rng.direction() * rng.uniform(0.0f, 10.0f));
    call.point.Ro = test::atVector(rng.direction() * rng.uniform(0.5f, 20.0f));
    call.point.fhemi = rng.coin();
    const int lightCount = i % 11 == 0 ? 0 : static_cast<int>(rng.uniform(1.0f, 6.0f));
    for (int l = 0; l < lightCount; ++l) {
        const float edges[] = {0.0f, 1.0f, rng.uniform(0.0f, 1.0f)};
        call.lights.push_back(
            {edges[(i + l) % 3], rng.uniform(0.0f, 1.0f), edges[(i + 2 * l) % 3]});
        const int samples = rng.coin() ? 1 : static_cast<int>(rng.uniform(2.0f, 9.0f));
        for (int s = 0; s < samples; ++s) {
            LightSampleValues v;
            v.light = static_cast<std::size_t>(l);
            v.direction = test::atVector(rng.direction());
            v.distance = rng.uniform(0.1f, 10.0f);
            v.unoccluded = test::atRGB(rng.colour(0.0f, 4.0f));
            v.occlusion = rng.coin() ? test::atRGB(rng.colour()) : AtRGB(0.0f);
            v.pdf = static_cast<float>(samples);
            call.samples.push_back(v);
        }
    }
    if (!arnoldInput) {
        return call;
    }

    // One call in six is a shadow ray, one in four an indirect one.
    const uint8_t rays[] = {
        AI_RAY_SHADOW, AI_RAY_DIFFUSE_REFLECT, AI_RAY_SPECULAR_REFLECT, AI_RAY_DIFFUSE_TRANSMIT,
        AI_RAY_CAMERA, AI_RAY_CAMERA,          AI_RAY_CAMERA,           AI_RAY_CAMERA,
        AI_RAY_CAMERA, AI_RAY_CAMERA,          AI_RAY_CAMERA,           AI_RAY_CAMERA};
    call.point.rayType = rays[static_cast<int>(rng.uniform(0.0f, 11.999f))];
    if (call.point.rayType == AI_RAY_SHADOW && rng.coin()) {
        call.material.transparency = rng.colour(-0.5f, 1.5f);
    }
    if (i % 4 == 1) {
        for (int k = static_cast<int>(rng.uniform(1.0f, 3.999f)); k > 0; --k) {
            const MaterialAttribute& row =
                materialAttributes[static_cast<std::size_t>(rng.uniform(0.0f, rowCount - 0.001f))];
            FloatVector v = valueIn(call.material, row);
            v[static_cast<int>(rng.uniform(0.0f, row.components - 0.001f))] = oddValue(rng);
            setIn(call.material, row, v);
        }
    }
    if (i % 3 != 0) {
        for (std::size_t p = 0; p <= rowCount; ++p) {
            call.linked[p] = rng.uniform(0.0f, 1.0f) < 0.3f;
            const FloatVector v = p < rowCount
                                      ? valueIn(rng.materialOrEdge(i + 1), materialAttributes[p])
                                      : FloatVector{};
            call.links[p] = {v.x, v.y, v.z};
            if (rng.uniform(0.0f, 1.0f) < 0.1f) {
                call.links[p][0] = oddValue(rng);
            }
        }
        const AtVector bump = randomBump(rng);
        call.links[normalIndex] = {bump.x, bump.y, bump.z};
        call.linked[normalIndex] = rng.uniform(0.0f, 1.0f) < 0.6f;
    }
    for (LightSampleValues& v : call.samples) {
        switch (static_cast<int>(rng.uniform(0.0f, 24.0f))) {
            case 0:
                v.pdf = 0.0f;
                break;
            case 1:
                v.pdf = -1.0f;
                break;
            case 2:
                v.pdf = std::numeric_limits<float>::quiet_NaN();
                break;
            case 3:
                v.pdf = std::numeric_limits<float>::infinity();
                break;
            case 4:
                v.unoccluded.g = std::numeric_limits<float>::infinity();
                break;
            case 5:
                v.unoccluded.b = std::numeric_limits<float>::quiet_NaN();
                break;
            case 6:  // Li alone not finite: infinitely occluded
                v.occlusion.r = -std::numeric_limits<float>::infinity();
                break;
            case 7:  // finite, but its radiance over its pdf is not
                v.pdf = 1e-44f;
                break;
            default:
                break;
        }
    }
    if (rng.coin()) {
        for (const std::string& name : call.aovNames) {
            if (rng.uniform(0.0f, 1.0f) < 0.7f) {
                call.enabledAOVs.push_back(name);
            }
        }
    }
    if (i % 7 == 0) {
        call.aovNames[static_cast<std::size_t>(rng.uniform(0.0f, 4.999f))] = "renamed";
        call.enabledAOVs.push_back("renamed");
    }
    return call;
}

// The node's parameters, links and AOVs as the call has them; the shader's
// Update runs after each change.
inline void setUp(aihost::Shader& shader, const Call& call, Call& previous) {
    test::setMaterial(shader, call.material);
    for (std::size_t p = 0; p <= rowCount; ++p) {
        if (call.linked[p] != previous.linked[p]) {
            shader.setLinked(shader.entry().parameters[p].name, call.linked[p]);
        }
    }
    for (std::size_t a = 0; a < call.aovNames.size(); ++a) {
        if (call.aovNames[a] != previous.aovNames[a]) {
            shader.setString(aovParameters[a], call.aovNames[a]);
        }
    }
    aihost::enableAOVs(call.enabledAOVs);
    previous = call;
}

inline aihost::ShadeResult shade(const aihost::Shader& shader, const Call& call) {
    aihost::ShadingPoint point = call.point;
    point.links = call.links;
    const aihost::Lights lights(call.lights);
    return shader.shade(point, lights, call.samples);
}

// What the material's inputs are at the point: the stored values, the
// links' where linked.
inline ShadingInputs inputsAt(const Call& call) {
    ShadingInputs in = call.material;
    for (std::size_t p = 0; p < rowCount; ++p) {
        if (call.linked[p]) {
            const aihost::LinkValue& v = call.links[p];
            setIn(in, materialAttributes[p], {v[0], v[1], v[2]});
        }
    }
    return in;
}

// The shading normal: the linked bump, normalized as Arnold normalizes (a
// vector too short or too long for that first scaled by its largest
// component), facing the eye, if it has a direction at all; else Nf.
inline FloatVector normalAt(const Call& call) {
    const AtVector& nf = call.point.Nf;
    if (call.linked[normalIndex]) {
        const aihost::LinkValue& b = call.links[normalIndex];
        const AtVector v(b[0], b[1], b[2]);
        const float largest = std::fmax(std::fabs(v.x), std::fmax(std::fabs(v.y), std::fabs(v.z)));
        if (std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && largest > 0.0f) {
            AtVector u = AiV3Normalize(v);
            if (!(std::fabs(AiV3Dot(u, u) - 1.0f) < 0.5f)) {
                u = AiV3Normalize(v * (1.0f / largest));
            }
            const AtVector rayDirection = AiV3Normalize(call.point.P - call.point.Ro);
            if (AiV3Dot(u, -rayDirection) < 0.0f) {
                u = -u;
            }
            return {u.x, u.y, u.z};
        }
    }
    return {nf.x, nf.y, nf.z};
}

inline bool finite(const AtRGB& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b);
}

// A sample a renderer may hand over broken: no light the model can use.
inline bool usable(const LightSampleValues& s) {
    const AtRGB li = s.unoccluded * (AtRGB(1.0f) - s.occlusion);
    return s.pdf > 0.0f && std::isfinite(s.pdf) && finite(s.unoccluded) && finite(li);
}

// What the Maya node gives for the point and lights: each usable sample as a
// diffuse record (radiance by the light's diffuse weight, pre-shadow
// intensity the unshadowed colour's mean by its subsurface weight) and a
// specular one, the glow divided by the number of lights. `terms` gets the
// colour's terms.
inline ShadingOutputs contractColour(const Call& call, ShadingTerms* terms = nullptr) {
    ShadingInputs in = inputsAt(call);
    in.normalCamera = normalAt(call);
    const AtVector view = call.point.P - call.point.Ro;
    in.pointCamera = {view.x, view.y, view.z};
    std::vector<LightSample> records;
    for (const LightSampleValues& s : call.samples) {
        if (!usable(s)) {
            continue;
        }
        const LightWeights& w = call.lights[s.light];
        const AtRGB li(s.unoccluded.r * (1.0f - s.occlusion.r),
                       s.unoccluded.g * (1.0f - s.occlusion.g),
                       s.unoccluded.b * (1.0f - s.occlusion.b));
        const FloatVector d{s.direction.x, s.direction.y, s.direction.z};
        LightSample diffuse;
        diffuse.lightDirection = d;
        diffuse.lightIntensity = {li.r / s.pdf * w.diffuse, li.g / s.pdf * w.diffuse,
                                  li.b / s.pdf * w.diffuse};
        diffuse.preShadowIntensity =
            (s.unoccluded.r + s.unoccluded.g + s.unoccluded.b) / 3.0f / s.pdf * w.sss;
        diffuse.lightAmbient = diffuse.lightSpecular = false;
        diffuse.lightDiffuse = true;
        LightSample specular;
        specular.lightDirection = d;
        specular.lightIntensity = {li.r / s.pdf * w.specular, li.g / s.pdf * w.specular,
                                   li.b / s.pdf * w.specular};
        specular.lightAmbient = specular.lightDiffuse = false;
        specular.lightSpecular = true;
        records.push_back(diffuse);
        records.push_back(specular);
    }
    const int divisor = static_cast<int>(call.lights.size());
    if (terms) {
        ShadingAccumulator accumulator(in, divisor);
        for (const LightSample& r : records) {
            accumulator.addLight(r);
        }
        *terms = accumulator.terms();
    }
    return evaluateShading(in, records, divisor);
}

// The light a shadow ray lets through: the transparency at the point, each
// channel in [0, 1], a channel that is not finite at its default, opaque.
inline AtRGB shadowTransparency(const Call& call) {
    const FloatVector t = inputsAt(call).transparency;
    float held[3];
    for (int c = 0; c < 3; ++c) {
        held[c] = std::isfinite(t[c]) ? std::fmin(std::fmax(t[c], 0.0f), 1.0f) : 0.0f;
    }
    return AtRGB(held[0], held[1], held[2]);
}

inline bool sameBits(const AtRGB& a, const AtRGB& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
inline AtRGB rgbOf(FloatVector v) {
    return test::atRGB(v);
}

// What the call got wrong, in a line; empty where it kept the contract.
inline std::string contractBreach(const Call& call, const aihost::ShadeResult& got) {
    std::ostringstream why;
    const auto text = [](const AtRGB& c) {
        std::ostringstream t;
        t << c.r << " " << c.g << " " << c.b;
        return t.str();
    };
    if (got.aovWritesOffCamera != 0 || got.aovWritesNotEnabled != 0) {
        why << got.aovWritesOffCamera << " AOV writes off the camera ray, "
            << got.aovWritesNotEnabled << " of AOVs not enabled";
        return why.str();
    }
    if (!got.fhemiRestored || !got.normalsRestored) {
        return "the shading globals were left changed";
    }
    int linked = 0;
    for (std::size_t p = 0; p < rowCount; ++p) {
        linked += call.linked[p];
    }
    if (call.point.rayType == AI_RAY_SHADOW) {
        const AtRGB t = shadowTransparency(call);
        const bool through = t.r > 0.0f || t.g > 0.0f || t.b > 0.0f;
        if (got.emissionClosures != 0 || got.otherClosures != 0 || got.lightsPrepared ||
            got.transparentClosures != (through ? 1 : 0) ||
            (through && !sameBits(got.transparency, t))) {
            why << "shadow ray: " << got.emissionClosures << " emission, "
                << got.transparentClosures << " transparent (" << text(got.transparency)
                << " against " << text(t) << "), lights prepared " << got.lightsPrepared;
            return why.str();
        }
        if (got.parameterEvaluations != (call.linked[transparencyIndex] ? 1 : 0)) {
            why << "shadow ray: " << got.parameterEvaluations << " parameter evaluations";
            return why.str();
        }
        return "";
    }

    ShadingTerms terms;
    const ShadingOutputs expected = contractColour(call, &terms);
    if (got.emissionClosures != 1 || !sameBits(got.emission, rgbOf(expected.outColor))) {
        why << got.emissionClosures << " emission closures, " << text(got.emission) << " against "
            << text(rgbOf(expected.outColor));
        return why.str();
    }
    if (!finite(got.emission) || got.emission.r < 0.0f || got.emission.g < 0.0f ||
        got.emission.b < 0.0f) {
        return "emission " + text(got.emission) + " is not finite and non-negative";
    }
    const FloatVector& t = expected.outTransparency;
    const bool through = t.x > 0.0f || t.y > 0.0f || t.z > 0.0f;
    if (got.transparentClosures != (through ? 1 : 0) ||
        (through && !sameBits(got.transparency, rgbOf(t)))) {
        why << got.transparentClosures << " transparent closures, " << text(got.transparency)
            << " against " << text(rgbOf(t));
        return why.str();
    }
    if (got.samplesHandedOut != static_cast<int>(call.samples.size())) {
        return "the hemisphere behind the surface was not opened to the light loop";
    }
    if (got.parameterEvaluations != linked + (call.linked[normalIndex] ? 1 : 0)) {
        why << got.parameterEvaluations << " parameter evaluations for " << linked
            << " linked rows and normal " << call.linked[normalIndex];
        return why.str();
    }
    // Each light's weights once, its samples coming one after another: at
    // least for the lights with a usable sample, at most for those with any.
    int lightsUsed = 0, lightsSampled = 0;
    for (std::size_t l = 0; l < call.lights.size(); ++l) {
        bool used = false, sampled = false;
        for (const LightSampleValues& s : call.samples) {
            used = used || (s.light == l && usable(s));
            sampled = sampled || s.light == l;
        }
        lightsUsed += used;
        lightsSampled += sampled;
    }
    if (got.lightWeightCalls < 3 * lightsUsed || got.lightWeightCalls > 3 * lightsSampled) {
        why << got.lightWeightCalls << " light weight calls for " << lightsUsed << " to "
            << lightsSampled << " lights";
        return why.str();
    }

    // Each enabled AOV once on a camera ray, with its term; none elsewhere.
    const FloatVector ShadingTerms::*termOf[] = {
        &ShadingTerms::diffuse, &ShadingTerms::translucency, &ShadingTerms::specular,
        &ShadingTerms::ambient, &ShadingTerms::incandescence};
    int expectedWrites = 0;
    AtRGB sum(0.0f), magnitude(0.0f);
    for (std::size_t a = 0; a < call.aovNames.size(); ++a) {
        bool enabled = false;
        for (const std::string& e : call.enabledAOVs) {
            enabled = enabled || e == call.aovNames[a];
        }
        if (!enabled || call.point.rayType != AI_RAY_CAMERA) {
            continue;
        }
        ++expectedWrites;
        const aihost::AOVWrite* write = nullptr;
        for (int w = 0; w < got.aovsStored; ++w) {
            if (got.aovs[static_cast<std::size_t>(w)].name == call.aovNames[a]) {
                if (write) {
                    return "the AOV " + call.aovNames[a] + " was written twice";
                }
                write = &got.aovs[static_cast<std::size_t>(w)];
            }
        }
        if (!write) {
            return "the AOV " + call.aovNames[a] + " was not written";
        }
        const FloatVector term = terms.*termOf[a];
        float held[3];
        for (int c = 0; c < 3; ++c) {
            held[c] = std::isfinite(term[c]) ? term[c]
                      : term[c] > 0.0f       ? std::numeric_limits<float>::max()
                                             : 0.0f;
        }
        if (!sameBits(write->value, AtRGB(held[0], held[1], held[2]))) {
            return "the AOV " + call.aovNames[a] + " is " + text(write->value) + ", not " +
                   text(AtRGB(held[0], held[1], held[2]));
        }
        sum += write->value;
        magnitude += AtRGB(std::fabs(held[0]), std::fabs(held[1]), std::fabs(held[2]));
    }
    if (got.aovsStored != expectedWrites) {
        why << got.aovsStored << " AOV writes, not " << expectedWrites;
        return why.str();
    }
    // All five add up to the emission where it needed no clamp.
    if (expectedWrites == 5) {
        const float e[3] = {got.emission.r, got.emission.g, got.emission.b};
        const float s[3] = {sum.r, sum.g, sum.b};
        const float m[3] = {magnitude.r, magnitude.g, magnitude.b};
        for (int c = 0; c < 3; ++c) {
            if (e[c] > 0.0f && e[c] < std::numeric_limits<float>::max() &&
                std::fabs(s[c] - e[c]) > 1e-6f * m[c] + 1e-30f) {
                why << "the AOVs add up to " << text(sum) << ", the emission is "
                    << text(got.emission);
                return why.str();
            }
        }
    }
    return "";
}

}  // namespace lumaveil::arnoldtest
