// evaluateShading on arbitrary inputs and lights: any float values, any
// number of lights and any light count. The evaluation must neither crash nor
// hit undefined behaviour, must give a finite colour not below 0 and the
// transparency as the model holds it, and must give the same bits when run
// twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <tuple>
#include <vector>

#include "FuzzInput.h"
#include "model/materialAttributes.h"
#include "model/physicalRange.h"
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
    // Every editable attribute in the table's order, then the geometry.
    for (const lumaveil::MaterialAttribute& attribute : lumaveil::materialAttributes) {
        setIn(inputs, attribute,
              attribute.isColour() ? vectorOf(in) : FloatVector{in.mixedFloat(), 0.0f, 0.0f});
    }
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
    const FloatVector heldTransparency = lumaveil::heldAttributeValue(
        *lumaveil::materialAttributeNamed("transparency"), inputs.transparency);
    if (!sameBits(first.outTransparency, heldTransparency) ||
        !sameBits(first.outColor, second.outColor)) {
        std::abort();
    }
    for (int c = 0; c < 3; ++c) {
        if (!(first.outColor[c] >= 0.0f &&
              first.outColor[c] <= std::numeric_limits<float>::max())) {
            std::abort();
        }
    }
    return 0;
}
