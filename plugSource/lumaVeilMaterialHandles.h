// The handles of the node's editable attributes, row for row with
// lumaveil::materialAttributes: initialize creates the attributes into them
// and compute reads through them.
#pragma once

#include <maya/MObject.h>

#include <cstddef>

#include "lumaVeilPlugInt.h"
#include "model/materialAttributes.h"

// A colour's compound and its red, green and blue children; a scalar's
// attribute alone.
struct MaterialHandles {
    MObject* attribute;
    MObject* children[3];
    bool colour;
};

constexpr MaterialHandles colourHandles(MObject* colour, MObject* r, MObject* g, MObject* b) {
    return {colour, {r, g, b}, true};
}

constexpr MaterialHandles scalarHandle(MObject* scalar) {
    return {scalar, {nullptr, nullptr, nullptr}, false};
}

inline constexpr MaterialHandles materialHandles[] = {
    colourHandles(&lumaVeil::aColor, &lumaVeil::aColorR, &lumaVeil::aColorG, &lumaVeil::aColorB),
    colourHandles(&lumaVeil::aTransparency, &lumaVeil::aTransparencyR, &lumaVeil::aTransparencyG,
                  &lumaVeil::aTransparencyB),
    colourHandles(&lumaVeil::aAmbientColor, &lumaVeil::aAmbientColorR, &lumaVeil::aAmbientColorG,
                  &lumaVeil::aAmbientColorB),
    colourHandles(&lumaVeil::aIncandescence, &lumaVeil::aIncandescenceR, &lumaVeil::aIncandescenceG,
                  &lumaVeil::aIncandescenceB),
    scalarHandle(&lumaVeil::aDiffuse),
    colourHandles(&lumaVeil::aAbsorption, &lumaVeil::aAbsorptionR, &lumaVeil::aAbsorptionG,
                  &lumaVeil::aAbsorptionB),
    colourHandles(&lumaVeil::aScattering, &lumaVeil::aScatteringR, &lumaVeil::aScatteringG,
                  &lumaVeil::aScatteringB),
    scalarHandle(&lumaVeil::aRefractiveIndex),
    scalarHandle(&lumaVeil::aAnisotropy),
    scalarHandle(&lumaVeil::aDiffuseReflection),
    scalarHandle(&lumaVeil::aDiffuseAnisotropy),
    scalarHandle(&lumaVeil::aDiffuseScatter),
    scalarHandle(&lumaVeil::aEccentricity),
    scalarHandle(&lumaVeil::aSpecularRollOff),
    colourHandles(&lumaVeil::aSpecularColor, &lumaVeil::aSpecularColorR, &lumaVeil::aSpecularColorG,
                  &lumaVeil::aSpecularColorB),
};

namespace lumaveil::detail {

// A handle for each row, colour for colour and scalar for scalar.
constexpr bool handlesFollowTheTable() {
    constexpr std::size_t count = sizeof materialHandles / sizeof materialHandles[0];
    if (count != materialAttributes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (materialHandles[i].colour != materialAttributes[i].isColour()) {
            return false;
        }
    }
    return true;
}

}  // namespace lumaveil::detail

static_assert(lumaveil::detail::handlesFollowTheTable(),
              "a handle for each editable attribute, in the order of materialAttributes");
