// The Arnold shader through the stand-in Arnold, with arbitrary parameter
// values, geometry, lights, weights and light samples (any direction, colour,
// occlusion and pdf). Each call must return one emission closure and a
// transparent one exactly where a channel of the transparency is above 0,
// give back fhemi as it found it, and give the same bits when run twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    lumaveil::aihost::Shader& s = shader();
    AtRGB transparency(0.0f);
    for (const lumaveil::MaterialAttribute& attribute : lumaveil::materialAttributes) {
        if (attribute.isColour()) {
            const AtRGB value = colourOf(in);
            s.setRGB(attribute.longName, value);
            if (attribute.affectsOutTransparency) {
                transparency = value;
            }
        } else {
            s.setFloat(attribute.longName, in.mixedFloat());
        }
    }

    lumaveil::aihost::ShadingPoint point;
    point.P = vectorOf(in);
    point.N = vectorOf(in);
    point.Nf = vectorOf(in);
    point.Ro = vectorOf(in);
    point.fhemi = in.flag();

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
    const bool seeThrough = transparency.r > 0.0f || transparency.g > 0.0f || transparency.b > 0.0f;
    if (first.emissionClosures != 1 || first.transparentClosures != (seeThrough ? 1 : 0) ||
        first.otherClosures != 0 || !first.fhemiRestored ||
        std::memcmp(&first.emission, &second.emission, sizeof first.emission) != 0) {
        std::abort();
    }
    return 0;
}
