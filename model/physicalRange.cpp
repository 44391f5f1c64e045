#include "model/physicalRange.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/optics.h"

namespace lumaveil {
namespace {

// How far the squared length of a normal may be off 1 and still count as
// unit: rounding leaves a normalized float vector within a few units in the
// last place of 1; 1e-5 is about eighty.
constexpr float unitLengthSquaredTolerance = 1e-5f;

// v scaled to unit length, through its largest component so that a vector
// whose squared length overflows or underflows keeps its direction. The
// zero vector and one that is not finite have none: {}, false.
bool directionOf(FloatVector v, FloatVector& direction) {
    if (!isFinite(v)) {
        return false;
    }
    const float largest = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (largest == 0.0f) {
        return false;
    }
    direction = normalizeVector(v / largest);
    return true;
}

}  // namespace

ShadingInputs heldToPhysicalRange(const ShadingInputs& in) {
    ShadingInputs held = in;
    for (const MaterialAttribute& attribute : materialAttributes) {
        setIn(held, attribute, heldAttributeValue(attribute, valueIn(in, attribute)));
    }

    // Only the point's direction from the eye counts. One that cannot be
    // told is taken straight ahead, down the camera's axis.
    if (!isFinite(held.pointCamera)) {
        held.pointCamera = {0.0f, 0.0f, -1.0f};
    } else {
        const float distanceSquared = dot(held.pointCamera, held.pointCamera);
        if (distanceSquared != 0.0f && !(distanceSquared >= std::numeric_limits<float>::min() &&
                                         distanceSquared <= std::numeric_limits<float>::max())) {
            directionOf(held.pointCamera, held.pointCamera);
        }
    }

    const FloatVector n = held.normalCamera;
    const float lengthSquared = dot(n, n);
    if (!(std::fabs(lengthSquared - 1.0f) <= unitLengthSquaredTolerance) &&
        !directionOf(n, held.normalCamera)) {
        // No direction: the surface faces the eye, or the camera where the
        // point sits on the eye.
        FloatVector towardsEye;
        held.normalCamera =
            directionOf(-held.pointCamera, towardsEye) ? towardsEye : FloatVector{0.0f, 0.0f, 1.0f};
    }
    return held;
}

}  // namespace lumaveil
