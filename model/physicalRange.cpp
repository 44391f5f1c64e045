#include "model/physicalRange.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "model/Lanes.h"
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

// Each row held in place. Unrolled at compile time, every field, default and
// bound is a constant. Where every value is known to be finite, only the rows
// with a physical range do any work.
template <bool allFinite, std::size_t row>
void holdRow(ShadingInputs& in) {
    constexpr const MaterialAttribute& attribute = materialAttributes[row];
    auto hold = [](int channel, float value) {
        if constexpr (allFinite) {
            return withinPhysicalRange(attribute, value);
        } else {
            return heldChannel(attribute, channel, value);
        }
    };
    if constexpr (allFinite && !attribute.physicalMin && !attribute.physicalMax) {
        return;
    } else if constexpr (attribute.isColour()) {
        FloatVector& value = in.*attribute.colourField;
        value.x = hold(0, value.x);
        value.y = hold(1, value.y);
        value.z = hold(2, value.z);
    } else {
        float& value = in.*attribute.scalarField;
        value = hold(0, value);
    }
}

template <bool allFinite, std::size_t... rows>
void holdRows(ShadingInputs& in, std::index_sequence<rows...>) {
    (holdRow<allFinite, rows>(in), ...);
}

// Whether every value of `in` is finite, four at a time: x - x is 0 for a
// finite x and NaN otherwise, so the sum of the differences is 0 exactly when
// every value is finite. Every sample asks, and almost every one is.
bool allFinite(const ShadingInputs& in) {
    constexpr std::size_t count = sizeof(ShadingInputs) / sizeof(float);
    static_assert(count * sizeof(float) == sizeof(ShadingInputs),
                  "ShadingInputs is made of floats alone");
    const unsigned char* const bytes = reinterpret_cast<const unsigned char*>(&in);
    Lanes probe{};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        Lanes v;
        std::memcpy(&v, bytes + i * sizeof(float), sizeof v);
        probe = (v - v) + probe;
    }
    float rest = 0.0f;
    for (; i < count; ++i) {
        float v;
        std::memcpy(&v, bytes + i * sizeof(float), sizeof v);
        rest = (v - v) + rest;
    }
    return ((probe[0] + probe[1]) + (probe[2] + probe[3])) + rest == 0.0f;
}

}  // namespace

ShadingInputs heldToPhysicalRange(const ShadingInputs& in) {
    ShadingInputs held = in;
    constexpr auto rows = std::make_index_sequence<materialAttributes.size()>();
    if (allFinite(in)) {
        holdRows<true>(held, rows);
    } else {
        holdRows<false>(held, rows);
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
