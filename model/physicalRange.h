// Where the model's optics hold, and what every host's values are held to
// before shading. A texture, an expression or a renderer can hand in values no
// slider allows: an index below 1 takes a square root of a negative number, a
// negative coefficient or a normal that is not of unit length turns the
// colour negative or NaN. Held here once, the Maya node, the renderer shaders
// and the tools agree on what such a value means.
#pragma once

#include <cmath>
#include <limits>

#include "model/FloatVector.h"
#include "model/materialAttributes.h"
#include "model/shading.h"

namespace lumaveil {

constexpr bool isFinite(FloatVector v) {
    // A finite float minus itself is 0; inf and NaN give NaN.
    return v.x - v.x == 0.0f && v.y - v.y == 0.0f && v.z - v.z == 0.0f;
}

// The attribute's value as the model uses it: per channel, a value that is
// not finite acts as the attribute's default, and the rest is held to the
// attribute's physical range. Values inside the range keep their bits.
inline FloatVector heldAttributeValue(const MaterialAttribute& attribute, FloatVector value) {
    FloatVector held = value;
    for (int c = 0; c < attribute.components; ++c) {
        float v = value[c];
        if (!std::isfinite(v)) {
            v = attribute.defaultValue[static_cast<std::size_t>(c)];
        }
        if (attribute.physicalMin && v < *attribute.physicalMin) {
            v = *attribute.physicalMin;
        }
        if (attribute.physicalMax && v > *attribute.physicalMax) {
            v = *attribute.physicalMax;
        }
        held[c] = v;
    }
    return held;
}

// Every attribute of `in` held as above, and the sample geometry made usable:
// a normal whose length is off 1 by more than rounding is made unit (unit
// normals keep their bits), and one that has no direction faces the eye.
ShadingInputs heldToPhysicalRange(const ShadingInputs& in);

// The colour as a host may show it: finite and not below 0 in every channel.
// NaN gives 0 and an overflow the largest float.
inline FloatVector heldColour(FloatVector colour) {
    FloatVector held = colour;
    for (int c = 0; c < 3; ++c) {
        const float v = colour[c];
        held[c] =
            v >= 0.0f
                ? (v <= std::numeric_limits<float>::max() ? v : std::numeric_limits<float>::max())
                : 0.0f;
    }
    return held;
}

}  // namespace lumaveil
