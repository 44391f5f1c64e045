// Random calls of the Arnold shader, and what each must give: the contract
// between the shader and the Maya node, written out again here.
#pragma once

#include <vector>

#include "aihost/host.h"
#include "arnoldValues.h"
#include "model/shading.h"
#include "randomScene.h"

namespace lumaveil::arnoldtest {

using aihost::LightSampleValues;
using aihost::LightWeights;

struct Call {
    ShadingInputs material;
    aihost::ShadingPoint point;
    std::vector<LightWeights> lights;
    std::vector<LightSampleValues> samples;
};

// A point on a surface seen from anywhere; up to five lights, point or
// distant ones of one sample and area ones of several whose count the pdf
// carries, from in front of the surface or behind it, partly shadowed, with
// weights between 0 and 1.
inline Call randomCall(test::RandomScene& rng, int i) {
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
    return call;
}

// What the Maya node gives for the point and lights: each sample as a diffuse
// record (radiance by the light's diffuse weight, pre-shadow intensity the
// unshadowed colour's mean by its subsurface weight) and a specular one, the
// glow divided by the number of lights.
inline ShadingOutputs contractColour(const Call& call) {
    ShadingInputs in = call.material;
    const AtVector& nf = call.point.Nf;
    in.normalCamera = {nf.x, nf.y, nf.z};
    const AtVector view = call.point.P - call.point.Ro;
    in.pointCamera = {view.x, view.y, view.z};
    std::vector<LightSample> records;
    for (const LightSampleValues& s : call.samples) {
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
    return evaluateShading(in, records, static_cast<int>(call.lights.size()));
}

}  // namespace lumaveil::arnoldtest
