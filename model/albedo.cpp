#include "model/albedo.h"

#include <cmath>

namespace lumaveil {

float albedoFromReflectance(float reflectance) {
    const float x = reflectance * 2000.0f;
    // Compare before converting: a NaN, negative or huge product must never
    // reach the float-to-int conversion.
    if (!(x >= 0.0f)) {
        return albedoTable.front();
    }
    if (x >= static_cast<float>(albedoTableSize - 1)) {
        return albedoTable.back();
    }
    return albedoTable[static_cast<int>(std::floor(x))];
}

}  // namespace lumaveil
