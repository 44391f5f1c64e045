// Vector and optics helpers shared by the node's evaluation and the renderer
// shader. Each is a pure function of its arguments.
#pragma once

#include "model/FloatVector.h"

namespace lumaveil {

// v / |v|. The zero vector has no direction and is returned unchanged.
FloatVector unitVector(FloatVector v);

// v scaled by the reciprocal of its length; the zero vector stays zero.
FloatVector normalizeVector(FloatVector v);

// Direction i (pointing towards the surface) refracted through the unit
// normal n, with eta the ratio of the incident to the far refractive index.
// Total internal reflection, and exact grazing, give the zero vector.
FloatVector refractDirection(FloatVector i, FloatVector n, float eta);

// The surface's Fresnel reflectance with its transmitted cosine weighted by
// 1.1, so that 1 - reflectance is 1.1 times the plain Fresnel transmission.
// Total internal reflection, and a zero incident or transmitted cosine,
// give 1.
float fresnelReflectance(FloatVector i, FloatVector n, float eta);

// The renderer shader's phase weight: one minus g^2 * (pi/4) times a power of
// (1 + g^2 - 2 g mu), with mu = a . b. It jumps at mu = 0.
float scatterPhase(FloatVector a, FloatVector b, float g);

}  // namespace lumaveil
