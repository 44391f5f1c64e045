// The Arnold shader through the stand-in Arnold, with arbitrary parameter
// values, links and what they give, bumps, AOV names and AOVs enabled, ray
// types, geometry, lights, weights and light samples (any direction, colour,
// occlusion and pdf). A shadow ray must get a transparent closure of weight
// in [0, 1] or nothing, and no AOV; any other ray one emission closure,
// finite and non-negative, and a transparent one exactly where a finite
// channel of the transparency is above 0; AOVs only on a camera ray, finite; fhemi, N
// and Nf given back as found; and the same bits when run twice.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "aihost/host.h"
#include "model/materialAttributes.h"

namespace {

using lumaveil::fuzz::FuzzInput;

lumaveil::aihost::Shader& shader() {
    static lumaveil::aihost::Shader instance(LUMAVEIL_ARNOLD_SHADER_PATH);
    return instance;
}

AtVector vectorOf(FuzzInput& in) {
    const float x = in.mixedFloat();
    const float y = in.mixedFloat();
    const float z = in.mixedFloat();
    return AtVector(x, y, z);
}

AtRGB colourOf(FuzzInput& in) {
    const AtVector v = vectorOf(in);
    return AtRGB(v.x, v.y, v.z);
}

bool finite(const AtRGB& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b);
}

bool within(const AtRGB& c, float lo, float hi) {
    return c.r >= lo && c.r <= hi && c.g >= lo && c.g <= hi && c.b >= lo && c.b <= hi;
}

constexpr const char* aovParameters[] = {"aov_diffuse", "aov_translucency", "aov_specular",
                                         "aov_ambient", "aov_incandescence"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    lumaveil::aihost::Shader& s = shader();
    const std::size_t parameterCount = s.entry().parameters.size();
    std::vector<lumaveil::aihost::LinkValue> links(parameterCount);
    AtRGB transparency(0.0f);
    for (std::size_t p = 0; p < lumaveil::materialAttributes.size(); ++p) {
        const lumaveil::MaterialAttribute& attribute = lumaveil::materialAttributes[p];
        const bool linked = (in.byte() & 7u) == 0;
        s.setLinked(attribute.longName, linked);
        const AtRGB value = colourOf(in);
        if (linked) {
            links[p] = {value.r, value.g, value.b};
        } else if (attribute.isColour()) {
            s.setRGB(attribute.longName, value);
        } else {
            s.setFloat(attribute.longName, value.r);
        }
        if (attribute.affectsOutTransparency) {
            transparency = value;
        }
    }
    const bool bumped = in.flag();
    s.setLinked("normal", bumped);
    const AtVector bump = vectorOf(in);
    links[static_cast<std::size_t>(s.parameterIndex("normal"))] = {bump.x, bump.y, bump.z};
    std::vector<std::string> enabled;
    for (const char* aov : aovParameters) {
        const std::uint8_t choice = in.byte();
        const std::string name = choice % 5 == 0   ? ""
                                 : choice % 5 == 1 ? "shared"
                                                   : std::string("lumaVeil_") + (aov + 4);
        s.setString(aov, name);
        if (choice & 0x80u) {
            enabled.push_back(name);
        }
    }
    lumaveil::aihost::enableAOVs(enabled);

    lumaveil::aihost::ShadingPoint point;
    point.P = vectorOf(in);
    point.N = vectorOf(in);
    point.Nf = vectorOf(in);
    point.Ro = vectorOf(in);
    point.fhemi = in.flag();
    point.rayType = static_cast<std::uint8_t>(1u << in.below(8));
    point.links = links;

    std::vector<lumaveil::aihost::LightWeights> weights(in.below(5));
    for (auto& w : weights) {
        w.diffuse = in.mixedFloat();
        w.specular = in.mixedFloat();
        w.sss = in.mixedFloat();
    }
    std::vector<lumaveil::aihost::LightSampleValues> samples;
    for (unsigned int i = weights.empty() ? 0 : in.below(24); i > 0; --i) {
        lumaveil::aihost::LightSampleValues v;
        v.light = in.below(static_cast<unsigned int>(weights.size()));
        v.direction = vectorOf(in);
        v.distance = in.mixedFloat();
        v.unoccluded = colourOf(in);
        v.occlusion = colourOf(in);
        v.pdf = in.mixedFloat();
        samples.push_back(v);
    }

    const lumaveil::aihost::Lights lights(weights);
    const auto first = s.shade(point, lights, samples);
    const auto second = s.shade(point, lights, samples);
    if (!first.fhemiRestored || !first.normalsRestored || first.otherClosures != 0 ||
        first.aovWritesNotEnabled != 0 ||
        std::memcmp(&first.emission, &second.emission, sizeof first.emission) != 0 ||
        std::memcmp(&first.transparency, &second.transparency, sizeof first.transparency) != 0) {
        std::abort();
    }
    if (point.rayType == AI_RAY_SHADOW) {
        if (first.emissionClosures != 0 || first.transparentClosures > 1 || first.aovsStored != 0 ||
            first.aovWritesOffCamera != 0 || first.lightsPrepared ||
            (first.transparentClosures == 1 && !within(first.transparency, 0.0f, 1.0f))) {
            std::abort();
        }
        return 0;
    }
    // A channel that is not finite is held at its default, 0.
    const auto through = [](float t) { return std::isfinite(t) && t > 0.0f; };
    const bool seeThrough =
        through(transparency.r) || through(transparency.g) || through(transparency.b);
    if (first.emissionClosures != 1 || first.transparentClosures != (seeThrough ? 1 : 0) ||
        !finite(first.emission) || !within(first.emission, 0.0f, INFINITY) ||
        (seeThrough && !within(first.transparency, 0.0f, 1.0f)) || first.aovWritesOffCamera != 0 ||
        (point.rayType != AI_RAY_CAMERA && first.aovsStored != 0)) {
        std::abort();
    }
    for (int a = 0; a < first.aovsStored && a < static_cast<int>(first.aovs.size()); ++a) {
        if (!finite(first.aovs[static_cast<std::size_t>(a)].value)) {
            std::abort();
        }
    }
    return 0;
}
