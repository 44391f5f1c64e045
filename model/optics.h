// Vector and optics helpers shared by the node's evaluation and the renderer
// shader. Each is a pure function of its arguments.
#pragma once

#include <cmath>

#include "model/FloatVector.h"
#include "model/floatMath.h"

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
// Total internal reflection, a zero incident or transmitted cosine, and a
// direction that meets the surface from behind n give 1.
float fresnelReflectance(FloatVector i, FloatVector n, float eta);

// The renderer shader's phase weight for one asymmetry g: one minus
// g^2 * (pi/4) times a power of (1 + g^2 - 2 g mu), as a function of the
// cosine mu. It jumps at mu = 0. The terms of g are formed once, for the
// shader to apply per light sample.
class ScatterPhase {
public:
    explicit ScatterPhase(float g)
        : gSquared_(g * g),
          baseOffset_(g * g + 1.0f),
          twiceG_(g + g),
          weight_(static_cast<double>((g * g * 0.25f) * phasePi)) {}

    float operator()(float mu) const {
        // Formed here, not up front: a cosine of exactly 0 is rare, and the
        // division would cost every call.
        if (mu == 0.0f) {
            return 1.0f - gSquared_ / phaseAtZeroCosine;
        }
        // At |g| = 1 the base is 2 - 2 g mu, 0 for parallel (g = 1) or
        // opposite (g = -1) unit vectors; rounding their cosine past 1 would
        // push it below 0 and the power to NaN. Such a base is the zero it
        // stands for.
        float base = baseOffset_ - mu * twiceG_;
        if (base < 0.0f) {
            base = 0.0f;
        }
        const float p = roundedPowOneAndHalf(base);
        return static_cast<float>(1.0 - static_cast<double>(p) * weight_);
    }

private:
    friend class ScatterPhasePair;  // forms two weights at once from these terms

    // The single-precision value of -0.00001 stands in for the power at
    // mu = 0.
    static constexpr float phaseAtZeroCosine = -0.00001f;
    // 3.14159, not pi to full precision. Intended: scenes rely on this value.
    static constexpr float phasePi = 3.14159f;

    float gSquared_;    // g^2
    float baseOffset_;  // g^2 + 1
    float twiceG_;      // g + g
    double weight_;     // g^2 0.25 3.14159, rounded to single precision
};

// The phase weight of asymmetry g for the cosine mu = a . b.
inline float scatterPhase(FloatVector a, FloatVector b, float g) {
    return ScatterPhase(g)(dot(a, b));
}

}  // namespace lumaveil
