// The handles of the node's editable attributes, row for row with
// lumaveil::materialAttributes: initialize creates the attributes into them
// and compute reads through them.
#pragma once

#include <maya/MObject.h>

#include <array>
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

namespace lumaveil::detail {

// Each row's handles in lumaVeil::aMaterial, one after another in the rows'
// order.
constexpr std::array<MaterialHandles, materialAttributes.size()> materialHandlesOfRows() {
    std::array<MaterialHandles, materialAttributes.size()> handles{};
    std::size_t next = 0;
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        MaterialHandles& h = handles[i];
        h.colour = materialAttributes[i].isColour();
        h.attribute = &lumaVeil::aMaterial[next++];
        for (MObject*& child : h.children) {
            child = h.colour ? &lumaVeil::aMaterial[next++] : nullptr;
        }
    }
    return handles;
}

// The row outTransparency copies: the one row that affects it.
constexpr std::size_t outTransparencyRow() {
    std::size_t row = materialAttributes.size();
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        if (materialAttributes[i].affectsOutTransparency) {
            row = row == materialAttributes.size() ? i : materialAttributes.size() + 1;
        }
    }
    return row;
}
static_assert(outTransparencyRow() < materialAttributes.size() &&
                  materialAttributes[outTransparencyRow()].isColour(),
              "one editable attribute, a colour, is what outTransparency copies");

}  // namespace lumaveil::detail

inline constexpr std::array<MaterialHandles, lumaveil::materialAttributes.size()> materialHandles =
    lumaveil::detail::materialHandlesOfRows();
