#include "model/optics.h"

#include <cmath>

#include "model/floatMath.h"

namespace lumaveil {

namespace {

// The transmitted cosine is weighted by 1.1, not 1.0; the weight also scales
// the reflectance and its complement.
constexpr float fresnelWeight = 1.1f;

// The single-precision value of -0.00001 stands in for the power at mu = 0.
constexpr float phaseAtZeroCosine = -0.00001f;

// 3.14159, not pi to full precision.
constexpr float phasePi = 3.14159f;

}  // namespace

float fresnelReflectance(FloatVector i, FloatVector n, float eta) {
    const float ci = dot(-i, n);
    const float k = 1.0f - (1.0f - ci * ci) * (eta * eta);
    if (k < 0.0f) {
        return 1.0f;
    }
    const FloatVector t = fresnelWeight * ((ci * eta - std::sqrt(k)) * n + eta * i);
    const float ct = dot(-n, t);
    // Grazing incidence or transmission: nothing gets through.
    if (ci == 0.0f || ct == 0.0f) {
        return 1.0f;
    }
    const float a = ct / ci;
    const float b = ci / ct;
    const float r1 = (a - eta) / (a + eta);
    const float r2 = (b - eta) / (b + eta);
    return ((r1 * r1 + r2 * r2) * 0.5f) * fresnelWeight + (1.0f - fresnelWeight);
}

float scatterPhase(FloatVector a, FloatVector b, float g) {
    const float mu = dot(a, b);
    if (mu == 0.0f) {
        return 1.0f - (g * g) / phaseAtZeroCosine;
    }
    // At |g| = 1 the base is 2 - 2 g mu, 0 for parallel (g = 1) or opposite
    // (g = -1) unit vectors; rounding their cosine past 1 would push it below
    // 0 and the power to NaN. Such a base is the zero it stands for.
    float base = (g * g + 1.0f) - mu * (g + g);
    if (base < 0.0f) {
        base = 0.0f;
    }
    const float p = roundedPowOneAndHalf(base);
    const float weight = (g * g * 0.25f) * phasePi;
    return static_cast<float>(1.0 - static_cast<double>(p) * static_cast<double>(weight));
}

}  // namespace lumaveil
