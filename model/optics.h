// Vector and optics helpers shared by the node's evaluation and the renderer
// shader. Each is a pure function of its arguments.
#pragma once

#include <cmath>

#include "model/FloatVector.h"

namespace lumaveil {

// The three helpers below run several times per light and sample; they are
// inline so that the shading loops keep their values in registers.

// v / |v|. The zero vector has no direction and is returned unchanged.
inline FloatVector unitVector(FloatVector v) {
    const float len = std::sqrt(dot(v, v));
    if (len == 0.0f) {
        return v;
    }
    return v / len;
}

// v scaled by the reciprocal of its length; the zero vector stays zero.
inline FloatVector normalizeVector(FloatVector v) {
    const float len = std::sqrt(dot(v, v));
    if (len != 0.0f) {
        const float r = 1.0f / len;
        return v * r;
    }
    return v;
}

// Direction i (pointing towards the surface) refracted through the unit
// normal n, with eta the ratio of the incident to the far refractive index.
// Total internal reflection, and exact grazing, give the zero vector.
inline FloatVector refractDirection(FloatVector i, FloatVector n, float eta) {
    const float d = dot(i, n);
    const float k = 1.0f - (1.0f - d * d) * (eta * eta);
    if (k > 0.0f) {
        return eta * i - (d * eta + std::sqrt(k)) * n;
    }
    return FloatVector{0.0f, 0.0f, 0.0f};
}

// The surface's Fresnel reflectance with its transmitted cosine weighted by
// 1.1, so that 1 - reflectance is 1.1 times the plain Fresnel transmission.
// Total internal reflection, and a zero incident or transmitted cosine,
// give 1.
float fresnelReflectance(FloatVector i, FloatVector n, float eta);

// The renderer shader's phase weight: one minus g^2 * (pi/4) times a power of
// (1 + g^2 - 2 g mu), with mu = a . b. It jumps at mu = 0.
float scatterPhase(FloatVector a, FloatVector b, float g);

}  // namespace lumaveil
