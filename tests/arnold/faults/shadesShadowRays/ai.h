// The Arnold headers for a build of the shader with a fault: it takes every
// ray for a camera ray, so it shades shadow rays in full and writes its AOVs
// on them.
#pragma once

#include_next <ai.h>

#undef AI_RAY_SHADOW
#define AI_RAY_SHADOW 0
#undef AI_RAY_CAMERA
#define AI_RAY_CAMERA 0xFF
