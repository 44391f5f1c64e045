// The light database and the renderer's light sampling and irradiance
// (mi_sample_light, mi_compute_irradiance).
#include <cmath>

#include "activeTrace.h"
#include "lights.h"
#include "mrhost/lightList.h"

namespace lumaveil::mrhost {

namespace {

// Tags of lights start here, so that a light's tag is never its index.
constexpr miTag firstLightTag = 0x100;

miVector unit(miVector v) {
    const double x = v.x;
    const double y = v.y;
    const double z = v.z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) {
        return v;
    }
    return {static_cast<float>(x / length), static_cast<float>(y / length),
            static_cast<float>(z / length)};
}

miTag add(miOptions& data, const Light& light) {
    data.lights.push_back(light);
    return firstLightTag + static_cast<miTag>(data.lights.size() - 1);
}

const Light* lightTagged(const miOptions& data, miTag tag) {
    // A tag below the first wraps around to an index past the last light.
    const miTag index = tag - firstLightTag;
    if (index >= data.lights.size()) {
        return nullptr;
    }
    return &data.lights[index];
}

// Where sample `index` of an area light lies: strata along edgeU, a
// golden-ratio sequence along edgeV.
miVector areaSamplePosition(const Light& light, int index) {
    const float u = (static_cast<float>(index) + 0.5f) / static_cast<float>(light.samples);
    float v = 0.5f + static_cast<float>(index) * 0.618034f;
    v -= std::floor(v);
    return {light.position.x + u * light.edgeU.x + v * light.edgeV.x,
            light.position.y + u * light.edgeU.y + v * light.edgeV.y,
            light.position.z + u * light.edgeU.z + v * light.edgeV.z};
}

}  // namespace

LightList::LightList() : data_(std::make_unique<miOptions>()) {}
LightList::~LightList() = default;
LightList::LightList(LightList&&) noexcept = default;
LightList& LightList::operator=(LightList&&) noexcept = default;

miTag LightList::addDirectionalLight(miVector towardsLight, miColor color) {
    Light light;
    light.kind = LightKind::directional;
    light.direction = unit(towardsLight);
    light.color = color;
    return add(*data_, light);
}

miTag LightList::addPointLight(miVector position, miColor color) {
    Light light;
    light.kind = LightKind::point;
    light.position = position;
    light.color = color;
    return add(*data_, light);
}

miTag LightList::addAreaLight(miVector corner, miVector edgeU, miVector edgeV, miColor color,
                              int samples) {
    Light light;
    light.kind = LightKind::area;
    light.position = corner;
    light.edgeU = edgeU;
    light.edgeV = edgeV;
    light.color = color;
    light.samples = samples;
    return add(*data_, light);
}

void LightList::setIrradiance(miColor irradiance) {
    data_->irradiance = irradiance;
}

const miOptions* LightList::options() const {
    return data_.get();
}

}  // namespace lumaveil::mrhost

using namespace lumaveil::mrhost;

namespace {

// Writes the sample from direction towards and counts it.
miBoolean deliver(const Light& light, miVector towards, miColor* color, miVector* direction,
                  miScalar* dot_nl, const miState* state, miInteger* samples) {
    *color = light.color;
    *direction = towards;
    *dot_nl =
        state->normal.x * towards.x + state->normal.y * towards.y + state->normal.z * towards.z;
    ++*samples;
    return miTRUE;
}

// The next sample of a point or area light, towards the light's position or
// the sample's place on it.
[[gnu::noinline]] miBoolean samplePositioned(const Light& light, miColor* color,
                                             miVector* direction, miScalar* dot_nl,
                                             const miState* state, miInteger* samples) {
    const miVector at =
        light.kind == LightKind::area ? areaSamplePosition(light, *samples) : light.position;
    const miVector towards =
        unit({at.x - state->point.x, at.y - state->point.y, at.z - state->point.z});
    return deliver(light, towards, color, direction, dot_nl, state, samples);
}

// mi_sample_light without the trace. A directional light, one sample from
// its direction, makes no call: the shader asks twice per sample.
[[gnu::always_inline]] inline miBoolean sampleLight(miColor* color, miVector* direction,
                                                    miScalar* dot_nl, const miState* state,
                                                    miTag tag, miInteger* samples) {
    const Light* light = lightTagged(*state->options, tag);
    // Every light holds its number of samples: 1 but for area lights.
    if (light == nullptr || *samples >= light->samples) {
        return miFALSE;
    }
    if (light->kind != LightKind::directional) {
        return samplePositioned(*light, color, direction, dot_nl, state, samples);
    }
    return deliver(*light, light->direction, color, direction, dot_nl, state, samples);
}

// Records the call in the calling thread's trace first. Out of line, so that
// the untraced calls, two per light sample, save no registers for it (worth
// about 40 instructions a light sample in bench/mentalray_bench).
[[gnu::noinline, gnu::cold]] miBoolean sampleLightTraced(miColor* color, miVector* direction,
                                                         miScalar* dot_nl, const miState* state,
                                                         miTag tag, miInteger* samples) {
    CallTrace& trace = *activeTrace;
    trace.sampledTags.push_back(tag);
    trace.priSetWhileSampling = trace.priSetWhileSampling || state->pri != nullptr;
    return sampleLight(color, direction, dot_nl, state, tag, samples);
}

}  // namespace

// The next sample of a light: *samples counts the samples delivered so far
// (the shader sets it to 0 before the first call) and is raised by one for
// each sample delivered. Samples from behind the surface are delivered too.
// An unknown tag delivers nothing.
extern "C" LUMAVEIL_MRHOST_API miBoolean mi_sample_light(miColor* color, miVector* direction,
                                                         miScalar* dot_nl, miState* state,
                                                         miTag tag, miInteger* samples) {
    if (activeTrace != nullptr) {
        return sampleLightTraced(color, direction, dot_nl, state, tag, samples);
    }
    return sampleLight(color, direction, dot_nl, state, tag, samples);
}

// The irradiance set on the light list, the same everywhere.
extern "C" LUMAVEIL_MRHOST_API miBoolean mi_compute_irradiance(miColor* result, miState* state) {
    if (CallTrace* trace = activeTrace) {
        ++trace->irradianceCalls;
        trace->irradianceState = *state;
    }
    *result = state->options->irradiance;
    return miTRUE;
}
