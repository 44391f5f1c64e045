// lumaVeil's stand-in of the Arnold SDK: the ray types, bits of
// AtShaderGlobals::Rt, that tell a shader what kind of ray hit the point.
#pragma once

#define AI_RAY_CAMERA 0x01
#define AI_RAY_SHADOW 0x02
#define AI_RAY_DIFFUSE_TRANSMIT 0x04
#define AI_RAY_SPECULAR_TRANSMIT 0x08
#define AI_RAY_VOLUME 0x10
#define AI_RAY_DIFFUSE_REFLECT 0x20
#define AI_RAY_SPECULAR_REFLECT 0x40
#define AI_RAY_SUBSURFACE 0x80
