#include "model/albedo.h"

#include <cmath>
#include <cstddef>

namespace lumaveil {

int albedoIndexOf(float reflectance) {
    const float x = reflectance * 2000.0f;
    // Compare before converting: a NaN, negative or huge product must never
    // reach the float-to-int conversion.
    if (!(x >= 0.0f)) {
        return 0;
    }
    if (x >= static_cast<float>(albedoTableSize - 1)) {
        return albedoTableSize - 1;
    }
    return static_cast<int>(std::floor(x));
}

float albedoFromReflectance(float reflectance) {
    return albedoTable[static_cast<std::size_t>(albedoIndexOf(reflectance))];
}

}  // namespace lumaveil
