// The model's material inputs as the node's editable attributes carry them.
#pragma once

#include <array>
#include <cstddef>

#include "model/materialAttributes.h"
#include "model/shading.h"

namespace lumaveil::test {

// The value of each editable attribute in `in`, in the order of
// materialAttributes; a scalar's in x.
constexpr std::array<FloatVector, materialAttributes.size()> materialValues(
    const ShadingInputs& in) {
    auto scalar = [](float v) { return FloatVector{v, 0.0f, 0.0f}; };
    const FloatVector values[] = {in.color,
                                  in.transparency,
                                  in.ambientColor,
                                  in.incandescence,
                                  scalar(in.diffuse),
                                  in.absorption,
                                  in.scattering,
                                  scalar(in.refractiveIndex),
                                  scalar(in.anisotropy),
                                  scalar(in.diffuseReflection),
                                  scalar(in.diffuseAnisotropy),
                                  scalar(in.diffuseScatter),
                                  scalar(in.eccentricity),
                                  scalar(in.specularRollOff),
                                  in.specularColor};
    static_assert(sizeof values / sizeof values[0] == materialAttributes.size(),
                  "a value for each editable attribute");
    std::array<FloatVector, materialAttributes.size()> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = values[i];
    }
    return out;
}

// The model's defaults are the node's: a field out of step with the table
// shows as a default out of place.
constexpr bool modelDefaultsAreTheTables() {
    const auto values = materialValues(ShadingInputs{});
    for (std::size_t i = 0; i < values.size(); ++i) {
        const MaterialAttribute& a = materialAttributes[i];
        for (int k = 0; k < a.components; ++k) {
            if (values[i][k] != a.defaultValue[static_cast<std::size_t>(k)]) {
                return false;
            }
        }
    }
    return true;
}
static_assert(modelDefaultsAreTheTables());

// Calls setColour(attribute, value) for each colour of `in` and
// setScalar(attribute, value) for each scalar, in table order.
template <class SetColour, class SetScalar>
void forEachMaterialValue(const ShadingInputs& in, SetColour setColour, SetScalar setScalar) {
    const auto values = materialValues(in);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (materialAttributes[i].isColour()) {
            setColour(materialAttributes[i], values[i]);
        } else {
            setScalar(materialAttributes[i], values[i].x);
        }
    }
}

}  // namespace lumaveil::test
