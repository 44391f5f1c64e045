// The Gaussian specular lobe that the node's evaluation and the renderer
// shader share; each host weights it its own way.
#pragma once

#include <algorithm>

#include "model/floatMath.h"

namespace lumaveil {

// exp(-(acos(c) / w)^2) for the cosine c between the normal and the half
// vector, given 1 / w for the lobe's width w in radians. The cosine is
// clamped to [-1, 1], so that the rounding excess of unit vectors keeps the
// highlight instead of turning it into NaN. The lobe's centre keeps its peak
// when 1 / w overflows, as it does for a denormal width: 0 times infinity
// would give NaN.
inline float gaussianLobe(float cosine, float inverseWidth) {
    const float offCentre = roundedAcos(std::clamp(cosine, -1.0f, 1.0f));
    const float angle = offCentre == 0.0f ? 0.0f : offCentre * inverseWidth;
    return roundedExp(-(angle * angle));
}

}  // namespace lumaveil
