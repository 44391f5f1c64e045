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

// A finite value of the attribute held to its physical range; values inside
// it keep their bits.
inline float withinPhysicalRange(const MaterialAttribute& attribute, float value) {
    float v = value;
    if (attribute.physicalMin && v < *attribute.physicalMin) {
        v = *attribute.physicalMin;
    }
    if (attribute.physicalMax && v > *attribute.physicalMax) {
        v = *attribute.physicalMax;
    }
    return v;
}

// One channel of an attribute as the model uses it: a value that is not
// finite acts as the default, the rest is held to the physical range.
inline float heldChannel(const MaterialAttribute& attribute, int channel, float value) {
    return withinPhysicalRange(
        attribute,
        std::isfinite(value) ? value : attribute.defaultValue[static_cast<std::size_t>(channel)]);
}

// The attribute's value as the model uses it, channel by channel; a
// scalar's is x.
inline FloatVector heldAttributeValue(const MaterialAttribute& attribute, FloatVector value) {
    FloatVector held = value;
    for (int c = 0; c < attribute.components; ++c) {
        held[c] = heldChannel(attribute, c, value[c]);
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
