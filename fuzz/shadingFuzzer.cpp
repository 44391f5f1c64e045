// evaluateShading on arbitrary inputs and lights: any float values, any
// number of lights and any light count. The evaluation must neither crash nor
// hit undefined behaviour, must hand the transparency back untouched, and must
// give the same bits when run twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>

#include "FuzzInput.h"
#include "model/shading.h"

namespace {

using lumaveil::FloatVector;
using lumaveil::LightSample;
using lumaveil::ShadingInputs;
using lumaveil::fuzz::FuzzInput;

FloatVector vectorOf(FuzzInput& in) {
    const float x = in.mixedFloat();
    const float y = in.mixedFloat();
    const float z = in.mixedFloat();
    return {x, y, z};
}

bool sameBits(const FloatVector& a, const FloatVector& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ShadingInputs inputs;
    inputs.color = vectorOf(in);
    inputs.transparency = vectorOf(in);
    inputs.ambientColor = vectorOf(in);
    inputs.incandescence = vectorOf(in);
    inputs.diffuse = in.mixedFloat();
    inputs.absorption = vectorOf(in);
    inputs.scattering = vectorOf(in);
    inputs.refractiveIndex = in.mixedFloat();
    inputs.anisotropy = in.mixedFloat();
    inputs.diffuseReflection = in.mixedFloat();
    inputs.diffuseAnisotropy = in.mixedFloat();
    inputs.diffuseScatter = in.mixedFloat();
    inputs.eccentricity = in.mixedFloat();
    inputs.specularRollOff = in.mixedFloat();
    inputs.specularColor = vectorOf(in);
    inputs.pointCamera = vectorOf(in);
    inputs.normalCamera = vectorOf(in);

    // The divisor need not match the list: any signed count at all.
    int lightCount = static_cast<int>(in.word());
    const unsigned int lights = in.below(40);
    if (in.flag()) {
        lightCount = static_cast<int>(lights);
    }
    std::vector<LightSample> list(lights);
    for (LightSample& light : list) {
        light.lightDirection = vectorOf(in);
        light.lightIntensity = vectorOf(in);
        std::tie(light.lightAmbient, light.lightDiffuse, light.lightSpecular) = in.lightSwitches();
        light.preShadowIntensity = in.mixedFloat();
    }

    const lumaveil::ShadingOutputs first = lumaveil::evaluateShading(inputs, list, lightCount);
    const lumaveil::ShadingOutputs second = lumaveil::evaluateShading(inputs, list, lightCount);
    if (!sameBits(first.outTransparency, inputs.transparency) ||
        !sameBits(first.outColor, second.outColor)) {
        std::abort();
    }
    return 0;
}
